// Re-editing: frmKat1 opened on a document that holds its statement reads every field back, and
// "OK" replaces the statement and its boundary marking table in place.
#include "forms/kat1/Kat1Einlesen.h"

#include "Kat1Fixture.h"

namespace tarvo::test {
namespace {

using Kat1Einlesen = Kat1Test;

// A statement of two parcels with every field set, then "OK".
void ZweiParzellen(frmKat1& f) {
  Kat1Test::ParzelleEintragen(f, 1, "Flst.Nr. 412/7", "II", "1250");
  Kat1Test::ZeileAnfuegen(f);
  Kat1Test::ParzelleEintragen(f, 2, "Flst.Nr. 412/8", "I", "480");
  Kat1Test::Tippen(f.mskAnzahl, "8");
  Kat1Test::Tippen(f.mskErmäßigt, "2");
  Kat1Test::Tippen(f.mskGP, "6");
  Kat1Test::Tippen(f.mskGP2, "1");
  Kat1Test::Tippen(f.mskAnteil, "500");
  Kat1Test::Tippen(f.MaskEdBoxErmäßigung, "7");
  f.CommandEnde.UserPress();
}

TEST(Kat1Zeichen, CountsCharactersNotBytes) {
  EXPECT_EQ(kat1::AbZeichen("Die Gebühr nach Gebührenteil b) ist um 9% ermäßigt", 40),
            "9% ermäßigt");
  EXPECT_EQ(kat1::AbZeichen("äb", 2), "b");
  EXPECT_EQ(kat1::AbZeichen("ab", 5), "");
}

TEST_F(Kat1Einlesen, ReopeningRestoresEveryField) {
  ZweiParzellen(*Oeffnen());
  ASSERT_EQ(NeueFehler(), 0);

  auto f = Oeffnen(1);
  ASSERT_EQ(f->GridGebühren1.Rows(), 2);
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 1), "Flst.Nr. 412/7");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 2), "II");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 3), "1.250");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 4), "  639,00");  // the full fee, not the share
  EXPECT_EQ(f->GridGebühren1.TextMatrix(2, 1), "Flst.Nr. 412/8");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(2, 2), "I");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(2, 3), " 480");
  EXPECT_EQ(f->GridGebühren1.TextMatrix(2, 4), "  409,00");
  // The share and the counts come back as they were typed and written, so "OK" rewrites the
  // same cells.
  EXPECT_EQ(f->mskAnteil.Text(), "500 ");
  EXPECT_EQ(f->mskAnzahl.Text(), "8  ");
  EXPECT_EQ(f->mskErmäßigt.Text(), "2  ");
  EXPECT_EQ(f->mskGP.Text(), "6  ");
  EXPECT_EQ(f->mskGP2.Text(), "1  ");
  EXPECT_EQ(f->CheckBoxEinsichtnahme.Value(), 1);
  EXPECT_EQ(f->MaskEdBoxErmäßigung.Text(), " 7");
  EXPECT_EQ(f->lblGP.Caption(), "1570 €");
  EXPECT_EQ(f->lblErm.Caption(), "-154 €");
  EXPECT_EQ(f->chk20.Value(), 0);
  EXPECT_EQ(NeueFehler(), 0);
}

TEST_F(Kat1Einlesen, OkTwiceReplacesTheStatementInPlace) {
  ZweiParzellen(*Oeffnen());
  const std::int32_t tabellenVorher = dokument_->Tables().Count();

  auto f = Oeffnen(1);
  f->GridGebühren1.UserEditCell(2, 3, "150");
  f->CommandEnde.UserPress();

  ASSERT_EQ(Getaggt("TARVO_03_1").size(), 1u);
  ASSERT_EQ(Getaggt("TARVO_03_1A").size(), 1u);
  EXPECT_EQ(Getaggt("TARVO_Neben").size(), 1u);
  EXPECT_EQ(dokument_->Tables().Count(), tabellenVorher);
  // Still the first table, before its boundary marking table, before the marker.
  EXPECT_EQ(dokument_->Tables().Item(1) == Getaggt("TARVO_03_1").at(0), true);
  EXPECT_LT(Getaggt("TARVO_03_1")[0].Range().Start(), Getaggt("TARVO_03_1A")[0].Range().Start());
  const Zeilen text = Text(Getaggt("TARVO_03_1").at(0));
  // The share field holds the re-read share as it was typed, so the title stays as it was.
  EXPECT_EQ(text[0][0],
            "Katastervermessung zum Zweck der Bildung von Flurstücken nach Nr. 2¶"
            "(Ihr Anteil beträgt 500 /1000)");
  // The edited parcel, with the share re-read from the title.
  EXPECT_EQ(text[7],
            (std::vector<std::string>{"Flst.Nr. 412/8", "I", "150", "256,00 €", "128,00 €"}));
}

