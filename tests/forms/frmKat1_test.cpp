// frmKat1's handlers driven through the control models' user actions: the fresh form, live
// recalculation, the floating combo box, rows added with Tab and deleted with the question.
#include <functional>

#include "common/Version.h"
#include "forms/kat1/frmKat1.h"

#include "Kat1Fixture.h"
#include "common/Funktionen.h"

namespace tarvo::test {
namespace {

using Kat1Formular = Kat1Test;

TEST_F(Kat1Formular, FreshFormHasOneDefaultRowComputedAtOnce) {
  auto f = Oeffnen();
  ASSERT_EQ(f->GridGebühren1.Rows(), 1);
  EXPECT_EQ(f->GridGebühren1.Cols(), 4);
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 1), "Flst.Nr. 12/3");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 2), "I");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 3), "151");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 4), "  409,00");
  EXPECT_EQ(f->mskAnteil.Text(), "1000");
  EXPECT_EQ(f->MaskEdBoxErmäßigung.Text(), " 0");
  EXPECT_EQ(f->mskGP.Text(), "  0");
  EXPECT_EQ(f->mskGP2.Text(), "  0");
  EXPECT_EQ(f->chk20.Value(), 0);
  EXPECT_FALSE(f->ComboBox4.Visible());
  ASSERT_EQ(f->ComboBox4.ListCount(), 4);
  EXPECT_EQ(f->ComboBox4.List(3), "IV");
  EXPECT_EQ(f->GridGebühren1.ColHeading(3), " Fläche [m²]");
  EXPECT_EQ(f->GridGebühren1.ColWidth(1), 4500);
  EXPECT_EQ(f->GridGebühren1.RowHeight(1), 300);
  EXPECT_EQ(f->ParentWindow, 4711);
  EXPECT_EQ(f->ExtendedStyle, 0x140);
  EXPECT_EQ(f->Pointer, controls::MousePointer::Default);
  EXPECT_EQ(NeueFehler(), 0);
}

TEST_F(Kat1Formular, EditedAreaIsNormalisedRecomputedAndBecomesTheStateArea) {
  auto f = Oeffnen();
  f->GridGebühren1.UserEditCell(1, 3, "150");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 3), " 150");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 4), "  256,00");
  EXPECT_EQ(Status().Fläche, 150);
  f->GridGebühren1.UserEditCell(1, 3, "1.401");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 3), "1.401");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 4), "  562,00");
  EXPECT_EQ(Status().Fläche, 1401);
}

TEST_F(Kat1Formular, TypedFeeIsReplacedByTheComputedOne) {
  auto f = Oeffnen();
  f->GridGebühren1.UserEditCell(1, 4, "999");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 4), "  409,00");
}

TEST_F(Kat1Formular, ComboFloatsOverTheCategoryCellAndIsTakenBackOnLeaving) {
  auto f = Oeffnen();
  ZeileAnfuegen(*f);
  f->GridGebühren1.SetTextMatrix(2, 2, "IV");
  f->GridGebühren1.UserClickCell(2, 2);
  ASSERT_TRUE(f->ComboBox4.Visible());
  EXPECT_EQ(f->ComboBox4.ListIndex(), 3);
  EXPECT_EQ(f->ComboBox4.Left(), f->GridGebühren1.Left() + f->GridGebühren1.CellLeft(2, 2));
  EXPECT_EQ(f->ComboBox4.Top(), f->GridGebühren1.Top() + f->GridGebühren1.CellTop(2, 2));
  EXPECT_EQ(f->ComboBox4.Width(), 1000);

  f->ComboBox4.UserChoose(2);            // "III"
  f->GridGebühren1.UserClickCell(1, 1);  // the grid takes the focus back
  EXPECT_FALSE(f->ComboBox4.Visible());
  EXPECT_EQ(f->GridGebühren1.TextMatrix(2, 2), "III");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(2, 4), "  741,00");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 2), "I");
}

