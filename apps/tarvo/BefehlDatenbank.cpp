// tarvo init-db DATENBANK [--beispiel]: creates a job database with the host's tables and, on
// request, one user's settings, one invoice, its appointment and the terms text. The database
// is a new file, or an empty database on a PostgreSQL server named by its connection string.
// An existing file, or a server database that already holds tables, is never touched; the
// tables and rows go in as one transaction, and a file left half-made by a failure is removed.
// tarvo db-kopieren QUELLE ZIEL: copies the rows of the job tables (those of the schema) from
// one job database into another whose tables are empty, SQLite to PostgreSQL or back, in one
// transaction, and counts them on both sides afterwards.
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Befehle.h"
#include "errors/Laufzeitfehler.h"
#include "platform/dao/Database.h"
#include "platform/dao/JobSchema.h"
#include "platform/dao/Recordset.h"
#include "platform/dao/ServerAddress.h"
#include "platform/dao/Workspace.h"

namespace tarvo::cli {
namespace {

// The schema's and the example's statements as one transaction: their own BEGIN and COMMIT
// lines are left out.
std::string EineTransaktion(bool beispiel) {
  std::string text = std::string(dao::JobDatabaseSchema()) + "\n";
  if (beispiel) text += std::string(dao::JobDatabaseSample()) + "\n";
  std::istringstream zeilen(text);
  std::string zeile, ergebnis = "BEGIN;\n";
  while (std::getline(zeilen, zeile)) {
    const auto anfang = zeile.find_first_not_of(" \t\r");
    const std::string kern = anfang == std::string::npos ? "" : zeile.substr(anfang);
    if (kern.rfind("BEGIN;", 0) == 0 || kern.rfind("COMMIT;", 0) == 0) continue;
    ergebnis += zeile + "\n";
  }
  return ergebnis + "COMMIT;\n";
}

// Creates the database; true when it is complete. On failure a file made here is removed.
bool Anlegen(const std::string& datenbank, const std::string& gezeigt, bool beispiel) {
  const bool server = dao::IsServerAddress(datenbank);
  bool angelegt = false;
  try {
    dao::Workspace ws;
    auto db = ws.CreateDatabase(datenbank);
    angelegt = true;
    db->Execute(EineTransaktion(beispiel));
    db->Close();
    return true;
  } catch (const Laufzeitfehler& fehler) {
    if (fehler.Nummer() == 3204 && server)
      std::cerr << "Fehler: Die Datenbank »" << gezeigt
                << "« enthält schon Tabellen; sie wird nicht verändert.\n";
    else if (fehler.Nummer() == 3204)
      std::cerr << "Fehler: Die Datei »" << gezeigt
                << "« gibt es schon; sie wird nicht überschrieben.\n";
    else
      std::cerr << "Fehler: Die Datenbank »" << gezeigt
                << "« konnte nicht angelegt werden: " << fehler.Beschreibung() << " (Fehler "
                << fehler.Nummer() << ")\n";
  }
  if (angelegt && !server) {
    std::error_code egal;
    std::filesystem::remove(datenbank, egal);
  }
  return false;
}

// The tables the schema creates, in its order (tables added to the schema come along).
std::vector<std::string> Schematabellen() {
  std::vector<std::string> tabellen;
  std::istringstream zeilen{std::string(dao::JobDatabaseSchema())};
  std::string zeile;
  while (std::getline(zeilen, zeile)) {
    std::istringstream woerter(zeile);
    std::string create, table, name;
    woerter >> create >> table >> name;
    if (create == "CREATE" && table == "TABLE" && !name.empty()) {
      if (name == "IF") woerter >> name >> name >> name;  // IF NOT EXISTS name
      tabellen.push_back(name.substr(0, name.find('(')));
    }
  }
  return tabellen;
}

std::int32_t Zeilen(dao::Database& db, const std::string& tabelle) {
  return CLng(db.OpenRecordset("SELECT count(*) FROM " + tabelle)->Fields(std::int16_t{0}).Value());
}

// Copies every job table; true when all rows arrived. Says what went wrong otherwise.
bool Kopieren(const std::string& quelle, const std::string& ziel) {
  const std::string von = dao::WithoutPassword(quelle), nach = dao::WithoutPassword(ziel);
  const std::vector<std::string> tabellen = Schematabellen();
  std::string schritt = "Datenbank »" + von + "«";
  try {
    dao::Workspace ws;
    auto aus = ws.OpenDatabase(quelle);
    schritt = "Datenbank »" + nach + "«";
    auto ein = ws.OpenDatabase(ziel);
    for (const std::string& tabelle : tabellen) {
      schritt = "Tabelle »" + tabelle + "« in »" + nach + "«";
      if (const std::int32_t schon = Zeilen(*ein, tabelle); schon > 0) {
        std::cerr << "Fehler: Die Zieldatenbank »" << nach << "« enthält schon Zeilen (Tabelle »"
                  << tabelle << "«: " << schon << "); es wurde nichts kopiert.\n";
        return false;
      }
    }
    ein->BeginTrans();
    for (const std::string& tabelle : tabellen) {
      schritt = "Tabelle »" + tabelle + "«";
      auto zeilen = aus->OpenRecordset("SELECT * FROM " + tabelle, dao::dbOpenSnapshot);
      auto neu = ein->OpenRecordset("SELECT * FROM " + tabelle + " WHERE 1 = 0");
      for (; !zeilen->EOF(); zeilen->MoveNext()) {
        neu->AddNew();
        for (std::int16_t i = 0; i < zeilen->FieldCount(); ++i) {
          dao::Field feld = zeilen->Fields(i);
          neu->Fields(feld.Name()) = feld.Value();
        }
        neu->Update();
      }
    }
    schritt = "Datenbank »" + nach + "«";
    ein->CommitTrans();
    bool gleich = true;
    for (const std::string& tabelle : tabellen) {
      const std::int32_t dort = Zeilen(*aus, tabelle), hier = Zeilen(*ein, tabelle);
      std::cout << tabelle << ": " << hier << (hier == 1 ? " Zeile" : " Zeilen") << " kopiert"
                << (dort == hier ? "" : " (in der Quelle " + std::to_string(dort) + ")") << ".\n";
      gleich = gleich && dort == hier;
    }
    if (!gleich) std::cerr << "Fehler: In »" << nach << "« kamen nicht alle Zeilen an.\n";
    return gleich;
  } catch (const Laufzeitfehler& fehler) {
    std::cerr << "Fehler: " << schritt << ": " << fehler.Beschreibung() << " (Fehler "
              << fehler.Nummer() << ")\nEs wurde nichts kopiert.\n";
  }
  return false;
}

}  // namespace

void DatenbankBefehle(CLI::App& app, int& status) {
  CLI::App* initDb = app.add_subcommand(
      "init-db",
      "Eine neue Auftragsdatenbank mit den Tabellen TempDoc, Rechnung, Termine und Version "
      "anlegen: eine SQLite-Datei oder, mit einer Adresse postgresql://…, in einer leeren "
      "Datenbank auf dem PostgreSQL-Server");
  auto datei = std::make_shared<std::string>();
  auto beispiel = std::make_shared<bool>(false);
  initDb
      ->add_option("DATENBANK", *datei,
                   "Pfad der neuen Datenbankdatei (die Datei darf noch nicht existieren) oder "
                   "Verbindungsadresse einer leeren Serverdatenbank "
                   "(postgresql://benutzer@rechner/datenbank)")
      ->required();
  initDb->add_flag("--beispiel", *beispiel,
                   "Beispieldaten eintragen: Benutzer 1 (19 % MwSt., kein Abschlag, "
                   "Zahlungsziel), Rechnung 1 zu Auftrag 1 mit Termin der Art 8 und den "
                   "Zahlungsbedingungen");
  auto ergaenzen = std::make_shared<bool>(false);
  initDb->add_flag("--ergaenzen", *ergaenzen,
                   "Einer bestehenden Datenbank die Stammdaten-Tabellen der E-Rechnung hinzufügen");
  initDb->callback([datei, beispiel, ergaenzen, &status] {
    if (*ergaenzen) return void(status = StammdatenTabellenErgaenzen(*datei));
    const std::string gezeigt = dao::WithoutPassword(*datei);
    if (!Anlegen(*datei, gezeigt, *beispiel)) {
      status = kUnbrauchbar;
      return;
    }
    std::cout << "Datenbank »" << gezeigt << "« angelegt"
              << (*beispiel ? " (mit Beispieldaten).\n" : ".\n");
    status = kErfolg;
  });

  CLI::App* kopieren = app.add_subcommand(
      "db-kopieren",
      "Die Zeilen der Auftragstabellen aus einer Auftragsdatenbank in eine andere kopieren "
      "(SQLite-Datei oder PostgreSQL-Server, in beide Richtungen), in einer Transaktion");
  auto quelle = std::make_shared<std::string>();
  auto ziel = std::make_shared<std::string>();
  kopieren->add_option("QUELLE", *quelle, "Die Datenbank, aus der kopiert wird")->required();
  kopieren
      ->add_option("ZIEL", *ziel,
                   "Die Datenbank, in die kopiert wird; ihre Tabellen (tarvo init-db) müssen "
                   "leer sein")
      ->required();
  kopieren->callback(
      [quelle, ziel, &status] { status = Kopieren(*quelle, *ziel) ? kErfolg : kUnbrauchbar; });
}

}  // namespace tarvo::cli
