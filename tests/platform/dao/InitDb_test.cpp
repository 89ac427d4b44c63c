// tarvo init-db as the user runs it: a new job database, never an overwritten file.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "DaoTestDatei.h"

namespace tarvo::dao {
namespace {

struct Lauf {
  int status = -1;
  std::string fehler;
};

Lauf InitDb(const test::TestOrdner& ordner, const std::string& argumente) {
  std::string fehlerDatei = ordner.Datei("stderr.txt");
  std::string befehl = std::string("'") + TARVO_EXE + "' init-db " + argumente + " >/dev/null 2>'" +
                       fehlerDatei + "'";
  Lauf lauf;
  int roh = std::system(befehl.c_str());
  lauf.status = WIFEXITED(roh) ? WEXITSTATUS(roh) : -1;
  std::ifstream datei(fehlerDatei);
  std::stringstream text;
  text << datei.rdbuf();
  lauf.fehler = text.str();
  return lauf;
}

TEST(InitDb, CreatesTheTablesAndOnRequestTheExample) {
  test::TestOrdner ordner;
  ASSERT_EQ(InitDb(ordner, "'" + ordner.Datei("leer.db") + "'").status, 0);
  ASSERT_EQ(InitDb(ordner, "'" + ordner.Datei("beispiel.db") + "' --beispiel").status, 0);

  Workspace ws;
  auto leer = ws.OpenDatabase(ordner.Datei("leer.db"));
  for (const char* tabelle : {"TempDoc", "Rechnung", "Termine", "Version"}) {
    SCOPED_TRACE(tabelle);
    EXPECT_EQ(leer->OpenRecordset(tabelle)->RecordCount(), 0);
  }

  auto db = ws.OpenDatabase(ordner.Datei("beispiel.db"));
  auto tempDoc = db->OpenRecordset("SELECT * FROM TempDoc WHERE ID_Benutzer = 1");
  EXPECT_EQ(tempDoc->Fields("Mehrwertsteuersatz").Value(), Variant(std::int32_t{190}));
  EXPECT_EQ(tempDoc->Fields("AbschlagProzent").Value(), Variant(std::int32_t{100}));
  EXPECT_EQ(tempDoc->Fields("AbschlagAbsolut").Value(), Variant(0.0));
  EXPECT_EQ(tempDoc->Fields("Zahlungsziel").Value(), Variant(true));
  auto rechnung =
      db->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Auftragsnummer = 1 AND Rechnungsart = 1");
  ASSERT_EQ(rechnung->RecordCount(), 1);
  EXPECT_TRUE(rechnung->Updatable());
  auto termin = db->OpenRecordset(
      "SELECT ID_Terminart, ID_Rechnungsnummer, Datum From Termine WHERE (((ID_Terminart)=8) "
      "AND ((ID_Rechnungsnummer)=1));");
  EXPECT_EQ(termin->Fields("Datum").Value().Typ(), VarTyp::Date);
  auto version = db->OpenRecordset("Version", dbOpenDynaset);
  EXPECT_EQ(version->Fields("Zahlungsziel").Value(), Variant("Zahlbar bis <14> ohne Abzug"));
  EXPECT_EQ(version->Fields("BundZahlungsziel").Value(), Variant(std::int32_t{0}));
}

TEST(InitDb, RefusesAnExistingFileAndLeavesItAsItWas) {
  test::TestOrdner ordner;
  std::string datei = ordner.Datei("kunde.db");
  std::ofstream(datei) << "wichtig";
  Lauf lauf = InitDb(ordner, "'" + datei + "' --beispiel");
  EXPECT_EQ(lauf.status, 2);
  EXPECT_NE(lauf.fehler.find("nicht überschrieben"), std::string::npos) << lauf.fehler;
  std::ifstream gelesen(datei);
  std::string inhalt;
  std::getline(gelesen, inhalt);
  EXPECT_EQ(inhalt, "wichtig");
}

TEST(InitDb, AFolderThatDoesNotExistIsRefusedWithoutLeftovers) {
  test::TestOrdner ordner;
  Lauf lauf = InitDb(ordner, "'" + ordner.Datei("fehlt/neu.db") + "'");
  EXPECT_EQ(lauf.status, 2);
  EXPECT_NE(lauf.fehler.find("kein gültiger Pfad"), std::string::npos) << lauf.fehler;
  EXPECT_FALSE(std::filesystem::exists(ordner.Datei("fehlt")));
  EXPECT_EQ(InitDb(ordner, "").status, 2) << "the file name is required";
}

}  // namespace
}  // namespace tarvo::dao
