#include "forms/Formulare.h"

#include <gtest/gtest.h>

namespace tarvo::formulare {
namespace {

class FormulareTest : public ::testing::Test {
 protected:
  void SetUp() override { RegistrierungLeeren(); }
  void TearDown() override { RegistrierungLeeren(); }
};

class Testformular : public controls::Form {
 public:
  Testformular() : Form("frmKat1", "Test") {}
};

TEST_F(FormulareTest, IndexesMapToTheEmptyFormsAndNothingElse) {
  FormulareRegistrieren();
  EXPECT_EQ(Formular(4)->Name(), "frmKat5");
  EXPECT_EQ(Formular(5)->Name(), "frmKat6");
  EXPECT_TRUE(Formular(4)->Steuerelemente().empty());
  for (std::int16_t index : {-1, 6, 7, 8, -32768, 32767}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(Formular(index), nullptr);
  }
  EXPECT_EQ(Formular("frmKat7")->Name(), "frmKat7");
  EXPECT_EQ(Formular("frmKat8")->Name(), "frmKat8");
  EXPECT_EQ(Formular("frmKat9"), nullptr);
}

TEST_F(FormulareTest, RegistersTheCategoryFormsThatExist) {
  FormulareRegistrieren();
  ASSERT_NE(Formular(0), nullptr);
  EXPECT_EQ(Formular(0)->Name(), "frmKat1");
}

TEST_F(FormulareTest, ACategoryFormRegistersUnderItsIndex) {
  EXPECT_EQ(Formular(0), nullptr);
  FormularRegistrieren(0, [] { return std::make_shared<Testformular>(); });
  FormulareRegistrieren();  // keeps the registration made before
  ASSERT_NE(Formular(0), nullptr);
  EXPECT_NE(dynamic_cast<Testformular*>(Formular(0).get()), nullptr);
  Formular(0)->Load();
  EXPECT_EQ(Formular("frmKat1"), Formular(0)) << "name and index reach the same form";
  Formular(0)->Unload();
  FormularRegistrieren(9, [] { return std::make_shared<Testformular>(); });
  EXPECT_EQ(Formular(9), nullptr) << "no form beyond frmKat6 has an index";
}

TEST_F(FormulareTest, OneInstanceWhileLoaded) {
  FormulareRegistrieren();
  auto form = Formular("frmKat7");
  form->Load();
  EXPECT_EQ(Formular("frmKat7"), form);
  form->Unload();
  auto neu = Formular("frmKat7");
  EXPECT_NE(neu, form);
  EXPECT_FALSE(neu->Loaded());
}

}  // namespace
}  // namespace tarvo::formulare
