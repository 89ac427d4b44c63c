// frmKat4's handlers driven through the control models' user actions: the fresh form, the row fee
// after every edit, both options recomputing every row, rows added with Tab, inserted and deleted.
#include "forms/kat4/frmKat4.h"
#include "errors/Fehler.h"

#include "Kat4Fixture.h"

namespace tarvo::test {
namespace {

using Kat4Formular = Kat4Test;

TEST_F(Kat4Formular, FreshFormHasOneDefaultRowComputedAtOnce) {
  auto f = Oeffnen4();
  ASSERT_EQ(f->GridGebühren6.Rows(), 1);
  EXPECT_EQ(f->GridGebühren6.Cols(), 5);
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 1), "Flst.Nr. 12/3");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 2), " 4");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 3), " 0");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 4), "1000");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 5), "1.094,00");
  EXPECT_EQ(f->GridGebühren6.Row(), 1);
  EXPECT_EQ(f->GridGebühren6.Col(), 1);
  EXPECT_EQ(f->GridGebühren6.RowHeight(1), 300);
  EXPECT_TRUE(f->Option41.Value());
  EXPECT_FALSE(f->Option42.Value());
  EXPECT_EQ(f->mskAnteil.Text(), "1000");
  EXPECT_EQ(f->mskneueAP.Text(), "   ");
  EXPECT_EQ(f->mskGP2.Text(), "   ");
  EXPECT_EQ(f->chk20.Value(), 0);
  EXPECT_EQ(f->ParentWindow, 4711);
  EXPECT_EQ(f->ExtendedStyle, 0x140);
  EXPECT_EQ(f->Pointer, controls::MousePointer::Default);
  EXPECT_EQ(NeueFehler(), 0);
}

// Every control has its designed place inside the form and none covers another, the options
// apart, which sit inside their frame.
TEST_F(Kat4Formular, EveryControlHasItsPlace) {
  auto f = Oeffnen4();
  auto innen = [](const controls::Control& c, const controls::Control& rahmen) {
    return c.Left() >= rahmen.Left() && c.Top() >= rahmen.Top() &&
           c.Left() + c.Width() <= rahmen.Left() + rahmen.Width() &&
           c.Top() + c.Height() <= rahmen.Top() + rahmen.Height();
  };
  std::vector<controls::Control*> platziert;
  for (controls::Control* c : f->Steuerelemente()) {
    SCOPED_TRACE(c->Name());
    EXPECT_GT(c->Width(), 0);
    EXPECT_GT(c->Height(), 0);
    EXPECT_GE(c->Left(), 0);
    EXPECT_GE(c->Top(), 0);
    EXPECT_LE(c->Left() + c->Width(), f->Width);
    EXPECT_LE(c->Top() + c->Height(), f->Height);
    if (c->Container()) {
      EXPECT_TRUE(innen(*c, *c->Container()));
    }
    for (controls::Control* d : platziert) {
      if (c->Container() == d || d->Container() == c) continue;
      const bool getrennt =
          c->Left() + c->Width() <= d->Left() || d->Left() + d->Width() <= c->Left() ||
          c->Top() + c->Height() <= d->Top() || d->Top() + d->Height() <= c->Top();
      EXPECT_TRUE(getrennt) << "überdeckt " << d->Name();
    }
    platziert.push_back(c);
  }
  EXPECT_EQ(f->Option42.Container(), &f->sevFrame1);
  EXPECT_EQ(f->lblGebühren7(2).Caption(), "Anteil 1/1000");
  EXPECT_NE(f->lblVersion.Caption(), "V 0");
}

