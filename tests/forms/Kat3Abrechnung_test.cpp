// The category-3 statement as "OK" writes it, checked as the table a surveyor reads (every
// cell's text, column 5 the amount charged, one "Davon …" line per surcharge), its layout, and
// re-editing: the statement read back into the grid and replaced in place.
#include "forms/kat3/Kat3Abrechnung.h"

#include <fstream>
#include <iterator>

#include "Kat3Fixture.h"

namespace tarvo::test {
namespace {

using Kat3Abrechnung = Kat3Test;
using Zellen = std::vector<std::string>;

const std::string kOrt = " m innerhalb geschlossener Ortslage ergibt einen Zuschlag von";
const std::string kSpuren = " m mit vier oder mehr Fahrstreifen ergibt einen Zuschlag von";
const Zellen kKopf = {"Vermessung nach Nr. 5¶¶", "¶¶ Nr.\t Flurstücke", "¶¶ Achse [m]   Preis/lfdm",
                      "", "¶¶Gebühr"};

// The three worked examples with surcharges, one per row.
void DreiAchsen(frmKat3& f) {
  Kat3Test::AchseEintragen(f, 1, "Flst.Nr. 1", "5.1.1", "bis 5", "120", "0", "");
  Kat3Test::ZeileAnfuegen(f);
  Kat3Test::AchseEintragen(f, 2, "Flst.Nr. 2", "5.1.2", "über 5 bis 15", "300", "100", "");
  Kat3Test::ZeileAnfuegen(f);
  Kat3Test::AchseEintragen(f, 3, "Flst.Nr. 3", "5.1.3", "über 15", "80", "80", "40");
}

const Zeilen kDreiAchsen = {
    kKopf,
    {"Flst.Nr. 1", "5.1.1\tbis 5", "120\t      20,00 €", "", "2.400,00 €"},
    {"Flst.Nr. 2", "5.1.2\tüber 5 bis 15", "300\t      19,25 €", "", "5.775,00 €"},
    {"Davon 100" + kOrt, "", "", "", "481,25 €"},
    {"Flst.Nr. 3", "5.1.3\tüber 15", "80\t      18,00 €", "", "1.440,00 €"},
    {"Davon 80" + kOrt, "", "", "", "360,00 €"},
    {"Davon 40" + kSpuren, "", "", "", "216,00 €"},
};

TEST_F(Kat3Abrechnung, WorkedExamplesWithTheirSurchargeRowsInOrder) {
  auto f = Oeffnen();
  DreiAchsen(*f);
  f->CommandEnde.UserPress();
  EXPECT_FALSE(f->Loaded());
  const auto tabellen = Getaggt("TARVO_03_3");
  ASSERT_EQ(tabellen.size(), 1u);
  EXPECT_EQ(Text(tabellen[0]), kDreiAchsen);
  EXPECT_EQ(Getaggt("TARVO_Neben").size(), 1u);
  // The statement stands at the marker.
  const std::string text = dokument_->Content().Text();
  EXPECT_LT(text.find("Wir berechnen:"), text.find("Vermessung nach Nr. 5"));
  EXPECT_LT(text.find("Vermessung nach Nr. 5"), text.find("Zusammenfassung"));
  EXPECT_EQ(NeueFehler(), 0) << LetzterFehlerText();
}

TEST_F(Kat3Abrechnung, FreshDefaultsWithBuiltUpLengthGiveOneSurcharge) {
  auto f = Oeffnen();  // axis 120 (Grenzlänge), built-up 40 (Achslänge)
  f->CommandEnde.UserPress();
  const Zeilen erwartet = {
      kKopf,
      {"Flst.Nr. 12/3", "5.1.1\tbis 5", "120\t      20,00 €", "", "2.400,00 €"},
      {"Davon 40" + kOrt, "", "", "", "200,00 €"},
  };
  EXPECT_EQ(Text(Getaggt("TARVO_03_3").at(0)), erwartet);
}

TEST_F(Kat3Abrechnung, NegativeLengthsGiveNegativeSurchargesZeroAxisOneMetre) {
  auto f = Oeffnen();
  AchseEintragen(*f, 1, "Flst.Nr. 1", "5.1.1", "bis 5", "0", "-10", "-1");
  f->CommandEnde.UserPress();
  const Zeilen erwartet = {
      kKopf,
      {"Flst.Nr. 1", "5.1.1\tbis 5", "0\t      20,00 €", "", "20,00 €"},
      {"Davon -10" + kOrt, "", "", "", "-50,00 €"},
      {"Davon -1" + kSpuren, "", "", "", "-6,00 €"},
  };
  EXPECT_EQ(Text(Getaggt("TARVO_03_3").at(0)), erwartet);
}

TEST_F(Kat3Abrechnung, AnEntryStillOpenWhenOkIsPressedIsCharged) {
  auto f = Oeffnen();
  // A view commits its open editor when the grid is told to end the edit.
  f->GridGebühren6.EditEnd.Connect([&] { f->GridGebühren6.UserEditCell(1, 4, "300"); });
  f->CommandEnde.UserPress();
  const Zeilen text = Text(Getaggt("TARVO_03_3").at(0));
  EXPECT_EQ(text[1],
            (Zellen{"Flst.Nr. 12/3", "5.1.1\tbis 5", "300\t      20,00 €", "", "6.000,00 €"}));
}

TEST_F(Kat3Abrechnung, AnOverflowingAxisChargesNoStaleFee) {
  auto f = Oeffnen();
  AchseEintragen(*f, 1, "Flst.Nr. 1", "5.1.1", "bis 5", "300", "0", "");
  f->GridGebühren6.UserEditCell(1, 4, "40000");
  f->CommandEnde.UserPress();
  const Zeilen text = Text(Getaggt("TARVO_03_3").at(0));
  ASSERT_EQ(text.size(), 2u);
  EXPECT_EQ(text[1], (Zellen{"Flst.Nr. 1", "5.1.1\tbis 5", "40.000\t       0,00 €", "", "0,00 €"}));
  EXPECT_GE(NeueFehler(), 1);
}

TEST_F(Kat3Abrechnung, LayoutBookmarkTabStopWidthsAndNoBorders) {
  auto f = Oeffnen();
  DreiAchsen(*f);
  f->CommandEnde.UserPress();
  const word::Table t = Getaggt("TARVO_03_3").at(0);
  auto cm = [&](float wert) { return dokument_->Application()->CentimetersToPoints(wert); };
  const float breiten[] = {7.12f, 3.5f, 4.07f, 0.3f, 2.5f};
  const float davon[] = {14.1f, 0.3f, 0.3f, 0.3f, 2.5f};
  for (std::int32_t s = 1; s <= 5; ++s) {
    SCOPED_TRACE(s);
    EXPECT_NEAR(t.Cell(2, s).Width(), cm(breiten[s - 1]), 0.1);
    EXPECT_NEAR(t.Cell(4, s).Width(), cm(davon[s - 1]), 0.1);
    EXPECT_NEAR(t.Cell(7, s).Width(), cm(davon[s - 1]), 0.1);
    EXPECT_NEAR(t.Cell(5, s).Width(), cm(breiten[s - 1]), 0.1);
  }
  t.Select();
  for (std::int32_t rand = word::wdBorderTop; rand >= word::wdBorderVertical; --rand)
    EXPECT_EQ(dokument_->Application()->Selection().Borders(rand).LineStyle(),
              word::wdLineStyleNone);
  EXPECT_EQ(t.Cell(2, 5).Range().ParagraphFormat().Alignment(), word::wdAlignParagraphRight);
  EXPECT_EQ(t.Cell(2, 1).Range().ParagraphFormat().Alignment(), word::wdAlignParagraphLeft);
  EXPECT_EQ(t.Cell(1, 3).Range().ParagraphFormat().TabStops().Count(), 1);
  EXPECT_EQ(t.Cell(1, 5).Range().Bold(), word::wdTrue);
  EXPECT_EQ(t.Cell(2, 1).Range().Bold(), word::wdFalse);
  // The bookmark marks the fee heading; the comment tag is the one the next load finds.
  ASSERT_TRUE(dokument_->Bookmarks().Exists("TARVO_03_3"));
  const word::Range marke = dokument_->Bookmarks().Item("TARVO_03_3").Range();
  EXPECT_GE(marke.Start(), t.Cell(1, 5).Range().Start());
  EXPECT_LE(marke.End(), t.Cell(1, 5).Range().End());
  EXPECT_EQ(ErsterKommentar(t), "TARVO_03_3");
}

TEST_F(Kat3Abrechnung, ReopeningFoldsTheSurchargeRowsBackIntoTheirSections) {
  auto erste = Oeffnen();
  DreiAchsen(*erste);
  erste->CommandEnde.UserPress();
  auto f = Oeffnen(1);
  ASSERT_EQ(f->GridGebühren6.Rows(), 3);
  EXPECT_EQ(Rasterzeile(*f, 1),
            (Zellen{"Flst.Nr. 1", "5.1.1", "bis 5", " 120", "", "", "      20,00 €", "2.400,00"}));
  EXPECT_EQ(Rasterzeile(*f, 2), (Zellen{"Flst.Nr. 2", "5.1.2", "über 5 bis 15", " 300", "100", "",
                                        "      19,25 €", "5.775,00"}));
  EXPECT_EQ(Rasterzeile(*f, 3), (Zellen{"Flst.Nr. 3", "5.1.3", "über 15", "  80", "80", "40",
                                        "      18,00 €", "1.440,00"}));
  EXPECT_FALSE(f->ComboBox4.Visible());
  EXPECT_FALSE(f->ComboBox5.Visible());
  EXPECT_EQ(f->GridGebühren6.Row(), 1);
  EXPECT_EQ(f->GridGebühren6.Col(), 1);
  EXPECT_EQ(f->GridGebühren6.RowHeight(3), 300);
  EXPECT_EQ(NeueFehler(), 0) << LetzterFehlerText();
}

TEST_F(Kat3Abrechnung, OkTwiceWithoutInputReplacesTheStatementCellForCell) {
  auto erste = Oeffnen();
  DreiAchsen(*erste);
  erste->CommandEnde.UserPress();
  const std::int32_t tabellen = dokument_->Tables().Count();

  auto f = Oeffnen(1);
  f->CommandEnde.UserPress();
  ASSERT_EQ(Getaggt("TARVO_03_3").size(), 1u);
  EXPECT_EQ(Getaggt("TARVO_Neben").size(), 1u);
  EXPECT_EQ(dokument_->Tables().Count(), tabellen);
  EXPECT_EQ(Text(Getaggt("TARVO_03_3")[0]), kDreiAchsen);
  EXPECT_EQ(dokument_->Tables().Item(1) == Getaggt("TARVO_03_3")[0], true);

  // An edit after re-opening: the second section gets a lane length too.
  auto g = Oeffnen(1);
  g->GridGebühren6.UserEditCell(2, 6, "10");
  g->CommandEnde.UserPress();
  const Zeilen text = Text(Getaggt("TARVO_03_3").at(0));
  ASSERT_EQ(text.size(), 8u);
  EXPECT_EQ(text[3], (Zellen{"Davon 100" + kOrt, "", "", "", "481,25 €"}));
  EXPECT_EQ(text[4], (Zellen{"Davon 10" + kSpuren, "", "", "", "57,75 €"}));
  EXPECT_EQ(text[5][0], "Flst.Nr. 3");
  EXPECT_EQ(NeueFehler(), 0) << LetzterFehlerText();
}

TEST_F(Kat3Abrechnung, ASurchargeRowBeforeAnySectionIsSkipped) {
  // A statement edited by hand: its first line after the heading is a "Davon" line.
  word::Range stelle = dokument_->Content();
  stelle.Collapse(word::wdCollapseEnd);
  word::Table t = dokument_->Tables().Add(stelle, 3, 5);
  t.Cell(2, 1).Range().InsertAfter("Davon 5" + kOrt);
  t.Cell(3, 1).Range().InsertAfter("Flst.Nr. 9");
  t.Cell(3, 2).Range().InsertAfter("5.1.2\tbis 5");
  t.Cell(3, 3).Range().InsertAfter("10\t17,50 €");
  t.Cell(3, 5).Range().InsertAfter("175,00 €");
  BookmarkSetzen(t, "TARVO_03_3");
  auto f = Oeffnen(1);
  ASSERT_EQ(f->GridGebühren6.Rows(), 1);
  EXPECT_EQ(Rasterzeile(*f, 1),
            (Zellen{"Flst.Nr. 9", "5.1.2", "bis 5", "10", "", "", "17,50 €", "  175,00"}));
  EXPECT_EQ(f->GridGebühren6.ColHeading(2), " Nr.");  // the heading row is left alone
}

TEST_F(Kat3Abrechnung, WithoutDocumentEveryStepIsLoggedAndTheFormStillCloses) {
  Status().Doc.reset();
  auto f = Oeffnen();
  f->CommandEnde.UserPress();
  EXPECT_FALSE(f->Loaded());
  EXPECT_GT(NeueFehler(), 0);
  // Reported under the form's module and the handler's own name.
  std::ifstream log(protokoll::Datei());
  const std::string inhalt((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_NE(inhalt.find("Ort  : frmKat3.CommandEnde_Click"), std::string::npos);
  EXPECT_NE(inhalt.find("Ort  : frmKat3.Form_Load"), std::string::npos);
}

}  // namespace
}  // namespace tarvo::test
