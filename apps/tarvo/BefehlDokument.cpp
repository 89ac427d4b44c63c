// tarvo roundtrip: loads a document and saves it unchanged, so an office can check that its
// invoice template survives. tarvo inspect: lists the tables, comments and shapes of a document.
// A file that cannot be read gives its German message and exit status 2; nothing is written.
#include <iostream>
#include <memory>
#include <string>

#include "Befehle.h"
#include "errors/Laufzeitfehler.h"
#include "platform/word/docx/Package.h"

namespace tarvo::cli {

namespace {

int Roundtrip(const std::string& ein, const std::string& aus) {
  try {
    word::docx::Package::Open(ein).Save(aus);
  } catch (const Laufzeitfehler& fehler) {
    std::cerr << "Fehler: " << fehler.Beschreibung() << "\n";
    return kUnbrauchbar;
  }
  return kErfolg;
}

}  // namespace

void DokumentBefehle(CLI::App& app, int& status) {
  struct Argumente {
    std::string ein;
    std::string aus;
  };
  auto argumente = std::make_shared<Argumente>();

  CLI::App* roundtrip = app.add_subcommand(
      "roundtrip", "Ein Dokument laden und unverändert unter neuem Namen speichern");
  roundtrip->add_option("EIN", argumente->ein, "Das zu ladende Dokument (.docx)")->required();
  roundtrip->add_option("AUS", argumente->aus, "Wohin die Kopie gespeichert wird")->required();
  roundtrip->callback([argumente, &status] { status = Roundtrip(argumente->ein, argumente->aus); });
}

}  // namespace tarvo::cli
