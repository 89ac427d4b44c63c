// frmKat3's handlers driven through the control models' user actions: the fresh form, each row
// computed at once, the axis beyond the 16-bit range, the two floating combo boxes (a choice
// goes back into the row it was shown for, whatever the user clicks next), rows added with Tab,
// inserted and deleted with the buttons.
#include "forms/kat3/frmKat3.h"

#include "Kat3Fixture.h"
#include "common/Funktionen.h"
#include "common/Version.h"

namespace tarvo::test {
namespace {

using Kat3Formular = Kat3Test;
using Zellen = std::vector<std::string>;

TEST_F(Kat3Formular, FreshFormHasOneDefaultRowComputedAtOnce) {
  auto f = Oeffnen();
  ASSERT_EQ(f->GridGebühren6.Rows(), 1);
  ASSERT_EQ(f->GridGebühren6.Cols(), 8);
  EXPECT_EQ(Rasterzeile(*f, 1), (Zellen{"Flst.Nr. 12/3", "5.1.1", "bis 5", "     120", "      40",
                                        "", "   20,00", "2.400,00"}));
  // The row computed last leaves its axis in the job state.
  EXPECT_EQ(Status().Achslänge, 120);
  const Zellen köpfe = {"",           " Nr.",        " Flurstücksdichte",
                        " Achse [m]", " im Ort [m]", " mehrspurig [m]",
                        " [€/m]",     " Gebühr [€]"};
  const float breiten[] = {1700, 800, 1300, 1200, 1000, 1100, 1000, 1200};
  for (std::int32_t s = 1; s <= 8; ++s) {
    SCOPED_TRACE(s);
    EXPECT_EQ(f->GridGebühren6.ColHeading(s), köpfe[s - 1]);
    EXPECT_EQ(f->GridGebühren6.ColWidth(s), breiten[s - 1]);
  }
  EXPECT_EQ(f->GridGebühren6.ColSetting(7, "Bearbeitbar"), 0);
  EXPECT_EQ(f->GridGebühren6.ColSetting(8, "Bearbeitbar"), 0);
  EXPECT_EQ(f->GridGebühren6.RowHeight(1), 300);
  EXPECT_FALSE(f->ComboBox4.Visible());
  EXPECT_FALSE(f->ComboBox5.Visible());
  EXPECT_EQ(f->ParentWindow, 4711);
  EXPECT_EQ(f->ExtendedStyle, 0x140);
  EXPECT_EQ(NeueFehler(), 0) << LetzterFehlerText();
}

TEST_F(Kat3Formular, EditedCellsAreNormalisedAndTheRowRecomputed) {
  auto f = Oeffnen();
  struct Fall {
    std::int32_t spalte;
    const char* eingabe;
    const char* zelle;
    const char* gebühr;
  } fälle[] = {
      {4, "300", " 300", "6.000,00"},   {4, "0", "   0", "   20,00"},
      {4, "", "   0", "   20,00"},      {4, "-25", " -25", "   20,00"},
      {4, "12,5", "  13", "  260,00"},  {4, "1.234", "1.234", "24.680,00"},
      {5, "100", " 100", "24.680,00"},  // the lengths do not change the row fee
      {6, "50,4", "  50", "24.680,00"}, {8, "1,00", "1,00", "24.680,00"},  // output replaced
  };
  for (const Fall& fall : fälle) {
    SCOPED_TRACE(std::string(fall.eingabe) + " in Spalte " + std::to_string(fall.spalte));
    f->GridGebühren6.UserEditCell(1, fall.spalte, fall.eingabe);
    if (fall.spalte != 8) {
      EXPECT_EQ(f->GridGebühren6.TextMatrix(1, fall.spalte), fall.zelle);
    }
    EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 8), fall.gebühr);
    EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 7), "   20,00");
  }
  EXPECT_EQ(NeueFehler(), 0) << LetzterFehlerText();
}

