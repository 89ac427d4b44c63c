#include "platform/controls/Buttons.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/ComboBox.h"
#include "platform/controls/Form.h"
#include "platform/controls/MaskEdBox.h"
#include "platform/controls/Vertrag.h"

namespace tarvo::controls {
namespace {

// A dialog with two option groups: three options in a frame and two directly on the form.
class OptionenForm : public Form {
 public:
  OptionenForm() : Form("G_frmTest", "Tabellenwahl") {
    for (auto* option : {&optNeu, &optTabelle0, &optAktTabelle}) option->SetContainer(&sevFrame1);
  }
  Frame sevFrame1{*this, "sevFrame1"};
  OptionButton optNeu{*this, "optNeu"};
  OptionButton optTabelle0{*this, "optTabelle0"};
  OptionButton optAktTabelle{*this, "optAktTabelle"};
  OptionButton optA{*this, "optA"};
  OptionButton optB{*this, "optB"};
  CheckBox chk20{*this, "chk20"};
  ComboBox ComboBox4{*this, "ComboBox4"};
  MaskEdBox mskAnteil{*this, "mskAnteil", 4};
  CommandButton cmdEnde{*this, "cmdEnde"};
};

class ButtonsTest : public ::testing::Test {
 protected:
  OptionenForm form;
  vertrag::Vertrag vertrag{form};
};

TEST_F(ButtonsTest, SelectingAnOptionClearsOnlyItsOwnGroup) {
  form.optNeu.SetValue(true);
  form.optA.SetValue(true);
  form.optTabelle0.UserClick();
  EXPECT_FALSE(form.optNeu.Value());
  EXPECT_TRUE(form.optTabelle0.Value());
  EXPECT_TRUE(form.optA.Value());
  form.optB.UserClick();
  EXPECT_FALSE(form.optA.Value());
  EXPECT_TRUE(form.optTabelle0.Value());
  vertrag.Pruefen();
  EXPECT_EQ(vertrag.Anzahl("Click", "optTabelle0"), 1);
  EXPECT_EQ(vertrag.Anzahl("Click", "optNeu"), 1);  // its own selection only
}

TEST_F(ButtonsTest, ChoosingTheSelectedOptionAgainRaisesNothing) {
  form.optNeu.UserClick();
  form.optNeu.UserClick();
  EXPECT_EQ(vertrag.Anzahl("Click", "optNeu"), 1);
  EXPECT_EQ(vertrag.Anzahl("StateChanged", "optNeu"), 1);
}

TEST_F(ButtonsTest, DisabledOptionCannotBeChosenByTheUser) {
  form.optNeu.SetValue(true);
  form.optAktTabelle.SetEnabled(false);
  form.optAktTabelle.UserClick();
  EXPECT_FALSE(form.optAktTabelle.Value());
  EXPECT_TRUE(form.optNeu.Value());
  form.optAktTabelle.SetValue(true);  // the program still may
  EXPECT_FALSE(form.optNeu.Value());
  vertrag.Pruefen();
}

TEST_F(ButtonsTest, CheckBoxClicksOnEveryRealChangeByUserOrProgram) {
  form.chk20.UserClick();
  EXPECT_EQ(form.chk20.Value(), 1);
  form.chk20.SetValue(1);
  form.chk20.SetValue(0);
  EXPECT_THROW(form.chk20.SetValue(2), Laufzeitfehler);
  EXPECT_EQ(form.chk20.Value(), 0);
  vertrag.Pruefen();
  EXPECT_EQ(vertrag.Anzahl("Click", "chk20"), 2);
}

TEST_F(ButtonsTest, PressingAButtonTakesTheFocusBeforeClick) {
  std::vector<std::string> folge;
  form.mskAnteil.LostFocus.Connect([&] { folge.push_back("mskAnteil_LostFocus"); });
  form.cmdEnde.Click.Connect([&] { folge.push_back("cmdEnde_Click"); });
  form.mskAnteil.UserType("5");
  form.cmdEnde.UserPress();
  EXPECT_EQ(folge, (std::vector<std::string>{"mskAnteil_LostFocus", "cmdEnde_Click"}));
  form.cmdEnde.SetEnabled(false);
  form.cmdEnde.UserPress();
  EXPECT_EQ(folge.size(), 2u);
  vertrag.Pruefen();
}

TEST_F(ButtonsTest, ComboChoiceSetsTextAndClicksOncePerNewItem) {
  for (const char* kategorie : {"I", "II", "III", "IV"}) form.ComboBox4.AddItem(kategorie);
  form.ComboBox4.UserChoose(2);
  EXPECT_EQ(form.ComboBox4.Text(), "III");
  form.ComboBox4.UserChoose(2);
  form.ComboBox4.SetListIndex(0);
  EXPECT_EQ(form.ComboBox4.Text(), "I");
  EXPECT_THROW(form.ComboBox4.UserChoose(4), Laufzeitfehler);
  EXPECT_THROW(form.ComboBox4.SetListIndex(-2), Laufzeitfehler);
  form.ComboBox4.SetText("II");
  EXPECT_EQ(form.ComboBox4.ListIndex(), 0);
  vertrag.Pruefen();
  EXPECT_EQ(vertrag.Anzahl("Click", "ComboBox4"), 2);
}

TEST_F(ButtonsTest, ComboKeepsItsSelectedItemWhenItemsAreInsertedBefore) {
  form.ComboBox4.AddItem("II");
  form.ComboBox4.SetListIndex(0);
  form.ComboBox4.AddItem("I", 0);
  EXPECT_EQ(form.ComboBox4.ListIndex(), 1);
  EXPECT_EQ(form.ComboBox4.List(form.ComboBox4.ListIndex()), "II");
  form.ComboBox4.Clear();
  EXPECT_EQ(form.ComboBox4.ListIndex(), -1);
  EXPECT_EQ(form.ComboBox4.Text(), "II");
  vertrag.Pruefen();
}

TEST_F(ButtonsTest, ComboLostFocusSeesTheControlThatTookTheFocus) {
  Control* beimVerlassen = nullptr;
  form.ComboBox4.LostFocus.Connect([&] { beimVerlassen = form.ActiveControl(); });
  form.ComboBox4.AddItem("I");
  form.ComboBox4.UserChoose(0);
  form.mskAnteil.UserFocus();
  EXPECT_EQ(beimVerlassen, &form.mskAnteil);
  vertrag.Pruefen();
}

}  // namespace
}  // namespace tarvo::controls
