// tarvo init-db DATENBANK [--beispiel]: creates a job database with the host's tables and, on
// request, one user's settings, one invoice, its appointment and the terms text. The database
// is a new file, or an empty database on a PostgreSQL server named by its connection string.
// An existing file, or a server database that already holds tables, is never touched; the
// tables and rows go in as one transaction, and a file left half-made by a failure is removed.
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "Befehle.h"
#include "errors/Laufzeitfehler.h"
#include "platform/dao/Database.h"
#include "platform/dao/JobSchema.h"
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
  initDb->callback([datei, beispiel, &status] {
    const std::string gezeigt = dao::WithoutPassword(*datei);
    if (!Anlegen(*datei, gezeigt, *beispiel)) {
      status = kUnbrauchbar;
      return;
    }
    std::cout << "Datenbank »" << gezeigt << "« angelegt"
              << (*beispiel ? " (mit Beispieldaten).\n" : ".\n");
    status = kErfolg;
  });
}

}  // namespace tarvo::cli
