// The category-1 statement and the boundary marking table as "OK" writes them, checked as the
// tables a surveyor reads: every cell's text, column 5 the amount charged.
#include "forms/kat1/Kat1Abrechnung.h"

#include <fstream>
#include <iterator>

#include "Kat1Fixture.h"

namespace tarvo::test {
namespace {

using Kat1Abrechnung = Kat1Test;

const std::string kTitel = "Katastervermessung zum Zweck der Bildung von Flurstücken nach Nr. 2";

TEST_F(Kat1Abrechnung, OneParcelWithoutShareGivesSixRowsAtTheMarker) {
  auto f = Oeffnen();
  Tippen(f->mskAnzahl, "10");
  f->CommandEnde.UserPress();
  EXPECT_FALSE(f->Loaded());

  const auto tabellen = Getaggt("TARVO_03_1");
  ASSERT_EQ(tabellen.size(), 1u);
  const Zeilen erwartet = {
      {kTitel + "¶", "", "", "", ""},
      {"Gebührenteil a) Grenzwiederherstellung", "", "Anz. Grenzpkt.", "", "Gebühr"},
      {"", "", "10", "", "1.815,00 €"},
      {"", "", "", "", ""},
      {"Gebührenteil b) Grenzfeststellung", "Kategorie", "Fläche", "", "Gebühr"},
      {"Flst.Nr. 12/3", "I", "151", "", "409,00 €"},
  };
  EXPECT_EQ(Text(tabellen[0]), erwartet);
  EXPECT_TRUE(Getaggt("TARVO_03_1A").empty());  // no boundary points marked
  EXPECT_EQ(Getaggt("TARVO_Neben").size(), 1u);
  // The statement stands before the marked paragraph, after the text before it.
  const std::string text = dokument_->Content().Text();
  EXPECT_LT(text.find("Wir berechnen:"), text.find("Katastervermessung"));
  EXPECT_LT(text.find("Katastervermessung"), text.find("Zusammenfassung"));
  EXPECT_EQ(NeueFehler(), 0);
}

TEST_F(Kat1Abrechnung, ReducedPointsAddTheirRowBeforeTheEmptyOne) {
  auto f = Oeffnen();
  Tippen(f->mskAnzahl, "10");
  Tippen(f->mskErmäßigt, "2");
  f->CommandEnde.UserPress();
  const Zeilen text = Text(Getaggt("TARVO_03_1").at(0));
  ASSERT_EQ(text.size(), 7u);
  EXPECT_EQ(text[3], (std::vector<std::string>{"", "davon ermäßigt", "2", "", "-154,00 €"}));
  EXPECT_EQ(text[4], (std::vector<std::string>{"", "", "", "", ""}));
  EXPECT_EQ(text[5][0], "Gebührenteil b) Grenzfeststellung");
  EXPECT_EQ(text[6][0], "Flst.Nr. 12/3");
}

TEST_F(Kat1Abrechnung, EightParcelsWithReductionEndWithTheNineteenthNote) {
  auto f = Oeffnen();
  f->CheckBoxEinsichtnahme.UserClick();
  for (int i = 2; i <= 8; ++i) ZeileAnfuegen(*f);
  ASSERT_EQ(f->MaskEdBoxErmäßigung.Text(), " 9");
  f->CommandEnde.UserPress();
  const Zeilen text = Text(Getaggt("TARVO_03_1").at(0));
  ASSERT_EQ(text.size(), 14u);
  // 8 × 409,00 = 3.272,00; 9 % of it.
  EXPECT_EQ(text[13],
            (std::vector<std::string>{"Die Gebühr nach Gebührenteil b) ist um 9% ermäßigt", "", "",
                                      "", "-294,48 €"}));
}

TEST_F(Kat1Abrechnung, TypedReductionOfTenPercentOnTwoParcels) {
  auto f = Oeffnen();
  ZeileAnfuegen(*f);
  f->GridGebühren1.UserEditCell(2, 3, "150");
  Tippen(f->MaskEdBoxErmäßigung, "10");
  f->CommandEnde.UserPress();
  const Zeilen text = Text(Getaggt("TARVO_03_1").at(0));
  ASSERT_EQ(text.size(), 8u);
  EXPECT_EQ(text[5][4], "409,00 €");
  EXPECT_EQ(text[6][4], "256,00 €");
  EXPECT_EQ(text[7][0], "Die Gebühr nach Gebührenteil b) ist um 10% ermäßigt");
  EXPECT_EQ(text[7][4], "-66,50 €");
}

TEST_F(Kat1Abrechnung, ShareSplitsEveryAmountAndNamesItInTheTitle) {
  struct Fall {
    const char* getippt;
    const char* titel;
    const char* voll;
    const char* anteil;
  } fälle[] = {
      {"333", "(Ihr Anteil beträgt 333 /1000)", "409,00 €", "136,33 €"},
      {"500", "(Ihr Anteil beträgt 500 /1000)", "409,00 €", "204,50 €"},
      {"666", "(Ihr Anteil beträgt 666 /1000)", "409,00 €", "272,67 €"},
  };
  for (const Fall& fall : fälle) {
    SCOPED_TRACE(fall.getippt);
    NeuesDokument();
    auto f = Oeffnen();
    Tippen(f->mskAnteil, fall.getippt);
    f->CommandEnde.UserPress();
    const Zeilen text = Text(Getaggt("TARVO_03_1").at(0));
    EXPECT_EQ(text[0][0], kTitel + "¶" + fall.titel);
    EXPECT_EQ(text[1][3], "Gebühr");
    EXPECT_EQ(text[1][4], "Ihr Anteil");
    EXPECT_EQ(text[4][3], "Gebühr");
    EXPECT_EQ(text[4][4], "Ihr Anteil");
    EXPECT_EQ(text[5][3], fall.voll);
    EXPECT_EQ(text[5][4], fall.anteil);
  }
}

TEST_F(Kat1Abrechnung, ShareOfBlanksChargesNothingUnderShareHeadings) {
  auto f = Oeffnen();
  f->mskAnteil.UserFocus();
  f->mskAnteil.UserType("\x7f");
  f->mskAnteil.UserLeave();
  ASSERT_EQ(f->mskAnteil.Text(), "    ");
  f->CommandEnde.UserPress();
  const Zeilen text = Text(Getaggt("TARVO_03_1").at(0));
  EXPECT_EQ(text[0][0], kTitel + "¶(Ihr Anteil beträgt     /1000)");
  EXPECT_EQ(text[5][3], "409,00 €");
  EXPECT_EQ(text[5][4], "0,00 €");
}

TEST_F(Kat1Abrechnung, ShareLineIsNotBoldAndTwoPointsSmaller) {
  auto f = Oeffnen();
  Tippen(f->mskAnteil, "500");
  f->CommandEnde.UserPress();
  const word::Table t = Getaggt("TARVO_03_1").at(0);
  const word::Range zelle = t.Cell(1, 1).Range();
  word::Range titel = dokument_->Range(zelle.Start(), zelle.Start() + 5);
  word::Range anteil = dokument_->Range(zelle.End() - 8, zelle.End() - 3);
  EXPECT_EQ(titel.Bold(), word::wdTrue);
  EXPECT_EQ(anteil.Bold(), word::wdFalse);
  EXPECT_FLOAT_EQ(anteil.Font().Size(), titel.Font().Size() - 2);
}

TEST_F(Kat1Abrechnung, BoundaryMarkingVariants) {
  struct Fall {
    const char* gp;
    const char* gp2;
    const char* anteil;
    Zeilen erwartet;
  } fälle[] = {
      {"4",
       "0",
       "1000",
       {{"Abmarkung von Grenzpunkten nach Nr. 6", "", "", "", ""},
        {"", "Anzahl", "Gebühr je Punkt", "", "Gebühr"},
        {"Abgemarkte Grenzpunkte nach Nr. 6.1", "4", "26 €", "", "104,00 €"}}},
      {"0",
       "2",
       "1000",
       {{"Abmarkung von Grenzpunkten nach Nr. 6", "", "", "", ""},
        {"", "Anzahl", "Gebühr je Punkt", "", "Gebühr"},
        {"Abgemarkte Grenzpunkte nach Nr. 6.22", "2", "61 €", "", "122,00 €"}}},
      {"4",
       "2",
       "500",
       {{"Abmarkung von Grenzpunkten nach Nr. 6", "", "", "", ""},
        {"", "Anzahl", "Gebühr je Punkt", "Gebühr", "Ihr Anteil"},
        {"Abgemarkte Grenzpunkte nach Nr. 6.1", "4", "26 €", "104,00 €", "52,00 €"},
        {"Abgemarkte Grenzpunkte nach Nr. 6.22", "2", "61 €", "122,00 €", "61,00 €"}}},
  };
  for (const Fall& fall : fälle) {
    SCOPED_TRACE(std::string(fall.gp) + "/" + fall.gp2 + "/" + fall.anteil);
    NeuesDokument();
    auto f = Oeffnen();
    Tippen(f->mskGP, fall.gp);
    Tippen(f->mskGP2, fall.gp2);
    Tippen(f->mskAnteil, fall.anteil);
    f->CommandEnde.UserPress();
    const auto tabellen = Getaggt("TARVO_03_1A");
    ASSERT_EQ(tabellen.size(), 1u);
    EXPECT_EQ(Text(tabellen[0]), fall.erwartet);
    // The boundary table follows the statement.
    EXPECT_LT(Getaggt("TARVO_03_1").at(0).Range().Start(), tabellen[0].Range().Start());
  }
}

TEST_F(Kat1Abrechnung, TablesHaveTheirWidthsAndNoBorders) {
  auto f = Oeffnen();
  Tippen(f->mskGP, "1");
  f->CommandEnde.UserPress();
  const word::Table t = Getaggt("TARVO_03_1").at(0);
  const word::Table a = Getaggt("TARVO_03_1A").at(0);
  auto cm = [&](float wert) { return dokument_->Application()->CentimetersToPoints(wert); };
  EXPECT_NEAR(t.Cell(2, 1).Width(), cm(7.12f), 0.1);
  EXPECT_NEAR(t.Cell(2, 2).Width(), cm(2.75f), 0.1);
  EXPECT_NEAR(t.Cell(2, 5).Width(), cm(2.5f), 0.1);
  EXPECT_NEAR(t.Cell(1, 1).Width(), cm(13), 0.1);  // the title spans the row
  EXPECT_NEAR(t.Cell(1, 4).Width(), cm(1), 0.1);
  EXPECT_NEAR(a.Cell(2, 1).Width(), cm(7.37f), 0.1);
  EXPECT_NEAR(a.Cell(2, 3).Width(), cm(3.63f), 0.1);
  t.Select();
  EXPECT_EQ(dokument_->Application()->Selection().Borders(word::wdBorderTop).LineStyle(),
            word::wdLineStyleNone);
  EXPECT_EQ(t.Cell(6, 5).Range().ParagraphFormat().Alignment(), word::wdAlignParagraphRight);
  EXPECT_EQ(t.Cell(6, 1).Range().ParagraphFormat().Alignment(), word::wdAlignParagraphLeft);
}

TEST_F(Kat1Abrechnung, WithoutMarkerTheStatementGoesToTheEnd) {
  dokument_ = word::Document::New();
  dokument_->Range(0, 0).InsertAfter("Rechnung ohne Marke\r");
  Status().Doc = dokument_;
  Status().WordApp = dokument_->Application();
  auto f = Oeffnen();
  f->CommandEnde.UserPress();
  const std::string text = dokument_->Content().Text();
  EXPECT_LT(text.find("Rechnung ohne Marke"), text.find("Katastervermessung"));
  EXPECT_EQ(Getaggt("TARVO_03_1").size(), 1u);
}

TEST_F(Kat1Abrechnung, WithoutDocumentEveryStepIsLoggedAndTheFormStillCloses) {
  Status().Doc.reset();
  auto f = Oeffnen();
  f->CommandEnde.UserPress();
  EXPECT_FALSE(f->Loaded());
  EXPECT_GT(NeueFehler(), 0);
  // Reported under the form's module and the handler's own name.
  std::ifstream log(protokoll::Datei());
  const std::string inhalt((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_NE(inhalt.find("Ort  : frmKat1.CommandEnde_Click"), std::string::npos);
  EXPECT_NE(inhalt.find("Ort  : frmKat1.Form_Load"), std::string::npos);
}

}  // namespace
}  // namespace tarvo::test