TEST_F(Kat3Formular, ATextTypedIntoTheSubItemColumnMatchesNoItem) {
  auto f = Oeffnen();
  f->GridGebühren6.UserEditCell(1, 2, "5.1.2");
  // Normalised like a length, it is charged with the last coefficient.
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 2), " 512");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 7), "   15,00");
  // The combo box still floating over the cell gives its item back on leaving; text and fee
  // agree again.
  f->GridGebühren6.UserClickCell(1, 4);
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 2), "5.1.1");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 7), "   20,00");
}

TEST_F(Kat3Formular, AxisBeyond32767IsReportedAndLeavesPriceAndFeeEmpty) {
  auto f = Oeffnen();
  f->GridGebühren6.UserEditCell(1, 4, "300");
  ASSERT_EQ(f->GridGebühren6.TextMatrix(1, 8), "6.000,00");
  f->GridGebühren6.UserEditCell(1, 4, "40000");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 4), "40.000");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 7), "");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 8), "");  // no stale 6.000,00 to be charged
  EXPECT_EQ(NeueFehler(), 1);
  EXPECT_EQ(Status().Fehler.strModul, "frmKat3");
  EXPECT_EQ(Status().Fehler.strFunktion, "ÜbernehmenWerte");
  EXPECT_EQ(Status().Fehler.strNr, "6");
  EXPECT_EQ(Status().Achslänge, 300);  // the last axis computed
  // The largest axis the row can hold is charged again.
  f->GridGebühren6.UserEditCell(1, 4, "32767");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 8), "655.340,00");
  EXPECT_EQ(NeueFehler(), 1);
}

TEST_F(Kat3Formular, AchslaengeHoldsTheAxisOfTheRowComputedLastForTheHost) {
  auto f = Oeffnen();
  f->GridGebühren6.UserEditCell(1, 4, "250");
  EXPECT_EQ(Status().Achslänge, 250);
  ZeileAnfuegen(*f);
  // A new row takes the job's built-up length, not the last axis: that would be a surcharge on
  // the whole axis nobody typed.
  EXPECT_EQ(f->GridGebühren6.TextMatrix(2, 5), "      40");
  f->CommandNeu.UserPress();
  EXPECT_EQ(f->GridGebühren6.TextMatrix(2, 5), "      40");
  ZeileAnfuegen(*f);
  f->GridGebühren6.UserEditCell(3, 4, "77");
  EXPECT_EQ(Status().Achslänge, 77);
  f->GridGebühren6.UserEditCell(3, 4, "-3");
  EXPECT_EQ(Status().Achslänge, 1);
  f->GridGebühren6.UserEditCell(1, 5, "9");
  EXPECT_EQ(Status().Achslänge, 250);  // row 1 computed last
}

// The cells the floating combo boxes serve, and what clicking elsewhere does with a choice.
struct Kombi {
  const char* name;
  std::int32_t spalte;
  const char* wahl;   // chosen item
  const char* preis;  // price of row 1 with that choice (the other column at its default)
};
const Kombi kKombis[] = {{"ComboBox4", 2, "5.1.3", "   15,00"},
                         {"ComboBox5", 3, "über 15", "   24,00"}};

TEST_F(Kat3Formular, ComboFloatsOverItsCellWithTheCellsItemSelected) {
  auto f = Oeffnen();
  f->GridGebühren6.SetTextMatrix(1, 2, "5.1.2");
  f->GridGebühren6.SetTextMatrix(1, 3, "über 15");
  f->GridGebühren6.UserClickCell(1, 2);
  ASSERT_TRUE(f->ComboBox4.Visible());
  EXPECT_FALSE(f->ComboBox5.Visible());
  EXPECT_EQ(f->ComboBox4.ListIndex(), 1);
  EXPECT_EQ(f->ComboBox4.Left(), f->GridGebühren6.Left() + f->GridGebühren6.CellLeft(1, 2));
  EXPECT_EQ(f->ComboBox4.Top(), f->GridGebühren6.Top() + f->GridGebühren6.CellTop(1, 2));
  EXPECT_EQ(f->ComboBox4.Width(), 800);
  EXPECT_EQ(f->ComboZeile(), 1);
  f->GridGebühren6.UserClickCell(1, 3);
  EXPECT_FALSE(f->ComboBox4.Visible());
  ASSERT_TRUE(f->ComboBox5.Visible());
  EXPECT_EQ(f->ComboBox5.ListIndex(), 2);
  EXPECT_EQ(f->ComboBox5.Width(), 1300);
}

