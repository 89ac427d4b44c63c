// tarvo init-db DATEI [--beispiel]: creates a job database with the host's tables and, on
// request, one user's settings, one invoice, its appointment and the terms text. An existing
// file is never touched; a database left half-made by a failure is removed again.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "Befehle.h"
#include "errors/Laufzeitfehler.h"
#include "platform/dao/Database.h"
#include "platform/dao/JobSchema.h"
#include "platform/dao/Workspace.h"

namespace tarvo::cli {
namespace {

// Creates the database; true when it is complete. On failure the file made here is removed.
bool Anlegen(const std::string& datei, bool beispiel) {
  bool angelegt = false;
  try {
    dao::Workspace ws;
    auto db = ws.CreateDatabase(datei);
    angelegt = true;
    db->Execute(std::string(dao::JobDatabaseSchema()));
    if (beispiel) db->Execute(std::string(dao::JobDatabaseSample()));
    db->Close();
    return true;
  } catch (const Laufzeitfehler& fehler) {
    if (fehler.Nummer() == 3204)
      std::cerr << "Fehler: Die Datei »" << datei
                << "« gibt es schon; sie wird nicht überschrieben.\n";
    else
      std::cerr << "Fehler: Die Datenbank »" << datei
                << "« konnte nicht angelegt werden: " << fehler.Beschreibung() << " (Fehler "
                << fehler.Nummer() << ")\n";
  }
  if (angelegt) {
    std::error_code egal;
    std::filesystem::remove(datei, egal);
  }
  return false;
}

}  // namespace

void DatenbankBefehle(CLI::App& app, int& status) {
  CLI::App* initDb =
      app.add_subcommand("init-db",
                         "Eine neue Auftragsdatenbank (SQLite) mit den Tabellen TempDoc, Rechnung, "
                         "Termine und Version anlegen");
  auto datei = std::make_shared<std::string>();
  auto beispiel = std::make_shared<bool>(false);
  initDb
      ->add_option("DATEI", *datei,
                   "Pfad der neuen Datenbank; die Datei darf noch nicht "
                   "existieren")
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
    if (!Anlegen(*datei, *beispiel)) {
      status = kUnbrauchbar;
      return;
    }
    std::cout << "Datenbank »" << *datei << "« angelegt"
              << (*beispiel ? " (mit Beispieldaten).\n" : ".\n");
    status = kErfolg;
  });
}

}  // namespace tarvo::cli
