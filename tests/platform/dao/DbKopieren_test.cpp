// tarvo db-kopieren: an office moves its job database to the server and back, and nothing is
// lost, changed or half copied.
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
  std::string aus, fehler;
};

Lauf Kopieren(const test::TestOrdner& ordner, const std::string& quelle, const std::string& ziel) {
  const std::string aus = ordner.Datei("stdout.txt"), fehler = ordner.Datei("stderr.txt");
  const std::string befehl = std::string("'") + TARVO_EXE + "' db-kopieren '" + quelle + "' '" +
                             ziel + "' >'" + aus + "' 2>'" + fehler + "'";
  Lauf lauf;
  const int roh = std::system(befehl.c_str());
  lauf.status = WIFEXITED(roh) ? WEXITSTATUS(roh) : -1;
  std::stringstream a, f;
  a << std::ifstream(aus).rdbuf();
  f << std::ifstream(fehler).rdbuf();
  lauf.aus = a.str();
  lauf.fehler = f.str();
  return lauf;
}

// Every row of the job tables as text, Null as "NULL", in key order.
std::string Inhalt(const std::string& datenbank) {
  auto db = Workspace().OpenDatabase(datenbank);
  std::string text;
  for (const char* tabelle : {"TempDoc", "Rechnung", "Termine", "Version"}) {
    text += std::string(tabelle) + ":\n";
    auto rs = db->OpenRecordset(std::string("SELECT * FROM ") + tabelle + " ORDER BY 1");
    for (; !rs->EOF(); rs->MoveNext()) {
      for (std::int16_t i = 0; i < rs->FieldCount(); ++i) {
        const Variant wert = rs->Fields(i).Value();
        text += rs->Fields(i).Name() + "=" + (wert.IstNull() ? "NULL" : CStr(wert)) + " ";
      }
      text += "\n";
    }
  }
  return text;
}

class DbKopieren : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string warum;
    if (!test::PgBereit(warum)) GTEST_SKIP() << warum;
  }
};

TEST_F(DbKopieren, MovesTheDatabaseToTheServerAndBackUnchanged) {
  test::Testdatenbank quelle(test::Maschine::SQLite);
  Workspace()
      .OpenDatabase(quelle.Name())
      ->Execute(
          "INSERT INTO TempDoc (ID_Benutzer, MeßtruppZusammenfassen, AbschlagAbsolut) "
          "VALUES (2, 1, 1234.56);"
          "INSERT INTO Rechnung (ID_Rechnungsnummer, Rechnungsnummer, ID_Auftragsnummer, Brutto) "
          "VALUES (2, 'Müller & Söhne ''Straße''', 1, 119000);"
          "INSERT INTO Termine (ID_Termin, ID_Rechnungsnummer, ID_Terminart, Datum) "
          "VALUES (2, 2, 8, '2026-02-28')");
  test::Testdatenbank server(test::Maschine::PostgreSQL, false);
  test::TestOrdner ordner;
  const std::string zurueck = test::NeueDatenbank(ordner, false, "zurueck.db");

  Lauf hin = Kopieren(ordner, quelle.Name(), server.Name());
  ASSERT_EQ(hin.status, 0) << hin.fehler;
  EXPECT_EQ(hin.aus,
            "TempDoc: 2 Zeilen kopiert.\nRechnung: 2 Zeilen kopiert.\n"
            "Termine: 2 Zeilen kopiert.\nVersion: 1 Zeile kopiert.\n"
            "ERechnungVerkaeufer: 1 Zeile kopiert.\nERechnungKaeufer: 1 Zeile kopiert.\n");
  Lauf her = Kopieren(ordner, server.Name(), zurueck);
  ASSERT_EQ(her.status, 0) << her.fehler;
  EXPECT_EQ(Inhalt(server.Name()), Inhalt(quelle.Name()));
  EXPECT_EQ(Inhalt(zurueck), Inhalt(quelle.Name()));
}

TEST_F(DbKopieren, RefusesATargetWithRowsAndCopiesNothingWhenARowCannotGoIn) {
  test::Testdatenbank quelle(test::Maschine::SQLite);
  test::Testdatenbank voll(test::Maschine::PostgreSQL);
  test::TestOrdner ordner;
  Lauf lauf = Kopieren(ordner, quelle.Name(), voll.Name());
  EXPECT_EQ(lauf.status, 2);
  EXPECT_NE(lauf.fehler.find("enthält schon Zeilen (Tabelle »TempDoc«: 1)"), std::string::npos)
      << lauf.fehler;

  // A target whose table lacks a field: the rows before it are not kept either.
  test::Testdatenbank schmal(test::Maschine::PostgreSQL, false);
  Workspace().OpenDatabase(schmal.Name())->Execute("ALTER TABLE Termine DROP COLUMN Datum");
  lauf = Kopieren(ordner, quelle.Name(), schmal.Name());
  EXPECT_EQ(lauf.status, 2);
  EXPECT_NE(lauf.fehler.find("Es wurde nichts kopiert."), std::string::npos) << lauf.fehler;
  auto db = Workspace().OpenDatabase(schmal.Name());
  EXPECT_EQ(db->OpenRecordset("SELECT * FROM TempDoc")->RecordCount(), 0);
  EXPECT_EQ(db->OpenRecordset("SELECT * FROM Rechnung")->RecordCount(), 0);
}

}  // namespace
}  // namespace tarvo::dao
