// The building survey statement as "OK" writes it and as the form reads it back: golden tables
// a surveyor can check, the share rules to the cent, a row whose fee could not be computed,
// its place in letters of different shapes, and re-editing that replaces it in place.
#include "forms/kat2/Kat2Abrechnung.h"

#include "Kat2Fixture.h"

namespace tarvo::test {
namespace {

using Kat2Abrechnung = Kat2Test;

const std::vector<std::string> kKopfOhneAnteil = {
    "Gebäudeaufnahme nach Nr. 3.1¶¶", "¶¶Grundfläche [m²]", "¶¶Gebäudeteile", "", "¶¶Gebühr"};

TEST_F(Kat2Abrechnung, WithoutSharesOnlyColumnFiveCharges) {
  auto f = Oeffnen2();
  GebäudeEintragen(*f, 1, "Flst.Nr. 12/3", "120", "5", "", "Wohnhaus");
  ZeileAnfuegen(*f);
  GebäudeEintragen(*f, 2, "Flst.Nr. 12/4", "35", "0", "", "Garage");
  const word::Table t = Bestaetigen(*f);
  const Zeilen erwartet = {
      kKopfOhneAnteil,
      {"Flst.Nr. 12/3\vWohnhaus", "120", "5", "", "563,00 €"},
      {"Flst.Nr. 12/4\vGarage", "35", "0", "", "153,00 €"},
  };
  EXPECT_EQ(Text(t), erwartet);
  EXPECT_EQ(ZellText(t, 2, 2), "     120");  // cells as the grid shows them
  EXPECT_EQ(ZellText(t, 2, 5), "    563,00 €");
  EXPECT_EQ(t.Cell(1, 1).Range().Bold(), word::wdTrue);
  EXPECT_EQ(t.Cell(1, 5).Range().Bold(), word::wdTrue);
  EXPECT_EQ(t.Cell(2, 1).Range().Bold(), word::wdFalse);
  EXPECT_FALSE(f->Loaded());
  // The statement stands before the marked paragraph; costs and totals follow.
  const std::string text = dokument_->Content().Text();
  EXPECT_LT(t.Range().Start(), static_cast<std::int32_t>(text.find("Zusammenfassung")));
  EXPECT_EQ(Getaggt("TARVO_Neben").size(), 1u);
  EXPECT_EQ(ZellText(Getaggt("TARVO_Neben").at(0), 3, 3), "     716,00 €");
  EXPECT_EQ(NeueFehler(), 0);
}

TEST_F(Kat2Abrechnung, AShareRowGetsItsSmallerShareLineAndTheFullFee) {
  auto f = Oeffnen2();
  GebäudeEintragen(*f, 1, "Flst.Nr. 12/3", "120", "5", "500", "Wohnhaus");
  ZeileAnfuegen(*f);
  GebäudeEintragen(*f, 2, "Flst.Nr. 12/4", "35", "0", "", "Garage");
  const word::Table t = Bestaetigen(*f);
  const Zeilen erwartet = {
      {"Gebäudeaufnahme nach Nr. 3.1¶¶", "¶¶Grundfläche [m²]", "¶¶Gebäudeteile", "¶¶Gebühr",
       "¶¶Ihr Anteil"},
      {"Flst.Nr. 12/3\vWohnhaus\vIhr Anteil beträgt  500/1000", "120", "5", "563,00 €", "281,50 €"},
      {"Flst.Nr. 12/4\vGarage", "35", "0", "", "153,00 €"},
  };
  EXPECT_EQ(Text(t), erwartet);
  // The share line is two points smaller than the parcel line.
  const std::int32_t ende = t.Cell(2, 1).Range().End() - 1;
  const float klein = dokument_->Range(ende - 5, ende).Font().Size();
  const float normal = dokument_->Range(t.Cell(2, 1).Range().Start(), ende - 30).Font().Size();
  EXPECT_FLOAT_EQ(klein, normal - 2);
}

TEST_F(Kat2Abrechnung, ThirdsAreExactAndOtherSharesAreThousandths) {
  struct Fall {
    const char* anteil;
    const char* spalte4;
    const char* spalte5;
  } fälle[] = {{"333", "563,00 €", "187,67 €"},
               {"666", "563,00 €", "375,33 €"},
               {"500", "563,00 €", "281,50 €"},
               {"1", "563,00 €", "0,56 €"},
               {"1000", "", "563,00 €"}};
  for (const Fall& fall : fälle) {
    SCOPED_TRACE(fall.anteil);
    NeuesDokument();
    auto f = Oeffnen2();
    GebäudeEintragen(*f, 1, "", "120", "5", fall.anteil);
    const Zeilen text = Text(Bestaetigen(*f));
    EXPECT_EQ(text.at(1).at(3), fall.spalte4);
    EXPECT_EQ(text.at(1).at(4), fall.spalte5);
  }
}

TEST_F(Kat2Abrechnung, TableHasItsWidthsAlignmentAndNoBorders) {
  auto f = Oeffnen2();
  const word::Table t = Bestaetigen(*f);
  auto cm = [&](float wert) { return dokument_->Application()->CentimetersToPoints(wert); };
  const float breiten[] = {7.5f, 2.62f, 2.5f, 2.37f, 2.5f};
  for (std::int32_t s = 1; s <= 5; ++s) EXPECT_NEAR(t.Cell(2, s).Width(), cm(breiten[s - 1]), 0.1);
  EXPECT_EQ(t.Cell(2, 1).Range().ParagraphFormat().Alignment(), word::wdAlignParagraphLeft);
  for (std::int32_t s = 2; s <= 5; ++s)
    EXPECT_EQ(t.Cell(2, s).Range().ParagraphFormat().Alignment(), word::wdAlignParagraphRight);
  t.Select();
  for (std::int32_t rand = word::wdBorderTop; rand >= word::wdBorderVertical; --rand)
    EXPECT_EQ(dokument_->Application()->Selection().Borders(rand).LineStyle(),
              word::wdLineStyleNone);
}

TEST_F(Kat2Abrechnung, ARowWithoutComputedFeeChargesNothing) {
  auto f = Oeffnen2();
  GebäudeEintragen(*f, 1, "Flst.Nr. 1", "120", "5", "", "Wohnhaus");
  ZeileAnfuegen(*f);
  GebäudeEintragen(*f, 2, "Flst.Nr. 2", "300", "0", "500", "Reihenhaus");
  f->GridGebühren2.UserEditCell(2, 3, "429");  // the surcharge overflows
  ASSERT_EQ(Gebühr(*f, 2), "");
  const word::Table t = Bestaetigen(*f);
  const Zeilen text = Text(t);
  EXPECT_EQ(text.at(2),
            (std::vector<std::string>{"Flst.Nr. 2\vReihenhaus\vIhr Anteil beträgt  500/1000", "300",
                                      "429", "", ""}));
  // The incidental costs and the totals see the first building only.
  EXPECT_EQ(ZellText(Getaggt("TARVO_Neben").at(0), 3, 3), "     563,00 €");
  EXPECT_EQ(Status().Fehler.strFunktion, "ÜbernehmenWerte");
}

// A share beyond 16 bits cannot be read; no other row's share may stand in for it.
TEST_F(Kat2Abrechnung, ARowWhoseShareCannotBeReadChargesNothing) {
  auto f = Oeffnen2();
  GebäudeEintragen(*f, 1, "Flst.Nr. 1", "120", "5", "500", "Wohnhaus");
  ZeileAnfuegen(*f);
  GebäudeEintragen(*f, 2, "Flst.Nr. 2", "35", "0", "40000", "Garage");
  ASSERT_EQ(f->GridGebühren2.TextMatrix(2, 4), "40.000");
  const Zeilen text = Text(Bestaetigen(*f));
  EXPECT_EQ(text.at(1).at(4), "281,50 €");
  EXPECT_EQ(text.at(2), (std::vector<std::string>{"Flst.Nr. 2\vGarage", "35", "0", "", ""}));
  EXPECT_EQ(ZellText(Getaggt("TARVO_Neben").at(0), 3, 3), "     563,00 €");
  EXPECT_GT(NeueFehler(), 0);
}

TEST_F(Kat2Abrechnung, ReopeningRestoresVariantRowsSharesAndFeesAsCharged) {
  auto f = Oeffnen2();
  f->Option32.UserClick();
  GebäudeEintragen(*f, 1, "Flst.Nr. 12/3", "120", "5", "500", "Wohnhaus");
  ZeileAnfuegen(*f);
  GebäudeEintragen(*f, 2, "Flst.Nr. 12/4", "35", "", "", "Garage");
  const Zeilen erster = Text(Bestaetigen(*f));
  EXPECT_EQ(erster.at(0).at(0), "Gebäudeaufnahme nach Nr. 3.2¶¶");
  // The fee of row 2 as charged, changed in the document: the form shows it, not a new one.
  word::Table t = Getaggt(frmKat2::Tag).at(0);
  word::Range betrag = t.Cell(3, 5).Range();
  betrag.MoveEnd(word::wdCharacter, -1);
  betrag.SetText("     99,00 €");

  auto g = Oeffnen2(1);
  EXPECT_TRUE(g->Option32.Value());
  EXPECT_FALSE(g->Option31.Value());
  ASSERT_EQ(g->GridGebühren2.Rows(), 2);
  const std::string zeile1[] = {"Flst.Nr. 12/3", "     120", "   5",
                                " 500",          "  140,75", "Wohnhaus"};
  const std::string zeile2[] = {"Flst.Nr. 12/4", "      35", " 0", "1000", "   99,00", "Garage"};
  for (std::int32_t s = 1; s <= 6; ++s) {
    EXPECT_EQ(g->GridGebühren2.TextMatrix(1, s), zeile1[s - 1]) << s;
    EXPECT_EQ(g->GridGebühren2.TextMatrix(2, s), zeile2[s - 1]) << s;
  }
  EXPECT_EQ(g->GridGebühren2.RowHeight(2), 300);

  // Confirmed without input, the statement is written again in place, cell for cell.
  const Zeilen vorher = Text(Getaggt(frmKat2::Tag).at(0));
  const Zeilen nachher = Text(Bestaetigen(*g));
  EXPECT_EQ(nachher, vorher);
  EXPECT_EQ(Getaggt("TARVO_Neben").size(), 1u);
  EXPECT_EQ(dokument_->Tables().Count(), 3);  // statement, incidental costs, totals
  EXPECT_EQ(NeueFehler(), 0);
}

TEST_F(Kat2Abrechnung, ReopeningKeepsAShareAboveAThousandAndARowThatChargedNothing) {
  auto f = Oeffnen2();
  GebäudeEintragen(*f, 1, "Flst.Nr. 1", "120", "5", "1500", "Wohnhaus");
  ZeileAnfuegen(*f);
  GebäudeEintragen(*f, 2, "Flst.Nr. 2", "300", "429", "", "Halle");
  const Zeilen erster = Text(Bestaetigen(*f));
  EXPECT_EQ(erster.at(1).at(0), "Flst.Nr. 1\vWohnhaus\vIhr Anteil beträgt 1.500/1000");
  EXPECT_EQ(erster.at(1).at(4), "844,50 €");

  auto g = Oeffnen2(1);
  EXPECT_EQ(g->GridGebühren2.TextMatrix(1, 4), "1.500");
  EXPECT_EQ(g->GridGebühren2.TextMatrix(1, 5), "  563,00");
  EXPECT_EQ(g->GridGebühren2.TextMatrix(2, 5), "");  // still nothing to charge
  EXPECT_EQ(Text(Bestaetigen(*g)), erster);
}

TEST_F(Kat2Abrechnung, WithSeveralStatementsTheChosenOneIsReplacedInPlace) {
  for (const char* fläche : {"40", "400"}) {
    auto f = Oeffnen2();
    GebäudeEintragen(*f, 1, "", fläche, "0");
    f->CommandEnde.UserPress();
  }
  ASSERT_EQ(Getaggt(frmKat2::Tag).size(), 2u);
  const Zeilen erste = Text(Getaggt(frmKat2::Tag).at(0));
  const std::int32_t start = Getaggt(frmKat2::Tag).at(1).Range().Start();

  auto g = Oeffnen2(2);  // the choice dialog lists both; the user takes the second
  EXPECT_EQ(g->GridGebühren2.TextMatrix(1, 2), "     400");
  EXPECT_EQ(g->GridGebühren2.TextMatrix(1, 5), "  562,00");
  g->GridGebühren2.UserEditCell(1, 3, "4");
  g->CommandEnde.UserPress();
  const auto tabellen = Getaggt(frmKat2::Tag);
  ASSERT_EQ(tabellen.size(), 2u);
  EXPECT_EQ(Text(tabellen.at(0)), erste);
  EXPECT_EQ(tabellen.at(1).Range().Start(), start);
  EXPECT_EQ(Text(tabellen.at(1)).at(1).at(4), "639,00 €");  // 562 + 77
}

// Letters whose "lumoStart" marker stands at the start, in the middle or at the end of a
// paragraph: the statement goes in before the marked text, and no word of the letter is lost.
TEST_F(Kat2Abrechnung, TheStatementGoesToTheMarkerWhereverItStands) {
  struct Fall {
    const char* name;
    const char* absatz;
    const char* wort;
  } fälle[] = {{"Anfang", "Zusammenfassung der Kosten", "Zusammenfassung"},
               {"Mitte", "Die Zusammenfassung folgt", "Zusammenfassung"},
               {"Ende", "Es folgt die Zusammenfassung", "Zusammenfassung"}};
  for (const Fall& fall : fälle) {
    SCOPED_TRACE(fall.name);
    dokument_ = word::Document::New();
    const std::string text = std::string("Sehr geehrte Damen und Herren,\r") + fall.absatz +
                             "\rMit freundlichen Grüßen\r";
    dokument_->Range(0, 0).InsertAfter(text);
    const auto anfang = static_cast<std::int32_t>(text.find(fall.wort));
    dokument_->Comments().Add(
        dokument_->Range(anfang, anfang + static_cast<std::int32_t>(std::string(fall.wort).size())),
        "lumoStart");
    Status().Doc = dokument_;
    Status().WordApp = dokument_->Application();
    auto f = Oeffnen2();
    const word::Table t = Bestaetigen(*f);
    const std::string danach = dokument_->Content().Text();
    // Every word of the letter is still there, in order, and the marker stays on its word.
    std::size_t stelle = 0;
    for (const char* wort : {"Sehr", "Herren,", fall.absatz, "Grüßen"}) {
      std::string suchen = wort;
      if (suchen == fall.absatz) suchen = suchen.substr(suchen.rfind(' ') + 1);
      const std::size_t gefunden = danach.find(suchen, stelle);
      ASSERT_NE(gefunden, std::string::npos) << suchen << "\n" << danach;
      stelle = gefunden;
    }
    EXPECT_EQ(KommentarText(ErsterMarker("lumoStart").value()), "lumoStart");
    EXPECT_EQ(ErsterMarker("lumoStart")->Scope().Text(), fall.wort);
    EXPECT_LT(t.Range().End(), ErsterMarker("lumoStart")->Scope().Start());
    EXPECT_GT(t.Range().Start(), static_cast<std::int32_t>(std::string("Sehr geehrte").size()));
  }
}

}  // namespace
}  // namespace tarvo::test
