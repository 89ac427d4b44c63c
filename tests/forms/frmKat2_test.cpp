// frmKat2's handlers driven through the control models' user actions: the fresh form, the fee
// of a building as the user types it (area classes, parts, variants), the job state it leaves,
// rows added with Tab and the buttons, and a parts count beyond the 16-bit surcharge.
#include "forms/kat2/frmKat2.h"
#include "common/Version.h"

#include <fstream>
#include <iterator>

#include "Kat2Fixture.h"

namespace tarvo::test {
namespace {

using Kat2Formular = Kat2Test;

TEST_F(Kat2Formular, FreshFormHasOneDefaultRowComputedAtOnce) {
  auto f = Oeffnen2();
  ASSERT_EQ(f->GridGebühren2.Rows(), 1);
  ASSERT_EQ(f->GridGebühren2.Cols(), 6);
  const std::string erwartet[] = {"Flst.Nr. 12/3", "     151", " 0",
                                  "1000",          "  409,00", "Wohnhaus"};
  for (std::int32_t s = 1; s <= 6; ++s)
    EXPECT_EQ(f->GridGebühren2.TextMatrix(1, s), erwartet[s - 1]);
  const std::string köpfe[] = {"Flurstücksnummer", " Fläche [m²]", " Gebäudeteile",
                               " Anteil [1/1000]", " Kosten [€]",  " Gebäudebeschreibung"};
  const float breiten[] = {2700, 1300, 1100, 1400, 1000, 3000};
  for (std::int32_t s = 1; s <= 6; ++s) {
    EXPECT_EQ(f->GridGebühren2.ColHeading(s), köpfe[s - 1]);
    EXPECT_EQ(f->GridGebühren2.ColWidth(s), breiten[s - 1]);
  }
  EXPECT_EQ(f->GridGebühren2.ColSetting(5, "Bearbeitbar"), 0);
  EXPECT_EQ(f->GridGebühren2.RowHeight(1), 300);
  EXPECT_EQ(f->GridGebühren2.Row(), 1);
  EXPECT_EQ(f->GridGebühren2.Col(), 1);
  EXPECT_TRUE(f->Option31.Value());
  EXPECT_FALSE(f->Option32.Value());
  EXPECT_FALSE(f->Option33.Value());
  EXPECT_EQ(f->Option31.Container(), &f->sevFrame1);
  EXPECT_EQ(f->sevFrame1.Caption(), "Abrechnung nach");
  EXPECT_EQ(f->Caption, "Gebäudeaufnahme nach Nr. 3");
  EXPECT_EQ(f->Label1.Caption(), "Gebäudeaufnahme nach Nr. 3");
  EXPECT_EQ(f->chk20.Caption(), "keine Mindestgebühr bei Nebenkosten");
  EXPECT_EQ(f->chk20.Value(), 0);
  EXPECT_EQ(f->CommandNeu.Caption(), "&Einfügen");
  EXPECT_EQ(f->CommandNeu.Picture(), "Dokument");
  EXPECT_EQ(f->lblVersion.Caption(), "V " + VersionMitRevision());
  EXPECT_EQ(f->ParentWindow, 4711);
  EXPECT_EQ(f->ExtendedStyle, 0x140);
  EXPECT_EQ(f->Pointer, controls::MousePointer::Default);
  // The job state holds the row just computed.
  EXPECT_EQ(Status().Baukosten, 151);
  EXPECT_EQ(Status().Lage, "Wohnhaus");
  EXPECT_EQ(NeueFehler(), 0);
}

TEST_F(Kat2Formular, WorkedExamplesAndAreaClassEdges) {
  struct Fall {
    const char* fläche;
    const char* teile;
    controls::OptionButton frmKat2::*variante;
    const char* gebühr;
  } fälle[] = {
      {"50", "0", &frmKat2::Option31, "  153,00"},
      {"51", "0", &frmKat2::Option31, "  409,00"},
      {"300", "0", &frmKat2::Option31, "  409,00"},
      {"301", "0", &frmKat2::Option31, "  562,00"},
      {"500", "3", &frmKat2::Option31, "  562,00"},
      {"501", "3", &frmKat2::Option31, "  869,00"},
      {"1000", "0", &frmKat2::Option31, "  869,00"},
      {"1001", "0", &frmKat2::Option31, "1.534,00"},
      {"5000", "0", &frmKat2::Option31, "1.534,00"},
      {"5001", "0", &frmKat2::Option31, "2.556,00"},
      {"120", "5", &frmKat2::Option31, "  563,00"},
      {"120", "5", &frmKat2::Option32, "  140,75"},
      {"120", "5", &frmKat2::Option33, "  591,15"},
      {"10000", "3", &frmKat2::Option31, "2.556,00"},
      {"10001", "0", &frmKat2::Option31, "4.090,00"},
      {"10001", "4", &frmKat2::Option31, "4.167,00"},
      {"-5", "0", &frmKat2::Option31, "4.090,00"},
      {"50,6", "0", &frmKat2::Option31, "  409,00"},  // typed area becomes 51 m²
      {"0", "4", &frmKat2::Option31, "  230,00"},     // the fourth part adds 77,00
      {"0", "4", &frmKat2::Option32, "   57,50"},     // the factor acts on the surcharge too
      {"0", "428", &frmKat2::Option31, "32.878,00"},  // the largest surcharge 16 bits hold
  };
  for (const Fall& fall : fälle) {
    SCOPED_TRACE(std::string(fall.fläche) + " m², " + fall.teile + " Teile");
    auto f = Oeffnen2();
    ((*f).*(fall.variante)).UserClick();
    GebäudeEintragen(*f, 1, "", fall.fläche, fall.teile);
    EXPECT_EQ(Gebühr(*f, 1), fall.gebühr);
  }
  EXPECT_EQ(NeueFehler(), 0);
}

TEST_F(Kat2Formular, EditedCellsAreNormalisedToTheGridsWidths) {
  auto f = Oeffnen2();
  GebäudeEintragen(*f, 1, "Flst.Nr. 7", "1234,4", "12", "500", "Scheune");
  EXPECT_EQ(f->GridGebühren2.TextMatrix(1, 2), "   1.234");
  EXPECT_EQ(f->GridGebühren2.TextMatrix(1, 3), "  12");
  EXPECT_EQ(f->GridGebühren2.TextMatrix(1, 4), " 500");
  EXPECT_EQ(f->GridGebühren2.TextMatrix(1, 6), "Scheune");
  EXPECT_EQ(Gebühr(*f, 1), "2.227,00");  // 1534 + 9 × 77; the share does not enter the grid
  // A fee typed over is replaced by the computed one.
  f->GridGebühren2.UserEditCell(1, 5, "1");
  EXPECT_EQ(Gebühr(*f, 1), "2.227,00");
}

TEST_F(Kat2Formular, ChangingTheVariantRecomputesEveryRowAndBackAgain) {
  auto f = Oeffnen2();
  GebäudeEintragen(*f, 1, "", "120", "5");
  ZeileAnfuegen(*f);
  GebäudeEintragen(*f, 2, "", "40", "0");
  ASSERT_EQ(Gebühr(*f, 1), "  563,00");
  ASSERT_EQ(Gebühr(*f, 2), "  153,00");
  f->Option32.UserClick();
  EXPECT_EQ(Gebühr(*f, 1), "  140,75");
  EXPECT_EQ(Gebühr(*f, 2), "   38,25");
  f->Option33.UserClick();
  EXPECT_EQ(Gebühr(*f, 1), "  591,15");
  EXPECT_EQ(Gebühr(*f, 2), "  160,65");
  f->Option31.UserClick();
  EXPECT_EQ(Gebühr(*f, 1), "  563,00");
  EXPECT_EQ(Gebühr(*f, 2), "  153,00");
  // Each recalculation leaves the last row in the job state.
  EXPECT_EQ(Status().Baukosten, 40);
}

TEST_F(Kat2Formular, TheJobStateHoldsTheRowComputedLast) {
  auto f = Oeffnen2();
  GebäudeEintragen(*f, 1, "", "700", "", "", "Wohnhaus mit Anbau");
  ZeileAnfuegen(*f);
  GebäudeEintragen(*f, 2, "", "35", "", "", "Garage");
  f->GridGebühren2.UserEditCell(2, 3, "1");
  EXPECT_EQ(Status().Lage, "Garage");
  EXPECT_EQ(Status().Baukosten, 35);
  f->GridGebühren2.UserEditCell(1, 3, "2");
  EXPECT_EQ(Status().Lage, "Wohnhaus mit Anbau");
  EXPECT_EQ(Status().Baukosten, 700);
}

TEST_F(Kat2Formular, TabInTheDescriptionOfTheLastRowAppendsAComputedRow) {
  auto f = Oeffnen2();
  GebäudeEintragen(*f, 1, "Flst.Nr. 9", "800", "4", "500", "Halle");
  ZeileAnfuegen(*f);
  ASSERT_EQ(f->GridGebühren2.Rows(), 2);
  EXPECT_EQ(f->GridGebühren2.Row(), 2);
  EXPECT_EQ(f->GridGebühren2.Col(), 1);
  const std::string erwartet[] = {"Flst.Nr. 12/3", "     800", " 0", "1000", "  869,00", "Halle"};
  for (std::int32_t s = 1; s <= 6; ++s)
    EXPECT_EQ(f->GridGebühren2.TextMatrix(2, s), erwartet[s - 1]);
  EXPECT_EQ(f->GridGebühren2.RowHeight(2), 300);
  EXPECT_EQ(f->GridGebühren2.TextMatrix(1, 1), "Flst.Nr. 9");  // the finished row stays first

  // Right arrow in another row's description moves down and is swallowed.
  f->GridGebühren2.UserClickCell(1, 6);
  f->GridGebühren2.UserPressKey(controls::taste::Rechts);
  EXPECT_EQ(f->GridGebühren2.Rows(), 2);
  EXPECT_EQ(f->GridGebühren2.Row(), 2);
  EXPECT_EQ(f->GridGebühren2.Col(), 6);
  // With Shift, or in another column, Tab only moves as the grid does.
  f->GridGebühren2.UserPressKey(controls::taste::Tab, controls::umschalt::Shift);
  EXPECT_EQ(f->GridGebühren2.Col(), 5);
  f->GridGebühren2.UserPressKey(controls::taste::Tab);
  EXPECT_EQ(f->GridGebühren2.Rows(), 2);
  EXPECT_EQ(f->GridGebühren2.Col(), 6);
}

TEST_F(Kat2Formular, InsertPutsAComputedDefaultRowAtTheCurrentRow) {
  auto f = Oeffnen2();
  GebäudeEintragen(*f, 1, "Flst.Nr. 1", "2000", "0", "", "Lager");
  f->GridGebühren2.UserClickCell(1, 3);
  f->CommandNeu.UserPress();
  ASSERT_EQ(f->GridGebühren2.Rows(), 2);
  EXPECT_EQ(f->GridGebühren2.TextMatrix(1, 1), "Flst.Nr. 12/3");
  EXPECT_EQ(f->GridGebühren2.TextMatrix(1, 2), "   2.000");
  EXPECT_EQ(Gebühr(*f, 1), "1.534,00");
  EXPECT_EQ(f->GridGebühren2.TextMatrix(2, 1), "Flst.Nr. 1");
}

TEST_F(Kat2Formular, DeleteAsksAndKeepsOneRow) {
  auto f = Oeffnen2();
  f->GridGebühren2.UserSelectRows({1});
  f->CommandLöschen.UserPress();
  EXPECT_EQ(f->GridGebühren2.Rows(), 1);
  EXPECT_TRUE(bildschirm_->Meldungen().empty());

  ZeileAnfuegen(*f);
  ZeileAnfuegen(*f);
  GebäudeEintragen(*f, 3, "Flst.Nr. 3", "", "");
  f->GridGebühren2.UserSelectRows({1, 2});
  bildschirm_->Antworten({controls::msgbox::No});
  f->CommandLöschen.UserPress();
  ASSERT_EQ(bildschirm_->Meldungen().size(), 1u);
  EXPECT_EQ(bildschirm_->Meldungen()[0].Text, "Zeile löschen?");
  EXPECT_EQ(bildschirm_->Meldungen()[0].Schaltflaechen, 36);
  EXPECT_EQ(f->GridGebühren2.Rows(), 3);
  f->CommandLöschen.UserPress();  // Yes by default
  ASSERT_EQ(f->GridGebühren2.Rows(), 1);
  EXPECT_EQ(f->GridGebühren2.TextMatrix(1, 1), "Flst.Nr. 3");
}

// The grid keeps one row; when every row was deleted it is an empty one that charges nothing,
// however often it is computed again.
TEST_F(Kat2Formular, DeletingEveryRowLeavesAnEmptyRowThatChargesNothing) {
  auto f = Oeffnen2();
  ZeileAnfuegen(*f);
  GebäudeEintragen(*f, 2, "Flst.Nr. 2", "300", "4", "500", "Garage");
  f->GridGebühren2.UserSelectRows({1, 2});
  f->CommandLöschen.UserPress();  // Yes by default
  ASSERT_EQ(f->GridGebühren2.Rows(), 1);
  for (std::int32_t s = 1; s <= frmKat2::Spalten; ++s)
    EXPECT_EQ(f->GridGebühren2.TextMatrix(1, s), "") << s;
  f->Option33.UserClick();
  EXPECT_EQ(Gebühr(*f, 1), "");
  const Zeilen text = Text(Bestaetigen(*f));
  EXPECT_EQ(text.at(1), (std::vector<std::string>{"", "", "", "", ""}));
  // Re-opened, computed anew and confirmed, it is the same empty row.
  auto wieder = Oeffnen2(1);
  wieder->Option31.UserClick();
  EXPECT_EQ(Gebühr(*wieder, 1), "");
  EXPECT_EQ(Text(Bestaetigen(*wieder)).at(1), text.at(1));
  EXPECT_EQ(NeueFehler(), 0);
}

TEST_F(Kat2Formular, PartsBeyondTheSurchargeLimitLeaveTheFeeEmptyAndAreLogged) {
  auto f = Oeffnen2();
  GebäudeEintragen(*f, 1, "", "120", "5");
  ASSERT_EQ(Gebühr(*f, 1), "  563,00");
  for (const char* teile : {"429", "40000"}) {
    SCOPED_TRACE(teile);
    const std::int64_t vorher = NeueFehler();
    f->GridGebühren2.UserEditCell(1, 3, teile);
    EXPECT_EQ(Gebühr(*f, 1), "");  // no fee of the earlier input remains
    EXPECT_EQ(NeueFehler(), vorher + 1);
    EXPECT_EQ(Status().Fehler.strModul, "frmKat2");
    EXPECT_EQ(Status().Fehler.strFunktion, "ÜbernehmenWerte");
    EXPECT_EQ(Status().Fehler.strNr, "6");
  }
  // The row still hands its area and description to the job state, and recovers.
  EXPECT_EQ(Status().Baukosten, 120);
  f->GridGebühren2.UserEditCell(1, 3, "4");
  EXPECT_EQ(Gebühr(*f, 1), "  486,00");
}

TEST_F(Kat2Formular, WithoutADocumentOkLogsUnderItsOwnNameAndStillCloses) {
  auto f = Oeffnen2();
  Status().Doc = nullptr;
  f->CommandEnde.UserPress();
  EXPECT_GT(NeueFehler(), 0);
  std::ifstream log(protokoll::Datei(), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("frmKat2.CommandEnde_Click"), std::string::npos);
  EXPECT_FALSE(f->Loaded());
  EXPECT_EQ(f->Pointer, controls::MousePointer::Default);
}

// Every control has its designed place inside the form; none covers another except the options,
// which lie inside their frame.
TEST_F(Kat2Formular, EveryControlHasItsPlace) {
  auto f = Oeffnen2();
  auto innerhalb = [](const controls::Control& c, float l, float o, float b, float h) {
    return c.Left() >= l && c.Top() >= o && c.Left() + c.Width() <= l + b &&
           c.Top() + c.Height() <= o + h;
  };
  std::vector<controls::Control*> platziert;
  for (controls::Control* c : f->Steuerelemente()) {
    SCOPED_TRACE(c->Name());
    EXPECT_GT(c->Width(), 0);
    EXPECT_GT(c->Height(), 0);
    EXPECT_TRUE(innerhalb(*c, 0, 0, f->Width, f->Height));
    if (const controls::Frame* rahmen = c->Container()) {
      EXPECT_TRUE(innerhalb(*c, rahmen->Left(), rahmen->Top(), rahmen->Width(), rahmen->Height()));
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
}

}  // namespace
}  // namespace tarvo::test