TEST_F(Kat3Formular, AChoiceGoesIntoTheRowItWasShownForWhateverIsClickedNext) {
  // Row `gewählt` gets the choice; then the user clicks cell `danach` of the other row.
  struct Klick {
    std::int32_t gewählt;
    std::int32_t danachZeile, danachSpalte;
  };
  const Klick klicks[] = {{1, 2, 1}, {1, 2, 4}, {2, 1, 1}, {2, 1, 6}};
  for (const Kombi& kombi : kKombis) {
    for (const Klick& klick : klicks) {
      for (bool gleicheSpalte : {false, true}) {
        SCOPED_TRACE(std::string(kombi.name) + " Zeile " + std::to_string(klick.gewählt) +
                     (gleicheSpalte ? ", dann dieselbe Spalte"
                                    : ", dann Spalte " + std::to_string(klick.danachSpalte)));
        auto f = Oeffnen();
        ZeileAnfuegen(*f);
        const Zellen andereVorher = Rasterzeile(*f, klick.danachZeile);
        auto& combo = f->Steuerelement<controls::ComboBox>(kombi.name);
        f->GridGebühren6.UserClickCell(klick.gewählt, kombi.spalte);
        Waehlen(combo, kombi.wahl);
        f->GridGebühren6.UserClickCell(klick.danachZeile,
                                       gleicheSpalte ? kombi.spalte : klick.danachSpalte);
        EXPECT_EQ(f->GridGebühren6.TextMatrix(klick.gewählt, kombi.spalte), kombi.wahl);
        EXPECT_EQ(f->GridGebühren6.TextMatrix(klick.gewählt, 7), kombi.preis);
        EXPECT_EQ(CVal(f->GridGebühren6.TextMatrix(klick.gewählt, 8)), CVal(kombi.preis) * 120);
        EXPECT_EQ(Rasterzeile(*f, klick.danachZeile), andereVorher);
        EXPECT_EQ(combo.Visible(), gleicheSpalte);
        EXPECT_EQ(f->ComboZeile(), gleicheSpalte ? klick.danachZeile : 0);
        EXPECT_EQ(f->GridGebühren6.Row(), klick.danachZeile);
        EXPECT_EQ(NeueFehler(), 0) << LetzterFehlerText();
      }
    }
  }
}

TEST_F(Kat3Formular, AComboLeftUntouchedCopiesNothingIntoAnotherRow) {
  for (const Kombi& kombi : kKombis) {
    for (std::int32_t erste : {1, 2}) {
      SCOPED_TRACE(std::string(kombi.name) + " in Zeile " + std::to_string(erste));
      auto f = Oeffnen();
      ZeileAnfuegen(*f);
      const std::int32_t andere = 3 - erste;
      // The first row holds the choice already; the user only passes its cell.
      f->GridGebühren6.UserClickCell(erste, kombi.spalte);
      Waehlen(f->Steuerelement<controls::ComboBox>(kombi.name), kombi.wahl);
      f->GridGebühren6.UserClickCell(erste, 1);
      const Zellen vorher = Rasterzeile(*f, andere);
      f->GridGebühren6.UserClickCell(erste, kombi.spalte);
      f->GridGebühren6.UserClickCell(andere, 4);
      EXPECT_EQ(Rasterzeile(*f, andere), vorher);
      // By keyboard: Down in the combo's column moves the combo on without a copy.
      f->GridGebühren6.UserClickCell(erste, kombi.spalte);
      f->GridGebühren6.UserPressKey(erste == 1 ? controls::taste::Runter : controls::taste::Hoch);
      EXPECT_EQ(Rasterzeile(*f, andere), vorher);
      EXPECT_EQ(f->ComboZeile(), andere);
      EXPECT_EQ(f->GridGebühren6.TextMatrix(erste, kombi.spalte), kombi.wahl);
    }
  }
}

