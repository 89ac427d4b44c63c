// One e-invoice from its inputs to the written file, shared by `tarvo erechnung` and a job's
// "erechnung": the master data (database, then the optional JSON file) checked for the format,
// the model built from the saved document and the database, the XML or the ZUGFeRD PDF written
// into a hidden temporary file beside the target. The caller renames it into place
// (Ausgabe::Festschreiben) when everything else of its work has succeeded; dropped before, the
// file is removed. Refusals come back as German messages; errors of the database and the
// document layers throw Laufzeitfehler.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "erechnung/Rechnungsmodell.h"
#include "erechnung/Stammdaten.h"
#include "platform/dao/Database.h"

namespace tarvo::erechnung {

struct Auftrag {
  std::filesystem::path dokument;  // the saved invoice document
  dao::Database* datenbank = nullptr;
  std::int32_t rechnung = 0;  // ID_Rechnungsnummer
  std::int32_t benutzer = 1;  // TempDoc row with the partial-payment settings
  Format format = Format::XRechnungCii;
  std::filesystem::path stammdaten;  // optional JSON file over the database's master data
};

// A written file waiting beside its target.
class Ausgabe {
 public:
  Ausgabe() = default;
  Ausgabe(std::filesystem::path temporaer, std::filesystem::path ziel)
      : temporaer_(std::move(temporaer)), ziel_(std::move(ziel)) {}
  Ausgabe(Ausgabe&& andere) noexcept;
  Ausgabe& operator=(Ausgabe&& andere) noexcept;
  ~Ausgabe();  // removes the temporary file unless it was renamed

  // Renames the file over the target; false (and the temporary file removed) when that fails.
  bool Festschreiben();
  const std::filesystem::path& Ziel() const { return ziel_; }

 private:
  std::filesystem::path temporaer_, ziel_;
};

struct Erzeugnis {
  std::vector<std::string> fehler;        // empty: written
  std::optional<Rechnungsmodell> modell;  // what was written
  Ausgabe ausgabe;
};

// Where the file goes by default: beside the document, "-xrechnung.xml", "-xrechnung-ubl.xml"
// or "-zugferd.pdf".
std::filesystem::path StandardAusgabe(const std::filesystem::path& dokument, Format format);

Erzeugnis ERechnungVorbereiten(const Auftrag& auftrag, const std::filesystem::path& ziel);

}  // namespace tarvo::erechnung