TEST_F(Kat4Formular, EveryEditRecomputesTheRowUnderItsItem) {
  auto f = Oeffnen4();
  struct Fall {
    const char* punkte;
    const char* ermäßigt;
    bool nr42;
    const char* gebühr;
  } fälle[] = {
      {"4", "2", false, "940,00"},
      {"2", "2", false, "511,00"},
      {"2", "2", true, "303,80"},
      {"4", "0", true, "765,80"},
  };
  for (const Fall& fall : fälle) {
    SCOPED_TRACE(std::string(fall.punkte) + "/" + fall.ermäßigt + (fall.nr42 ? " 4.2" : " 4.1"));
    (fall.nr42 ? f->Option42 : f->Option41).UserClick();
    f->GridGebühren6.UserEditCell(1, 2, fall.punkte);
    f->GridGebühren6.UserEditCell(1, 3, fall.ermäßigt);
    EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 5), fall.gebühr);
  }
  // The counts are normalised to four places; the share does not enter the fee.
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 2), "   4");
  f->GridGebühren6.UserEditCell(1, 4, "500");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 4), " 500");
  f->GridGebühren6.UserEditCell(1, 4, "1000");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 4), "1.000");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 5), "765,80");
  // A fee typed into column 5 is replaced at once.
  f->GridGebühren6.UserEditCell(1, 5, "1");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 5), "765,80");
}

TEST_F(Kat4Formular, ChoosingAnItemRecomputesEveryRow) {
  auto f = Oeffnen4();
  Parzelle(*f, 1, "A", "4", "0");
  Parzelle(*f, 2, "B", "2", "2");
  Parzelle(*f, 3, "C", "10", "0");
  f->Option42.UserClick();
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 5), "765,80");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(2, 5), "303,80");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(3, 5), "1.610,70");
  f->Option41.UserClick();
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 5), "1.094,00");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(2, 5), "511,00");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(3, 5), "2.301,00");
}

TEST_F(Kat4Formular, HalfPointsAreReadHalfToEven) {
  auto f = Oeffnen4();
  f->Option42.UserClick();
  // Typed, the count is first shown as a whole number (display rounding: 2,5 shows 3) ...
  f->GridGebühren6.UserEditCell(1, 2, "2,5");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 2), "   3");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 5), "594,30");
  // ... a count that stands in the cell as 2,5 or 3,5 is looked up as 2 or 4.
  f->GridGebühren6.SetTextMatrix(1, 2, "2,5");
  f->Option41.UserClick();
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 5), "588,00");
  f->GridGebühren6.SetTextMatrix(1, 2, "3,5");
  f->Option42.UserClick();
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 5), "765,80");
}

TEST_F(Kat4Formular, AnOverflowingCountIsLoggedUnderTheRowProcedureAndTheFormGoesOn) {
  auto f = Oeffnen4();
  Parzelle(*f, 2, "B", "2", "0");
  f->GridGebühren6.SetTextMatrix(1, 2, "99999999999");
  f->Option42.UserClick();
  EXPECT_EQ(NeueFehler(), 1);
  EXPECT_EQ(LetzterFehler().strModul, "frmKat4");
  EXPECT_EQ(LetzterFehler().strFunktion, "ÜbernehmenWerte");
  EXPECT_EQ(LetzterFehler().strNr, "6");
  // The failing lookup counts as 0: 0,7 × 0; the next row is computed all the same.
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 5), "  0,00");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(2, 5), "411,60");
}

TEST_F(Kat4Formular, TabInTheShareColumnOfTheLastRowAddsADefaultRow) {
  Status().AnzahlGrenzpunkte = 12;
  auto f = Oeffnen4();
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 2), "12");
  f->GridGebühren6.UserEditCell(1, 4, "500");
  ZeileAnfuegen(*f);
  ASSERT_EQ(f->GridGebühren6.Rows(), 2);
  EXPECT_EQ(f->GridGebühren6.Row(), 2);
  EXPECT_EQ(f->GridGebühren6.Col(), 1);
  EXPECT_EQ(f->GridGebühren6.TextMatrix(2, 1), "Flst.Nr. 12/3");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(2, 4), "1000");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(2, 5), "2.659,00");
  EXPECT_EQ(f->GridGebühren6.RowHeight(2), 300);
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 4), " 500");  // the row before keeps its share

  // On another row Right moves down and back to column 1.
  f->GridGebühren6.UserClickCell(1, 4);
  f->GridGebühren6.UserPressKey(controls::taste::Rechts);
  EXPECT_EQ(f->GridGebühren6.Rows(), 2);
  EXPECT_EQ(f->GridGebühren6.Row(), 2);
  EXPECT_EQ(f->GridGebühren6.Col(), 1);

  // Outside the share column, or with Shift, the grid moves as it does.
  f->GridGebühren6.UserClickCell(2, 3);
  f->GridGebühren6.UserPressKey(controls::taste::Tab);
  EXPECT_EQ(f->GridGebühren6.Col(), 4);
  f->GridGebühren6.UserPressKey(controls::taste::Tab, controls::umschalt::Shift);
  EXPECT_EQ(f->GridGebühren6.Rows(), 2);
  EXPECT_EQ(f->GridGebühren6.Col(), 3);
}