TEST_F(Kat3Formular, ChoiceTakenWhenTheComboLosesTheFocusToAButton) {
  auto f = Oeffnen();
  ZeileAnfuegen(*f);
  f->GridGebühren6.UserClickCell(1, 2);
  Waehlen(f->ComboBox4, "5.1.2");
  // The insert button takes the focus: the choice is row 1's before the rows move down.
  f->CommandNeu.UserPress();
  ASSERT_EQ(f->GridGebühren6.Rows(), 3);
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 2), "5.1.1");  // the new row
  EXPECT_EQ(f->GridGebühren6.TextMatrix(2, 2), "5.1.2");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(2, 7), "   17,50");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(3, 2), "5.1.1");
}

TEST_F(Kat3Formular, AComboShownOverARowThatMovesDoesNotFollowItsNumber) {
  auto f = Oeffnen();
  f->GridGebühren6.UserClickCell(1, 3);
  Waehlen(f->ComboBox5, "über 15");
  f->GridGebühren6.UserClickCell(1, 3);  // shown again over row 1, the grid has the focus
  ASSERT_TRUE(f->ComboBox5.Visible());
  f->CommandNeu.UserPress();  // the old row 1 becomes row 2
  f->GridGebühren6.UserClickCell(1, 5);
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 3), "bis 5");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(2, 3), "über 15");

  // The same when a row above is deleted: the rows below move up.
  ZeileAnfuegen(*f);
  f->GridGebühren6.UserClickCell(2, 3);
  ASSERT_TRUE(f->ComboBox5.Visible());
  f->GridGebühren6.UserSelectRows({1});
  f->CommandLöschen.UserPress();
  f->GridGebühren6.UserClickCell(1, 5);
  ASSERT_EQ(f->GridGebühren6.Rows(), 2);
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 3), "über 15");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(2, 3), "bis 5");
}

TEST_F(Kat3Formular, TabInColumnSixOfTheLastRowAppendsAComputedRow) {
  auto f = Oeffnen();
  f->GridGebühren6.UserEditCell(1, 4, "80");
  ZeileAnfuegen(*f);
  ASSERT_EQ(f->GridGebühren6.Rows(), 2);
  EXPECT_EQ(f->GridGebühren6.Row(), 2);
  EXPECT_EQ(f->GridGebühren6.Col(), 1);
  // The new row's built-up length is the job's, not the axis just typed.
  EXPECT_EQ(Rasterzeile(*f, 2), (Zellen{"Flst.Nr. 12/3", "5.1.1", "bis 5", "     120", "      40",
                                        "", "   20,00", "2.400,00"}));
  EXPECT_EQ(f->GridGebühren6.RowHeight(2), 300);
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 8), "1.600,00");

  // Right arrow in column 6 of another row moves down into column 1.
  f->GridGebühren6.UserClickCell(1, 6);
  f->GridGebühren6.UserPressKey(controls::taste::Rechts);
  EXPECT_EQ(f->GridGebühren6.Rows(), 2);
  EXPECT_EQ(f->GridGebühren6.Row(), 2);
  EXPECT_EQ(f->GridGebühren6.Col(), 1);
}

TEST_F(Kat3Formular, DeleteAsksKeepsOneRowAndRecomputesNothing) {
  auto f = Oeffnen();
  f->GridGebühren6.UserSelectRows({1});
  f->CommandLöschen.UserPress();
  EXPECT_EQ(f->GridGebühren6.Rows(), 1);
  EXPECT_TRUE(bildschirm_->Meldungen().empty());

  ZeileAnfuegen(*f);
  ZeileAnfuegen(*f);
  f->GridGebühren6.UserEditCell(3, 1, "Flst.Nr. 3");
  f->GridGebühren6.UserSelectRows({1, 2});
  bildschirm_->Antworten({controls::msgbox::No});
  f->CommandLöschen.UserPress();
  ASSERT_EQ(bildschirm_->Meldungen().size(), 1u);
  EXPECT_EQ(bildschirm_->Meldungen()[0].Text, "Zeile löschen?");
  EXPECT_EQ(bildschirm_->Meldungen()[0].Schaltflaechen, 36);
  EXPECT_EQ(f->GridGebühren6.Rows(), 3);
  f->CommandLöschen.UserPress();
  ASSERT_EQ(f->GridGebühren6.Rows(), 1);
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 1), "Flst.Nr. 3");
}

