// Auftragsfuehrung: the job as the host window holds it: the open invoice document and job
// database, the user and invoice record chosen, and the category forms opened on them. Opening
// replaces the job; it tries the job locks once and never waits (a refusal says who holds them,
// and the job can then be opened read-only). A form is opened with the panel's job properties
// let into GO first. The job is the session's desktop way: "OK" leaves the document and the
// invoice record pending (nothing locked in the database), Rückgängig takes an "OK" back, each
// "OK" leaves a recovery copy, and saving stores document and record together. Everything that
// cannot be done throws Laufzeitfehler with a German description (the window shows it);
// nothing is saved then.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
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
struct Wiederherstellungsstand;
}  // namespace tarvo

namespace tarvo::gui {

// One invoice record as the chooser lists it.
struct Rechnungseintrag {
  std::int32_t nummer = 0;
  std::int32_t auftrag = 0;  // ID_Auftragsnummer
  std::int32_t art = 0;      // Rechnungsart
  std::string datum;         // the invoice date (appointment of kind 8), "" without one
  double brutto = 0;         // in euro
};

class Auftragsfuehrung {
 public:
  Auftragsfuehrung();
  ~Auftragsfuehrung();

  // Opens document and database for `benutzer` and invoice `rechnung` (none: no record);
  // `schreibgeschuetzt`: to look only, without locks. Throws 3260 at once when another job
  // holds the document or the invoice (the message names who).
  void Oeffnen(const std::filesystem::path& dokument, const std::filesystem::path& datenbank,
               std::int32_t benutzer, std::optional<std::int32_t> rechnung,
               bool schreibgeschuetzt = false);
  bool Offen() const { return sitzung_ != nullptr; }
  bool Schreibgeschuetzt() const { return schreibgeschuetzt_; }
  // Ends the job; pending work stays in its recovery copy unless it was discarded.
  void Schliessen();
  // Where recovery copies go (default: beside the settings file).
  void Wiederherstellungsordner(std::filesystem::path ordner) { ordner_ = std::move(ordner); }
  const std::filesystem::path& Wiederherstellungsordner() const { return ordner_; }

  // Lets one job property into GO ("Fläche" → "1250"; Empty lets it empty). Throws what the
  // property's let throws for a value it refuses (13, 6), 5 for an unknown name.
  void EigenschaftSetzen(const std::string& name, const Variant& wert);
  // Lets the job properties (name, value: "Fläche" → 1250) into GO, then shows category form
  // `kategorie` as a child of host window `fenster`. Returns the form.
  controls::Form& FormularZeigen(std::int16_t kategorie, std::int32_t fenster,
                                 const std::vector<std::pair<std::string, Variant>>& eigenschaften);
  // Saves the document and the pending invoice record to `ziel` (see Auftragssitzung::
  // Abschliessen: 3197 when another workstation changed the record, unless `ueberschreiben`).
  void Speichern(const std::filesystem::path& ziel, bool ueberschreiben = false);
  // Pending "OK"s: whether there are any, taking the last back, giving all up, taking over a
  // crashed session's work.
  bool Geaendert() const;
  bool Rueckgaengig();
  void Verwerfen();
  void Wiederherstellen(const Wiederherstellungsstand& stand);
  // The error of the last "OK" that could not store the invoice record (taken back at once).
  std::optional<std::string> OkFehler() const;
  // Called after each "OK" the session has dealt with.
  void NachOk(std::function<void()> rueckruf);

  std::shared_ptr<word::Document> Dokument() const;
  std::shared_ptr<dao::Database> Datenbank() const;
  const std::filesystem::path& Dokumentpfad() const { return dokumentpfad_; }
  const std::filesystem::path& Datenbankpfad() const { return datenbankpfad_; }
  std::int32_t Benutzer() const { return benutzer_; }
  std::optional<std::int32_t> Rechnung() const { return rechnung_; }

  // The users of TempDoc and the invoices of Rechnung in the database at `datenbank`, read
  // without any lock. Throws the database's error.
  static std::vector<std::int32_t> Benutzerliste(const std::filesystem::path& datenbank);
  static std::vector<Rechnungseintrag> Rechnungen(const std::filesystem::path& datenbank);
  // "Rechnung 1: netto 1.000,00 €, brutto 1.190,00 €" of the invoice record as it will be
  // saved (pending) or is stored; "" without one.
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
  bool schreibgeschuetzt_ = false;
  std::filesystem::path ordner_;
  std::function<void()> nachOk_;
};

// Creates a job database with the example rows at `datei` (refused when it exists: 3204).
void BeispieldatenbankAnlegen(const std::filesystem::path& datei);

}  // namespace tarvo::gui