TEST_F(Kat4Formular, InsertedRowGetsTheDefaultsComputedAtOnce) {
  auto f = Oeffnen4();
  f->GridGebühren6.UserEditCell(1, 1, "Flst.Nr. 1");
  f->CommandNeu.UserPress();
  ASSERT_EQ(f->GridGebühren6.Rows(), 2);
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 1), "Flst.Nr. 12/3");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 4), "1000");
  // What the row shows is what "OK" charges.
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 5), "1.094,00");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(2, 1), "Flst.Nr. 1");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(2, 5), "1.094,00");
  f->Option42.UserClick();
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 5), "765,80");
}

TEST_F(Kat4Formular, DeleteIsRefusedWithOneRowAndAsksOtherwise) {
  auto f = Oeffnen4();
  f->GridGebühren6.UserSelectRows({1});
  f->CommandLöschen.UserPress();
  EXPECT_EQ(f->GridGebühren6.Rows(), 1);
  EXPECT_TRUE(bildschirm_->Meldungen().empty());

  Parzelle(*f, 2, "B", "2", "0");
  Parzelle(*f, 3, "C", "3", "0");
  f->GridGebühren6.UserSelectRows({1, 2});
  bildschirm_->Antworten({controls::msgbox::No});
  f->CommandLöschen.UserPress();
  ASSERT_EQ(bildschirm_->Meldungen().size(), 1u);
  EXPECT_EQ(bildschirm_->Meldungen()[0].Text, "Zeile löschen?");
  EXPECT_EQ(bildschirm_->Meldungen()[0].Schaltflaechen, 36);
  EXPECT_EQ(f->GridGebühren6.Rows(), 3);

  f->CommandLöschen.UserPress();  // Yes by default
  ASSERT_EQ(f->GridGebühren6.Rows(), 1);
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 1), "C");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 5), "849,00");
}

// The grid keeps one row; when every row was deleted it is an empty one that charges nothing,
// however often it is computed again.
TEST_F(Kat4Formular, DeletingEveryRowLeavesAnEmptyRowThatChargesNothing) {
  auto f = Oeffnen4();
  Parzelle(*f, 2, "B", "2", "0", "500");
  f->GridGebühren6.UserSelectRows({1, 2});
  f->CommandLöschen.UserPress();  // Yes by default
  ASSERT_EQ(f->GridGebühren6.Rows(), 1);
  for (std::int32_t s = 1; s <= 5; ++s) EXPECT_EQ(f->GridGebühren6.TextMatrix(1, s), "") << s;
  f->Option42.UserClick();
  f->Option41.UserClick();
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 5), "");
  f->CommandEnde.UserPress();
  const Zeilen geschrieben = Einzige("TARVO_03_4");
  EXPECT_EQ(geschrieben.at(1), (std::vector<std::string>{"", "", "", "", ""}));
  // Re-opened, it is the same empty row, and confirmed it stays one.
  auto wieder = Oeffnen4(1);
  for (std::int32_t s = 1; s <= 5; ++s) EXPECT_EQ(wieder->GridGebühren6.TextMatrix(1, s), "") << s;
  wieder->CommandEnde.UserPress();
  EXPECT_EQ(Einzige("TARVO_03_4"), geschrieben);
  EXPECT_EQ(NeueFehler(), 0);
}

TEST_F(Kat4Formular, CancelUnloadsWithoutWriting) {
  auto f = Oeffnen4();
  f->CommandAbbruch.UserPress();
  EXPECT_FALSE(f->Loaded());
  EXPECT_EQ(dokument_->Tables().Count(), 0);
}

}  // namespace
}  // namespace tarvo::test
