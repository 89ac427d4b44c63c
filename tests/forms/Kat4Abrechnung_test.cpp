// The restoration statement and the boundary marking table as "OK" writes them, checked as the
// tables a surveyor reads: every cell's text, column 5 the amount charged, column 4 the full fee
// where a share applies.
#include "forms/kat4/Kat4Abrechnung.h"

#include "Kat4Fixture.h"
#include "document/Dokumenthilfen.h"

namespace tarvo::test {
namespace {

using Kat4Abrechnung = Kat4Test;

const std::vector<std::string> kKopfOhneAnteil = {"Grenzwiederherstellung nach Nr. 4.1¶¶Flurstücke",
                                                  "¶¶Grenzpunkte", "¶¶ermäßigt", "", "¶¶Gebühr"};

TEST_F(Kat4Abrechnung, FreshFormGivesTwoRowsAtTheMarker) {
  auto f = Oeffnen4();
  f->CommandEnde.UserPress();
  EXPECT_FALSE(f->Loaded());
  const Zeilen erwartet = {kKopfOhneAnteil, {"Flst.Nr. 12/3", "4", "0", "", "1094,00 €"}};
  EXPECT_EQ(Einzige("TARVO_03_4"), erwartet);
  EXPECT_TRUE(Getaggt("TARVO_03_4A").empty());  // no boundary points marked
  EXPECT_EQ(Getaggt("TARVO_Neben").size(), 1u);
  const std::string text = dokument_->Content().Text();
  EXPECT_LT(text.find("Wir berechnen:"), text.find("Grenzwiederherstellung"));
  EXPECT_LT(text.find("Grenzwiederherstellung"), text.find("Zusammenfassung"));
  EXPECT_EQ(NeueFehler(), 0);
}

TEST_F(Kat4Abrechnung, ShareRowCarriesItsNoteAndTheHeadingsNameTheShare) {
  auto f = Oeffnen4();
  Parzelle(*f, 1, "Flst.Nr. 1", "4", "0");
  Parzelle(*f, 2, "Flst.Nr. 2", "2", "2", "500");
  f->CommandEnde.UserPress();
  const Zeilen erwartet = {
      {"Grenzwiederherstellung nach Nr. 4.1¶¶Flurstücke", "¶¶Grenzpunkte", "¶¶ermäßigt", "¶¶Gebühr",
       "¶¶Ihr Anteil"},
      {"Flst.Nr. 1", "4", "0", "", "1094,00 €"},
      {"Flst.Nr. 2\vIhr Anteil beträgt 500/1000", "2", "2", "511,00 €", "255,50 €"},
  };
  const word::Table t = Getaggt("TARVO_03_4").at(0);
  EXPECT_EQ(Text(t), erwartet);
  // The part stands right-aligned in eight characters, the euro sign after it.
  EXPECT_EQ(ZellText(t, 3, 5), "  255,50 €");
  EXPECT_EQ(ZellText(t, 2, 2), "   4");
  // The note is two points smaller than the parcel text; the title and headings are bold.
  const word::Range zelle = t.Cell(3, 1).Range();
  const float größe = dokument_->Range(zelle.Start(), zelle.Start() + 5).Font().Size();
  const std::int32_t notiz = zelle.Start() + 11;  // after "Flst.Nr. 2" and the line break
  EXPECT_FLOAT_EQ(dokument_->Range(notiz, notiz + 5).Font().Size(), größe - 2);
  EXPECT_EQ(t.Cell(1, 1).Range().Font().Bold(), word::wdTrue);
  EXPECT_EQ(t.Cell(1, 5).Range().Font().Bold(), word::wdTrue);
  EXPECT_EQ(t.Cell(1, 1).Range().Font().Underline(), word::wdFalse);
  EXPECT_EQ(NeueFehler(), 0);
}

// A share beyond 16 bits cannot be read: it is logged and the row charges nothing, as in
// category 2; no other row's share or the whole fee stands in for it.
TEST_F(Kat4Abrechnung, ARowWhoseShareCannotBeReadChargesNothing) {
  auto f = Oeffnen4();
  Parzelle(*f, 1, "Flst.Nr. 1", "4", "0", "500");
  Parzelle(*f, 2, "Flst.Nr. 2", "2", "0", "40000");
  ASSERT_EQ(f->GridGebühren6.TextMatrix(2, 4), "40.000");
  f->CommandEnde.UserPress();
  const Zeilen text = Einzige("TARVO_03_4");
  EXPECT_EQ(text.at(1).at(4), "547,00 €");
  EXPECT_EQ(text.at(2), (std::vector<std::string>{"Flst.Nr. 2", "2", "0", "", ""}));
  EXPECT_EQ(NeueFehler(), 1);
  EXPECT_EQ(LetzterFehler().strNr, "6");
}

TEST_F(Kat4Abrechnung, StatementUnderNr42NamesItInTheTitle) {
  auto f = Oeffnen4();
  f->Option42.UserClick();
  Parzelle(*f, 1, "Flst.Nr. 1", "1", "5");
  f->CommandEnde.UserPress();
  const Zeilen text = Einzige("TARVO_03_4");
  ASSERT_EQ(text.size(), 2u);
  EXPECT_EQ(text[0][0], "Grenzwiederherstellung nach Nr. 4.2¶¶Flurstücke");
  EXPECT_EQ(text[1][4], "-40,60 €");  // no minimum under 4.2
}

TEST_F(Kat4Abrechnung, SharesAreExactThirdsOrThousandths) {
  // The amount cells for a fee of 100 € (600 € for the half), straight into a table.
  auto f = Oeffnen4();
  word::Table t = dokument_->Tables().Add(dokument_->Range(0, 0), 6, 5);
  struct Fall {
    std::int16_t anteil;
    double gebühr;
    const char* spalte4;
    const char* spalte5;
  } fälle[] = {
      {333, 100, "100,00 €", "   33,33 €"}, {666, 100, "100,00 €", "   66,67 €"},
      {334, 100, "100,00 €", "   33,40 €"}, {500, 600, "600,00 €", "  300,00 €"},
      {1000, 100, "", "100,00 €"},          {250, 1234567, "1234567,00 €", "308641,75 €"},
  };
  std::int16_t zeile = 0;
  for (const Fall& fall : fälle) {
    SCOPED_TRACE(fall.anteil);
    ++zeile;
    f->GebührEintragen(zeile, fall.gebühr, t, fall.anteil);
    EXPECT_EQ(ZellText(t, zeile, 4), fall.spalte4);
    EXPECT_EQ(ZellText(t, zeile, 5), fall.spalte5);
  }
}

TEST_F(Kat4Abrechnung, MarkingOfNr622AloneIsTheThirdRow) {
  auto f = Oeffnen4();
  Tippen(f->mskGP2, "3");
  f->CommandEnde.UserPress();
  const Zeilen erwartet = {
      {"Abmarkung von Grenzpunkten nach Nr. 6", "", "", "", ""},
      {"", "Anzahl", "Gebühr je Punkt", "", "Gebühr"},
      {"Abgemarkte Grenzpunkte nach Nr. 6.22", "3", "61 €", "", "183,00 €"},
  };
  EXPECT_EQ(Einzige("TARVO_03_4A"), erwartet);
  // The marking table follows the statement, each before the marked paragraph.
  const auto tabellen = dokument_->Tables();
  ASSERT_EQ(tabellen.Count(), 4);  // with the incidental costs and the totals
  EXPECT_EQ(ErsterKommentar(tabellen.Item(1)), "TARVO_03_4");
  EXPECT_EQ(ErsterKommentar(tabellen.Item(2)), "TARVO_03_4A");
  const std::string text = dokument_->Content().Text();
  EXPECT_LT(text.find("Abmarkung von"), text.find("Zusammenfassung"));
  EXPECT_EQ(NeueFehler(), 0);
}

TEST_F(Kat4Abrechnung, MarkingShareOfAQuarterGoesIntoTheTitleAndTheAmounts) {
  auto f = Oeffnen4();
  Tippen(f->mskneueAP, "4");
  Tippen(f->mskGP2, "2");
  Tippen(f->mskAnteil, "250");
  f->CommandEnde.UserPress();
  const Zeilen erwartet = {
      {"Abmarkung von Grenzpunkten nach Nr. 6¶(Ihr Anteil beträgt 250 /1000)", "", "", "", ""},
      {"", "Anzahl", "Gebühr je Punkt", "Gebühr", "Ihr Anteil"},
      {"Abgemarkte Grenzpunkte nach Nr. 6.1", "4", "26 €", "104,00 €", "26,00 €"},
      {"Abgemarkte Grenzpunkte nach Nr. 6.22", "2", "61 €", "122,00 €", "30,50 €"},
  };
  const word::Table t = Getaggt("TARVO_03_4A").at(0);
  EXPECT_EQ(Text(t), erwartet);
  // The share line is not bold and two points smaller than the bold title.
  const word::Range titel = t.Cell(1, 1).Range();
  const float größe = dokument_->Range(titel.Start(), titel.Start() + 5).Font().Size();
  const std::int32_t zeile = titel.Start() + 38;  // after the title and its paragraph mark
  const word::Range anteil = dokument_->Range(zeile, zeile + 10);
  EXPECT_EQ(anteil.Text(), "(Ihr Antei");
  EXPECT_FLOAT_EQ(anteil.Font().Size(), größe - 2);
  EXPECT_EQ(anteil.Bold(), word::wdFalse);
  // The statement itself has no share: its headings stay single.
  EXPECT_EQ(Einzige("TARVO_03_4")[0], kKopfOhneAnteil);
}

TEST_F(Kat4Abrechnung, EmptyMarkingShareChargesTheWholeFee) {
  // Left open: an emptied share field would give the marking lines no amount at all. It is
  // taken as the whole fee, as a fresh form shows it.
  auto f = Oeffnen4();
  Tippen(f->mskneueAP, "4");
  Leeren(f->mskAnteil);
  ASSERT_EQ(f->mskAnteil.Text(), "    ");
  f->CommandEnde.UserPress();
  const Zeilen erwartet = {
      {"Abmarkung von Grenzpunkten nach Nr. 6", "", "", "", ""},
      {"", "Anzahl", "Gebühr je Punkt", "", "Gebühr"},
      {"Abgemarkte Grenzpunkte nach Nr. 6.1", "4", "26 €", "", "104,00 €"},
  };
  EXPECT_EQ(Einzige("TARVO_03_4A"), erwartet);
  EXPECT_EQ(NeueFehler(), 0);
}

TEST_F(Kat4Abrechnung, WithoutDocumentEveryStepIsLoggedAndTheFormStillCloses) {
  Status().Doc = nullptr;
  auto f = Oeffnen4();
  Tippen(f->mskneueAP, "4");
  f->CommandEnde.UserPress();
  EXPECT_FALSE(f->Loaded());
  EXPECT_GT(NeueFehler(), 0);
  EXPECT_EQ(dokument_->Tables().Count(), 0);
}

}  // namespace
}  // namespace tarvo::test