// The combo box writes only into the row it was shown for, and that row is recomputed,
// whichever way the user leaves it and whichever order the grid raises its events in.
TEST_F(Kat1Formular, ComboWritesOnlyIntoTheRowItWasShownFor) {
  struct Fall {
    const char* name;
    std::function<void(frmKat1&)> verlassen;
  };
  const Fall faelle[] = {
      {"click into another row, area column",
       [](frmKat1& f) { f.GridGebühren1.UserClickCell(2, 3); }},
      {"click into another row, text column",
       [](frmKat1& f) { f.GridGebühren1.UserClickCell(2, 1); }},
      {"the row changes before the column (view order)",
       [](frmKat1& f) {
         f.GridGebühren1.SetRow(2);
         f.GridGebühren1.SetCol(1);
       }},
      {"the column changes before the row",
       [](frmKat1& f) {
         f.GridGebühren1.SetCol(3);
         f.GridGebühren1.SetRow(2);
       }},
      {"the category cell of another row", [](frmKat1& f) { f.GridGebühren1.UserClickCell(2, 2); }},
  };
  for (const Fall& fall : faelle) {
    for (bool gewaehlt : {false, true}) {
      SCOPED_TRACE(std::string(fall.name) + (gewaehlt ? ", III chosen" : ", untouched"));
      Status().Fläche = 151;  // the default area of a new row; every recalculation moves it
      auto f = Oeffnen();
      ZeileAnfuegen(*f);
      f->GridGebühren1.UserEditCell(2, 3, "150");  // row 2: I, 150 m² → 256,00
      f->GridGebühren1.UserClickCell(1, 2);        // the combo floats over row 1 ("I")
      ASSERT_TRUE(f->ComboBox4.Visible());
      if (gewaehlt) f->ComboBox4.UserChoose(2);  // "III" for row 1
      fall.verlassen(*f);
      // Row 1 holds what the combo showed, computed; row 2 keeps its own category and fee.
      EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 2), gewaehlt ? "III" : "I");
      EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 4), gewaehlt ? "  741,00" : "  409,00");
      EXPECT_EQ(f->GridGebühren1.TextMatrix(2, 2), "I");
      EXPECT_EQ(f->GridGebühren1.TextMatrix(2, 4), "  256,00");
      EXPECT_EQ(NeueFehler(), 0);
    }
  }
}

TEST_F(Kat1Formular, TabOnTheLastAreaAddsADefaultRowElsewhereMovesDown) {
  auto f = Oeffnen();
  f->GridGebühren1.UserEditCell(1, 3, "5000");
  Tippen(f->mskAnteil, "500");
  ZeileAnfuegen(*f);
  ASSERT_EQ(f->GridGebühren1.Rows(), 2);
  EXPECT_EQ(f->GridGebühren1.Row(), 2);
  EXPECT_EQ(f->GridGebühren1.TextMatrix(2, 1), "Flst.Nr. 12/3");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(2, 3), "5000");  // the last row's area
  EXPECT_EQ(f->GridGebühren1.TextMatrix(2, 4), "  562,00");
  EXPECT_EQ(f->mskAnteil.Text(), "1000");  // a new row resets the share
  EXPECT_EQ(f->GridGebühren1.RowHeight(2), 300);

  f->GridGebühren1.UserClickCell(1, 3);
  f->GridGebühren1.UserPressKey(controls::taste::Rechts);
  EXPECT_EQ(f->GridGebühren1.Rows(), 2);
  EXPECT_EQ(f->GridGebühren1.Row(), 2);
  EXPECT_EQ(f->GridGebühren1.Col(), 3);  // the key was swallowed

  // Outside the area column, or with Shift, Tab moves on as the grid does.
  f->GridGebühren1.UserClickCell(2, 1);
  f->GridGebühren1.UserPressKey(controls::taste::Tab);
  EXPECT_EQ(f->GridGebühren1.Rows(), 2);
  EXPECT_EQ(f->GridGebühren1.Col(), 2);
}

