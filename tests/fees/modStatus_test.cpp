#include "fees/modStatus.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "errors/Falle.h"

namespace tarvo {
namespace {

void ExpectLeer(const JobStatus& s) {
  EXPECT_EQ(s.Flurstücksnummer, "");
  EXPECT_EQ(s.Fläche, 0);
  EXPECT_EQ(s.Bodenwert, 0);
  EXPECT_EQ(s.Lage, "");
  EXPECT_EQ(s.Baukosten, 0);
  EXPECT_EQ(s.Achslänge, 0);
  EXPECT_EQ(s.Grenzlänge, 0);
  EXPECT_EQ(s.Flurstücke, 0);
  EXPECT_EQ(s.AnzahlGrenzpunkte, 0);
  EXPECT_EQ(s.Doc, nullptr);
  EXPECT_EQ(s.WordApp, nullptr);
  EXPECT_EQ(s.ID_Benutzer, 0);
  EXPECT_EQ(s.NeueAbfrage, nullptr);
  EXPECT_EQ(s.DatenbankPfad, "");
  EXPECT_EQ(s.LumoWorkspace, nullptr);
  EXPECT_EQ(s.Rechnung, nullptr);
  EXPECT_EQ(s.hWndMDI, 0);
  EXPECT_EQ(s.ID_Auftragsnummer, 0);
  EXPECT_FALSE(s.MeßtruppZusammenfassen);
  EXPECT_EQ(s.ID_Lieferschein, 0);
  EXPECT_EQ(s.AbschlagAbsolut, 0);
  EXPECT_EQ(s.AbschlagProzent, 0);
  EXPECT_FALSE(s.Zahlungsziel);
  EXPECT_EQ(s.Mehrwertsteuersatz, 0);
  EXPECT_EQ(s.Preisgruppe1 | s.Preisgruppe2 | s.Preisgruppe3 | s.Preisgruppe4, 0);
  EXPECT_EQ(s.Mehrwertsteuer, 0);
  EXPECT_EQ(s.MwStErmäßigt, 0);
  EXPECT_EQ(s.Rabatt, 0);
  EXPECT_EQ(s.Fehler.Funktionsname, "");
  EXPECT_EQ(s.Fehler.strNr, "");
  EXPECT_EQ(s.Fehler.Hinweis, 0);
}

// The state of a fresh process: the check runs in a re-executed copy of this test program,
// before any other test has touched the state.
TEST(modStatus, StartsEmptyInAFreshProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ExpectLeer(Status());
        std::exit(::testing::Test::HasFailure() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(modStatus, ZuruecksetzenEmptiesEverythingTheErrorRecordIncluded) {
  Status().Flurstücksnummer = "123/4";
  Status().Achslänge = 7;
  Status().Zahlungsziel = true;
  Status().Mehrwertsteuersatz = 16;
  Falle falle("modStatus", "Test");
  falle([] { throw Laufzeitfehler(fehlernummer::Ueberlauf); });
  ASSERT_EQ(Status().Fehler.strNr, "6");
  Status().Zuruecksetzen();
  ExpectLeer(Status());
  EXPECT_EQ(LetzterFehler().Funktionsname, "");
}

TEST(modStatus, ErrorRecordIsTheReportersRecord) {
  Status().Zuruecksetzen();
  Falle falle("Rechnung", "Show");
  falle([] { throw Laufzeitfehler(fehlernummer::KeinAktuellerDatensatz); });
  EXPECT_EQ(&Status().Fehler, &LetzterFehler());
  EXPECT_EQ(Status().Fehler.Funktionsname, "RechnungShow");
  EXPECT_EQ(Status().Fehler.strNr, "3021");
  Status().Zuruecksetzen();
}

}  // namespace
}  // namespace tarvo
