// Auftragsfuehrung: the job as the host window holds it: the open invoice document and job
// database, the user and invoice record chosen in the panel, and the category forms opened on
// them. Opening replaces the job; a form is opened with the panel's job properties let into GO
// first. Saving writes the document atomically. Everything that cannot be done throws
// Laufzeitfehler with a German description (the window shows it); nothing is saved then.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/Variant.h"

namespace tarvo {
namespace controls {
class Form;
}
namespace dao {
class Database;
}
namespace word {
class Document;
}
}  // namespace tarvo

namespace tarvo::gui {

struct Rechnungseintrag {
  std::int32_t nummer = 0;
  std::string datum;
  std::int32_t art = 0;
};

class Auftragsfuehrung {
 public:
  Auftragsfuehrung();
  ~Auftragsfuehrung();

  // Opens document and database for `benutzer` and invoice `rechnung` (none: no record).
  void Oeffnen(const std::filesystem::path& dokument, const std::filesystem::path& datenbank,
               std::int32_t benutzer, std::optional<std::int32_t> rechnung);
  bool Offen() const { return sitzung_ != nullptr; }
  void Schliessen();

  // Lets the job properties (name, value: "Fläche" → 1250) into GO, then shows category form
  // `kategorie` as a child of host window `fenster`. Returns the form.
  controls::Form& FormularZeigen(std::int16_t kategorie, std::int32_t fenster,
                                 const std::vector<std::pair<std::string, Variant>>& eigenschaften);
  // Saves the document atomically to `ziel`.
  void Speichern(const std::filesystem::path& ziel);

  std::shared_ptr<word::Document> Dokument() const;
  std::shared_ptr<dao::Database> Datenbank() const;
  const std::filesystem::path& Dokumentpfad() const { return dokumentpfad_; }
  const std::filesystem::path& Datenbankpfad() const { return datenbankpfad_; }
  std::int32_t Benutzer() const { return benutzer_; }
  std::optional<std::int32_t> Rechnung() const { return rechnung_; }

  // The users of TempDoc and the invoices of Rechnung in the open database.
  std::vector<std::int32_t> Benutzerliste() const;
  std::vector<Rechnungseintrag> Rechnungen() const;
  // "Brutto 1.190,00 €, netto 1.000,00 €" of the invoice record as stored now; "" without one.
  std::string Rechnungsstand() const;

  // The job properties GO takes, in the order the panel shows them.
  static const std::vector<std::string>& Eigenschaftsnamen();

 private:
  struct Sitzung;
  std::unique_ptr<Sitzung> sitzung_;
  std::filesystem::path dokumentpfad_;
  std::filesystem::path datenbankpfad_;
  std::int32_t benutzer_ = 1;
  std::optional<std::int32_t> rechnung_;
};

// Creates a job database with the example rows at `datei` (refused when it exists: 3204).
void BeispieldatenbankAnlegen(const std::filesystem::path& datei);

}  // namespace tarvo::gui