TEST_F(Kat1Einlesen, BoundaryCountsOfNr622AloneGoBackIntoTheirField) {
  {
    auto f = Oeffnen();
    Tippen(f->mskGP2, "2");
    f->CommandEnde.UserPress();
  }
  auto f = Oeffnen(1);
  EXPECT_EQ(f->mskGP.Text(), "  0");
  EXPECT_EQ(f->mskGP2.Text(), "2  ");
}

TEST_F(Kat1Einlesen, BothCountsZeroRemoveTheOldBoundaryTable) {
  {
    auto f = Oeffnen();
    Tippen(f->mskGP, "4");
    f->CommandEnde.UserPress();
  }
  ASSERT_EQ(Getaggt("TARVO_03_1A").size(), 1u);
  auto f = Oeffnen(1);
  Tippen(f->mskGP, "0");
  f->CommandEnde.UserPress();
  EXPECT_TRUE(Getaggt("TARVO_03_1A").empty());
  EXPECT_EQ(Getaggt("TARVO_03_1").size(), 1u);
}

TEST_F(Kat1Einlesen, NewStatementBesideAnOldOneLeavesBoth) {
  ZweiParzellen(*Oeffnen());
  auto f = Oeffnen(0);
  EXPECT_EQ(f->GridGebühren1.Rows(), 1);
  EXPECT_EQ(f->GridGebühren1.TextMatrix(1, 1), "Flst.Nr. 12/3");
  f->CommandEnde.UserPress();
  EXPECT_EQ(Getaggt("TARVO_03_1").size(), 2u);
  EXPECT_EQ(Getaggt("TARVO_Neben").size(), 1u);
}

TEST_F(Kat1Einlesen, BoundaryTableOfTheNextStatementIsNotTaken) {
  {
    auto f = Oeffnen();  // statement A, no boundary marks
    f->CommandEnde.UserPress();
  }
  {
    auto f = Oeffnen(0);  // statement B with its boundary table
    Tippen(f->mskGP, "4");
    f->CommandEnde.UserPress();
  }
  ASSERT_EQ(Getaggt("TARVO_03_1").size(), 2u);
  ASSERT_EQ(Getaggt("TARVO_03_1A").size(), 1u);
  auto f = Oeffnen(1);  // re-open A
  EXPECT_EQ(f->mskGP.Text(), "  0");
  f->CommandEnde.UserPress();
  // B keeps its boundary table.
  EXPECT_EQ(Getaggt("TARVO_03_1").size(), 2u);
  ASSERT_EQ(Getaggt("TARVO_03_1A").size(), 1u);
  EXPECT_EQ(Text(Getaggt("TARVO_03_1A")[0])[2][1], "4");
}

TEST_F(Kat1Einlesen, Chk20IsTickedWhenTheMinimumWasNotApplied) {
  {
    auto f = Oeffnen();
    f->chk20.UserClick();
    f->CommandEnde.UserPress();  // 409 € of fees: 2 % = 8,18 €
  }
  EXPECT_EQ(Text(Getaggt("TARVO_Neben").at(0))[2][4], "8,18 €");
  auto f = Oeffnen(1);
  EXPECT_EQ(f->chk20.Value(), 1);
}

TEST_F(Kat1Einlesen, Chk20StaysOffWhenOnlyTheShareOfTheMinimumIsBelow20) {
  {
    auto f = Oeffnen();
    Tippen(f->mskAnteil, "500");
    f->CommandEnde.UserPress();  // minimum 20 €, the client's half 10 €
  }
  const Zeilen neben = Text(Getaggt("TARVO_Neben").at(0));
  EXPECT_EQ(neben[2][3], "20,00 €");
  EXPECT_EQ(neben[2][4], "10,00 €");
  auto f = Oeffnen(1);
  EXPECT_EQ(f->chk20.Value(), 0);
}

TEST_F(Kat1Einlesen, CancelAfterReopeningLeavesTheDocumentAsItWas) {
  ZweiParzellen(*Oeffnen());
  const std::string vorher = dokument_->MainXml();
  auto f = Oeffnen(1);
  f->GridGebühren1.UserEditCell(1, 3, "99");
  f->CommandAbbruch.UserPress();
  EXPECT_EQ(dokument_->MainXml(), vorher);
}

}  // namespace
}  // namespace tarvo::test
