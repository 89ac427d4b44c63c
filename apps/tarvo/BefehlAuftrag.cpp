// tarvo run AUFTRAG.json [--json] and tarvo demo [ORDNER]: the main job and the demonstration.
// Input that cannot be used ends the command with a German message naming what was unusable and
// exit status 2, nothing saved; a job that ran but logged errors ends with 3.
#include <iostream>

#include "Befehle.h"
#include "Demo.h"
#include "auftrag/AuftragBericht.h"
#include "auftrag/AuftragDatei.h"
#include "auftrag/AuftragLauf.h"
#include "auftrag/Kontext.h"
#include "errors/Laufzeitfehler.h"

namespace tarvo::cli {
namespace {

int Melden(const Laufzeitfehler& fehler) {
  std::cerr << "Fehler: ";
  if (!auftrag::Kontext().empty()) std::cerr << auftrag::Kontext() << ": ";
  std::cerr << fehler.Beschreibung() << "\nEs wurde nichts gespeichert.\n";
  return kUnbrauchbar;
}

int Ausfuehren(const std::string& datei, bool json) {
  try {
    const auftrag::Auftrag a = auftrag::AuftragLesen(std::filesystem::u8path(datei));
    const auftrag::Ergebnis ergebnis = auftrag::AuftragAusfuehren(a);
    if (json)
      std::cout << auftrag::BerichtJson(ergebnis).dump(2) << "\n";
    else
      std::cout << auftrag::BerichtText(ergebnis);
    return ergebnis.fehler == 0 ? kErfolg : kFehlerProtokolliert;
  } catch (const Laufzeitfehler& fehler) {
    return Melden(fehler);
  }
}

int Vorfuehren(const std::string& ordner) {
  try {
    return auftrag::DemoAusfuehren(std::filesystem::u8path(ordner), std::cout);
  } catch (const Laufzeitfehler& fehler) {
    return Melden(fehler);
  }
}

}  // namespace

void AuftragBefehle(CLI::App& app, int& status) {
  static std::string datei;
  static bool json = false;
  CLI::App* run = app.add_subcommand(
      "run", "Einen Gebührenauftrag ausführen: Formular füllen, »OK«, Rechnung speichern");
  run->add_option("AUFTRAG", datei, "Auftragsdatei (JSON)")->required();
  run->add_flag("--json", json, "Zusammenfassung als JSON ausgeben");
  run->callback([&status] { status = Ausfuehren(datei, json); });

  static std::string ordner = "demo";
  CLI::App* demo = app.add_subcommand(
      "demo", "Beispielrechnung erzeugen: Vorlage, Datenbank, Aufträge, Rechnung.docx (und .pdf)");
  demo->add_option("ORDNER", ordner, "Zielordner (Vorgabe: ./demo)");
  demo->callback([&status] { status = Vorfuehren(ordner); });
}

}  // namespace tarvo::cli
