// The contract checker must itself catch broken models; these models break the contract on
// purpose.
#include "platform/controls/Vertrag.h"

#include <gmock/gmock.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo::controls {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

// The checker's complaints while `schritt` runs (they do not fail this test).
template <class Schritt>
std::vector<std::string> Beanstandungen(Schritt&& schritt) {
  ::testing::TestPartResultArray ergebnisse;
  {
    ::testing::ScopedFakeTestPartResultReporter abfangen(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &ergebnisse);
    schritt();
  }
  std::vector<std::string> texte;
  for (int i = 0; i < ergebnisse.size(); ++i)
    texte.push_back(ergebnisse.GetTestPartResult(i).message());
  return texte;
}

// A label that announces a change it did not make.
class Schwaetzer : public Label {
 public:
  using Label::Label;
  void Melden() { Geaendert(); }
};

class VertragForm : public Form {
 public:
  VertragForm() : Form("frmVertrag", "Vertrag") {
    GridGebühren1.SetCols(4);
    GridGebühren1.SetRows(2);
  }
  Grid GridGebühren1{*this, "GridGebühren1"};
  MaskEdBox mskAnteil{*this, "mskAnteil", 4};
  Schwaetzer lblGP{*this, "lblGP"};
  MaskEdBox mskGP{*this, "mskGP", 3};
};

TEST(Vertrag, NotificationWithoutChangeFails) {
  VertragForm form;
  vertrag::Vertrag vertrag(form);
  EXPECT_THAT(Beanstandungen([&] { form.lblGP.Melden(); }),
              Contains(HasSubstr("StateChanged ohne Änderung")));
  EXPECT_THAT(Beanstandungen([&] { form.GridGebühren1.RowChange(1); }),
              Contains(HasSubstr("RowChange ohne Änderung")));
  EXPECT_THAT(Beanstandungen([&] { form.mskAnteil.Change(); }),
              Contains(HasSubstr("Change ohne Änderung")));
}

TEST(Vertrag, StateThatDiffersFromTheLastAnnouncementFails) {
  VertragForm form;
  EXPECT_THAT(Beanstandungen([&] {
                vertrag::Vertrag vertrag(form);
                form.GridGebühren1.RowChange(2);  // announced, but the grid stays on row 1
              }),
              Contains(HasSubstr("Zeile 1 ohne RowChange")));
  EXPECT_THAT(Beanstandungen([&] {
                vertrag::Vertrag vertrag(form);
                form.mskAnteil.SetFocus();
                form.mskAnteil.LostFocus();  // the form still has it on mskAnteil
              }),
              Contains(HasSubstr("Fokus gewechselt ohne GotFocus/LostFocus")));
}

TEST(Vertrag, FocusEventsOutOfOrderFail) {
  VertragForm form;
  form.mskAnteil.SetFocus();
  EXPECT_THAT(Beanstandungen([&] {
                vertrag::Vertrag vertrag(form);
                form.mskGP.LostFocus();
              }),
              Contains(HasSubstr("LostFocus ohne Fokus")));
  EXPECT_THAT(Beanstandungen([&] {
                vertrag::Vertrag vertrag(form);
                form.mskGP.GotFocus();
              }),
              Contains(HasSubstr("GotFocus, aber nicht aktiv")));
}

TEST(Vertrag, WellBehavedModelsPassQuietly) {
  VertragForm form;
  vertrag::Vertrag vertrag(form);
  form.GridGebühren1.UserEditCell(2, 3, "500");
  form.mskAnteil.UserType("75");
  form.mskGP.UserFocus();
  form.GridGebühren1.RemoveRow(2);
  vertrag.Pruefen();
  EXPECT_EQ(vertrag.Anzahl("Change", "mskAnteil"), 2);
}

}  // namespace
}  // namespace tarvo::controls