// The grid keeps one row; when every row was deleted it is an empty one that charges nothing,
// also when "OK" computes the current row once more.
TEST_F(Kat3Formular, DeletingEveryRowLeavesAnEmptyRowThatChargesNothing) {
  auto f = Oeffnen();
  ZeileAnfuegen(*f);
  f->GridGebühren6.UserEditCell(2, 6, "30");
  f->GridGebühren6.UserSelectRows({1, 2});
  f->CommandLöschen.UserPress();  // Yes by default
  ASSERT_EQ(f->GridGebühren6.Rows(), 1);
  EXPECT_EQ(Rasterzeile(*f, 1), Zellen(frmKat3::Spalten, ""));
  f->CommandEnde.UserPress();
  const Zeilen text = Text(Getaggt(frmKat3::Tag).at(0));
  ASSERT_EQ(text.size(), 2u);  // no surcharge line
  EXPECT_EQ(text.at(1).at(0), "");
  EXPECT_EQ(CVal(text.at(1).at(4)), 0);
  // Re-opened and confirmed, the row is computed again and still charges nothing.
  Oeffnen(1)->CommandEnde.UserPress();
  const Zeilen wieder = Text(Getaggt(frmKat3::Tag).at(0));
  ASSERT_EQ(wieder.size(), 2u);
  EXPECT_EQ(CVal(wieder.at(1).at(4)), 0);
  EXPECT_EQ(NeueFehler(), 0) << LetzterFehlerText();
}

TEST_F(Kat3Formular, InsertButtonAddsAComputedDefaultRowAtTheCurrentRow) {
  auto f = Oeffnen();
  f->GridGebühren6.UserEditCell(1, 1, "Flst.Nr. 1");
  f->GridGebühren6.UserEditCell(1, 4, "10");
  f->CommandNeu.UserPress();
  ASSERT_EQ(f->GridGebühren6.Rows(), 2);
  EXPECT_EQ(Rasterzeile(*f, 1), (Zellen{"Flst.Nr. 12/3", "5.1.1", "bis 5", "     120", "      40",
                                        "", "   20,00", "2.400,00"}));
  EXPECT_EQ(f->GridGebühren6.TextMatrix(2, 1), "Flst.Nr. 1");
  EXPECT_EQ(f->GridGebühren6.RowHeight(1), 300);
}

// Every control has its designed place inside the form and none covers another (the floating
// combo boxes apart).
TEST_F(Kat3Formular, EveryControlHasItsPlaceInsideTheForm) {
  auto f = Oeffnen();
  std::vector<controls::Control*> platziert;
  for (controls::Control* c : f->Steuerelemente()) {
    SCOPED_TRACE(c->Name());
    if (c == &f->ComboBox4 || c == &f->ComboBox5) continue;
    EXPECT_GT(c->Width(), 0);
    EXPECT_GT(c->Height(), 0);
    EXPECT_LE(c->Left() + c->Width(), f->Width);
    EXPECT_LE(c->Top() + c->Height(), f->Height);
    for (controls::Control* d : platziert) {
      EXPECT_TRUE(c->Left() + c->Width() <= d->Left() || d->Left() + d->Width() <= c->Left() ||
                  c->Top() + c->Height() <= d->Top() || d->Top() + d->Height() <= c->Top())
          << "überdeckt " << d->Name();
    }
    platziert.push_back(c);
  }
  EXPECT_EQ(f->lblVersion.Caption(), "V " + VersionMitRevision());
}

TEST_F(Kat3Formular, CancelUnloadsWithoutWriting) {
  auto f = Oeffnen();
  f->CommandAbbruch.UserPress();
  EXPECT_FALSE(f->Loaded());
  EXPECT_EQ(dokument_->Tables().Count(), 0);
}

}  // namespace
}  // namespace tarvo::test
