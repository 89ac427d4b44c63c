// Re-editing: frmKat4 opened on a document that holds its statement reads the item, the rows with
// their shares and fees, the marking counts and the marking share back, and "OK" replaces both
// tables in place.
#include "forms/kat4/Kat4Einlesen.h"

#include "Kat4Fixture.h"

namespace tarvo::test {
namespace {

using Kat4Einlesen = Kat4Test;

// A statement under Nr. 4.2 of two parcels, the second with a share, marking under both numbers
// with a share of a quarter, then "OK".
void ZweiParzellen(frmKat4& f) {
  f.Option42.UserClick();
  Kat4Test::Parzelle(f, 1, "Flst.Nr. 412/7", "4", "1");
  Kat4Test::Parzelle(f, 2, "Flst.Nr. 412/8", "2", "0", "333");
  Kat4Test::Tippen(f.mskneueAP, "4");
  Kat4Test::Tippen(f.mskGP2, "2");
  Kat4Test::Tippen(f.mskAnteil, "250");
  f.CommandEnde.UserPress();
}

TEST_F(Kat4Einlesen, ReopeningRestoresItemRowsSharesFeesAndMarking) {
  ZweiParzellen(*Oeffnen4());
  ASSERT_EQ(NeueFehler(), 0);

  auto f = Oeffnen4(1);
  EXPECT_TRUE(f->Option42.Value());
  EXPECT_FALSE(f->Option41.Value());
  ASSERT_EQ(f->GridGebühren6.Rows(), 2);
  const Zeilen erwartet = {
      {"Flst.Nr. 412/7", "   4", "   1", "1000", "  711,90"},  // 0,7 × (1094 − 77)
      {"Flst.Nr. 412/8", "   2", "   0", " 333", "  411,60"},  // the full fee, not the third
  };
  for (std::int32_t i = 1; i <= 2; ++i)
    for (std::int32_t s = 1; s <= 5; ++s) {
      SCOPED_TRACE(std::to_string(i) + "," + std::to_string(s));
      EXPECT_EQ(f->GridGebühren6.TextMatrix(i, s), erwartet[i - 1][s - 1]);
    }
  EXPECT_EQ(f->GridGebühren6.RowHeight(2), 300);
  EXPECT_EQ(f->mskneueAP.Text(), "4  ");  // the counts as they were written
  EXPECT_EQ(f->mskGP2.Text(), "2  ");
  EXPECT_EQ(f->mskAnteil.Text(), "250 ");  // as typed and written
  EXPECT_EQ(f->GridGebühren6.ColHeading(5), " Kosten [€]");
  EXPECT_EQ(NeueFehler(), 0);
}

TEST_F(Kat4Einlesen, ConfirmingWithoutInputWritesTheSameTablesInPlace) {
  ZweiParzellen(*Oeffnen4());
  const Zeilen abrechnung = Einzige("TARVO_03_4");
  const Zeilen abmarkung = Einzige("TARVO_03_4A");
  const std::int32_t tabellen = dokument_->Tables().Count();
  Oeffnen4(1)->CommandEnde.UserPress();
  EXPECT_EQ(Einzige("TARVO_03_4"), abrechnung);
  EXPECT_EQ(abmarkung[0][0],
            "Abmarkung von Grenzpunkten nach Nr. 6¶(Ihr Anteil beträgt 250 /1000)");
  EXPECT_EQ(Einzige("TARVO_03_4A"), abmarkung);
  EXPECT_EQ(dokument_->Tables().Count(), tabellen);
  // Still the statement, then its marking table, before the marked paragraph.
  const std::string text = dokument_->Content().Text();
  EXPECT_LT(text.find("Wir berechnen:"), text.find("Grenzwiederherstellung"));
  EXPECT_LT(text.find("Grenzwiederherstellung"), text.find("Abmarkung"));
  EXPECT_LT(text.find("Abmarkung"), text.find("Zusammenfassung"));
  EXPECT_EQ(NeueFehler(), 0);
}

// Shares as the grid shows them ("1.500" beyond the whole, " 250") come back as they stood in
// their notes, so confirming without input rewrites nothing.
TEST_F(Kat4Einlesen, SharesComeBackAsTheirNotesShowThem) {
  {
    auto f = Oeffnen4();
    Parzelle(*f, 1, "Flst.Nr. 1", "10", "0", "1500");
    Parzelle(*f, 2, "Flst.Nr. 2", "2", "0", "250");
    f->CommandEnde.UserPress();
  }
  const Zeilen vorher = Einzige("TARVO_03_4");
  ASSERT_EQ(vorher.at(1).at(0), "Flst.Nr. 1\vIhr Anteil beträgt1.500/1000");
  ASSERT_EQ(vorher.at(2).at(0), "Flst.Nr. 2\vIhr Anteil beträgt 250/1000");
  auto f = Oeffnen4(1);
  EXPECT_EQ(f->GridGebühren6.TextMatrix(1, 4), "1.500");
  EXPECT_EQ(f->GridGebühren6.TextMatrix(2, 4), " 250");
  f->CommandEnde.UserPress();
  EXPECT_EQ(Einzige("TARVO_03_4"), vorher);
  EXPECT_EQ(NeueFehler(), 0);
}

TEST_F(Kat4Einlesen, ChangedRowIsRecomputedAndReplacesTheStatement) {
  ZweiParzellen(*Oeffnen4());
  auto f = Oeffnen4(1);
  f->Option41.UserClick();
  f->GridGebühren6.UserEditCell(2, 4, "1000");
  f->CommandEnde.UserPress();
  const Zeilen text = Einzige("TARVO_03_4");
  ASSERT_EQ(text.size(), 3u);
  EXPECT_EQ(text[0][0], "Grenzwiederherstellung nach Nr. 4.1¶¶Flurstücke");
  EXPECT_EQ(text[0][4], "¶¶Gebühr");
  EXPECT_EQ(text[1][4], "1017,00 €");
  EXPECT_EQ(text[2], (std::vector<std::string>{"Flst.Nr. 412/8", "2", "0", "", "588,00 €"}));
}

TEST_F(Kat4Einlesen, MarkingOfNr622AloneGoesBackIntoItsField) {
  {
    auto f = Oeffnen4();
    Tippen(f->mskneueAP, "0");
    Tippen(f->mskGP2, "3");
    f->CommandEnde.UserPress();
  }
  auto f = Oeffnen4(1);
  EXPECT_EQ(f->mskGP2.Text(), "3  ");
  EXPECT_EQ(f->mskneueAP.Text(), "   ");
  EXPECT_EQ(f->mskAnteil.Text(), "1000");
}

TEST_F(Kat4Einlesen, MarkingCountChangedInTheDocumentComesBackAsItsNumber) {
  {
    auto f = Oeffnen4();
    Tippen(f->mskGP2, "3");
    f->CommandEnde.UserPress();
  }
  // Someone typed the count anew in the word processor.
  word::Range zelle = Getaggt("TARVO_03_4A").at(0).Cell(3, 2).Range();
  zelle.MoveEnd(word::wdCharacter, -1);
  zelle.SetText("3,0");
  auto f = Oeffnen4(1);
  EXPECT_EQ(f->mskGP2.Text(), " 3 ");
  f->CommandEnde.UserPress();
  EXPECT_EQ(Einzige("TARVO_03_4A")[2][4], "183,00 €");
}

TEST_F(Kat4Einlesen, BothCountsZeroRemoveTheOldMarkingTable) {
  {
    auto f = Oeffnen4();
    Tippen(f->mskneueAP, "4");
    f->CommandEnde.UserPress();
  }
  ASSERT_EQ(Getaggt("TARVO_03_4A").size(), 1u);
  auto f = Oeffnen4(1);
  Tippen(f->mskneueAP, "0");
  f->CommandEnde.UserPress();
  EXPECT_TRUE(Getaggt("TARVO_03_4A").empty());
  EXPECT_EQ(Getaggt("TARVO_03_4").size(), 1u);
}

TEST_F(Kat4Einlesen, MarkingTableOfTheNextStatementIsNotTaken) {
  Oeffnen4()->CommandEnde.UserPress();  // statement A, no marking
  {
    auto f = Oeffnen4(0);  // statement B with its marking table
    Tippen(f->mskGP2, "1");
    f->CommandEnde.UserPress();
  }
  auto f = Oeffnen4(1);  // re-open A
  EXPECT_EQ(f->mskGP2.Text(), "   ");
  f->CommandEnde.UserPress();
  ASSERT_EQ(Getaggt("TARVO_03_4A").size(), 1u);  // B keeps its marking table
}

TEST_F(Kat4Einlesen, CancelAfterReopeningLeavesTheDocumentAsItWas) {
  ZweiParzellen(*Oeffnen4());
  const std::string vorher = dokument_->MainXml();
  auto f = Oeffnen4(1);
  f->GridGebühren6.UserEditCell(1, 2, "9");
  f->CommandAbbruch.UserPress();
  EXPECT_EQ(dokument_->MainXml(), vorher);
}

}  // namespace
}  // namespace tarvo::test