TEST_F(Kat1Formular, DeleteIsRefusedWithOneRowAndAsksOtherwise) {
  auto f = Oeffnen();
  f->GridGebühren1.UserSelectRows({1});
  f->CommandLöschen.UserPress();
  EXPECT_EQ(f->GridGebühren1.Rows(), 1);
  EXPECT_TRUE(bildschirm_->Meldungen().empty());

  ZeileAnfuegen(*f);
  ZeileAnfuegen(*f);
  f->GridGebühren1.UserEditCell(3, 1, "Flst.Nr. 3");
  f->GridGebühren1.UserSelectRows({1, 2});
  bildschirm_->Antworten({controls::msgbox::No});
  f->CommandLöschen.UserPress();
  ASSERT_EQ(bildschirm_->Meldungen().size(), 1u);
  EXPECT_EQ(bildschirm_->Meldungen()[0].Text, "Zeile löschen?");
  EXPECT_EQ(bildschirm_->Meldungen()[0].Schaltflaechen, 36);
  EXPECT_EQ(f->GridGebühren1.Rows(), 3);

  f->CommandLöschen.UserPress();  // Yes by default
  ASSERT_EQ(f->GridGebühren1.Rows(), 1);
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 1), "Flst.Nr. 3");

  // Nothing selected: the question is asked, nothing changes.
  ZeileAnfuegen(*f);
  f->GridGebühren1.UserSelectRows({});
  f->CommandLöschen.UserPress();
  EXPECT_EQ(f->GridGebühren1.Rows(), 2);
}

// The grid keeps one row; when every row was deleted it is an empty one that charges nothing.
TEST_F(Kat1Formular, DeletingEveryRowLeavesAnEmptyRowThatChargesNothing) {
  auto f = Oeffnen();
  ZeileAnfuegen(*f);
  ZeileAnfuegen(*f);
  f->GridGebühren1.UserSelectRows({1, 2, 3});
  f->CommandLöschen.UserPress();
  ASSERT_EQ(f->GridGebühren1.Rows(), 1);
  for (std::int32_t s = 1; s <= 4; ++s) EXPECT_EQ(f->GridGebühren1.TextMatrix(1, s), "") << s;
  f->CheckBoxEinsichtnahme.UserClick();  // every fee computed again: still nothing
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 4), "");
  f->CommandEnde.UserPress();
  const Zeilen text = Text(Getaggt("TARVO_03_1").at(0));
  const std::vector<std::string>& zeile = text.at(5);  // the one parcel line of part b
  EXPECT_EQ(zeile.at(0), "");
  EXPECT_EQ(CVal(zeile.at(3)) + CVal(zeile.at(4)), 0);

  // Re-opened, it is an empty row again, and computed anew it still charges nothing.
  auto wieder = Oeffnen(1);
  ASSERT_EQ(wieder->GridGebühren1.Rows(), 1);
  for (std::int32_t s = 1; s <= 3; ++s) EXPECT_EQ(wieder->GridGebühren1.TextMatrix(1, s), "") << s;
  wieder->CheckBoxEinsichtnahme.UserClick();
  EXPECT_EQ(CVal(wieder->GridGebühren1.TextMatrix(1, 4)), 0);
  wieder->CommandEnde.UserPress();
  const Zeilen danach = Text(Getaggt("TARVO_03_1").at(0));
  EXPECT_EQ(CVal(danach.at(5).at(3)) + CVal(danach.at(5).at(4)), 0);
}

TEST_F(Kat1Formular, ReductionCheckBoxDerivesThePercentageFromTheRowCount) {
  auto f = Oeffnen();
  struct Fall {
    int zeilen;
    const char* feld;
  } fälle[] = {{5, " 0"}, {6, " 3"}, {21, "48"}, {22, "50"}, {40, "50"}};
  f->CheckBoxEinsichtnahme.UserClick();
  for (const Fall& fall : fälle) {
    SCOPED_TRACE(fall.zeilen);
    while (f->GridGebühren1.Rows() < fall.zeilen) ZeileAnfuegen(*f);
    EXPECT_EQ(f->MaskEdBoxErmäßigung.Text(), fall.feld);
  }
  f->CheckBoxEinsichtnahme.UserClick();
  EXPECT_EQ(f->MaskEdBoxErmäßigung.Text(), " 0");
  EXPECT_EQ(f->ProzentErmäßigung, 0);
}

TEST_F(Kat1Formular, LeavingThePercentageFieldRightAlignsIt) {
  auto f = Oeffnen();
  Tippen(f->MaskEdBoxErmäßigung, "7");
  EXPECT_EQ(f->MaskEdBoxErmäßigung.Text(), " 7");
  EXPECT_EQ(f->ProzentErmäßigung, 7);
}

TEST_F(Kat1Formular, PointCountsShowTheirAmountsLive) {
  auto f = Oeffnen();
  Tippen(f->mskAnzahl, "10");
  EXPECT_EQ(f->lblGP.Caption(), "1815 €");
  Tippen(f->mskAnzahl, "");
  f->mskAnzahl.UserFocus();
  f->mskAnzahl.UserType("\x7f\x7f\x7f");
  EXPECT_EQ(f->lblGP.Caption(), "0 €");
  Tippen(f->mskErmäßigt, "3");
  EXPECT_EQ(f->lblErm.Caption(), "-231 €");
}

TEST_F(Kat1Formular, FocusSelectsTheWholeEntry) {
  auto f = Oeffnen();
  f->mskAnteil.UserFocus();
  EXPECT_EQ(f->mskAnteil.SelStart(), 0);
  EXPECT_EQ(f->mskAnteil.SelLength(), 4);
  f->mskAnteil.UserType("5");
  EXPECT_EQ(f->mskAnteil.Text(), "5   ");
}

TEST_F(Kat1Formular, InsertButtonAddsADefaultRowAtTheCurrentRow) {
  auto f = Oeffnen();
  f->GridGebühren1.UserEditCell(1, 1, "Flst.Nr. 1");
  f->CommandNeu.UserPress();
  ASSERT_EQ(f->GridGebühren1.Rows(), 2);
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 1), "Flst.Nr. 12/3");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 4), "");  // no recalculation yet
  EXPECT_EQ(f->GridGebühren1.TextMatrix(2, 1), "Flst.Nr. 1");
}

TEST_F(Kat1Formular, CancelUnloadsWithoutWriting) {
  auto f = Oeffnen();
  f->CommandAbbruch.UserPress();
  EXPECT_FALSE(f->Loaded());
  EXPECT_EQ(dokument_->Tables().Count(), 0);
}

}  // namespace
}  // namespace tarvo::test

namespace tarvo::test {
namespace {

// Every control has its designed place inside the form, none covers another (the floating
// combo box apart), the fields are captioned, and the version label names the build.
TEST_F(Kat1Formular, EveryControlHasItsPlaceAndCaption) {
  auto f = Oeffnen();
  std::vector<controls::Control*> platziert;
  for (controls::Control* c : f->Steuerelemente()) {
    SCOPED_TRACE(c->Name());
    if (c == &f->ComboBox4) continue;
    EXPECT_GT(c->Width(), 0);
    EXPECT_GT(c->Height(), 0);
    EXPECT_GE(c->Left(), 0);
    EXPECT_GE(c->Top(), 0);
    EXPECT_LE(c->Left() + c->Width(), f->Width);
    EXPECT_LE(c->Top() + c->Height(), f->Height);
    for (controls::Control* d : platziert) {
      const bool getrennt =
          c->Left() + c->Width() <= d->Left() || d->Left() + d->Width() <= c->Left() ||
          c->Top() + c->Height() <= d->Top() || d->Top() + d->Height() <= c->Top();
      EXPECT_TRUE(getrennt) << "überdeckt " << d->Name();
    }
    platziert.push_back(c);
  }
  EXPECT_EQ(f->lblAnteil.Caption(), "Anteil 1/1000");
  EXPECT_EQ(f->lblAnzahl.Caption(), "Anzahl Grenzpunkte nach Nr. 2");
  EXPECT_EQ(f->lblErmäßigt.Caption(), "davon ermäßigt");
  EXPECT_EQ(f->lblGP61.Caption(), "Abgemarkte Grenzpunkte nach 6.1");
  EXPECT_EQ(f->lblGP622.Caption(), "Abgemarkte Grenzpunkte nach 6.22");
  EXPECT_EQ(f->lblVersion.Caption(), "V " + VersionMitRevision());
  EXPECT_NE(f->lblVersion.Caption(), "V 0");
}

}  // namespace
}  // namespace tarvo::test
