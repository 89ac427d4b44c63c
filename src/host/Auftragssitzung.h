// Auftragssitzung: one fee job as the host runs it, used alike by `tarvo run` and the desktop
// host window. It opens the invoice document and the job database, positions the invoice
// record, creates GO and lets its properties, calls Show with the category and the host window,
// hands out the opened form and the document, and on "OK" finishes the job by saving the
// document. The session owns the document, the workspace, the database and the invoice
// recordset for its lifetime; the form belongs to the form registry.
//
// Failure: a step that cannot be done (missing or damaged document, missing or locked database,
// an invoice that does not exist, a property GO refuses, a category without a form, a save that
// fails) throws Laufzeitfehler with a German description; nothing is saved then. Before each
// step the session names it through the step callback, so that a caller can say where a job
// stopped ("Datenbank »x«: …"). Errors that the form traps and logs are not errors here.
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
#include "host/GO.h"

namespace tarvo {
namespace controls {
class Form;
}  // namespace controls
namespace dao {
class Database;
class Recordset;
class Workspace;
}  // namespace dao
namespace word {
class Document;
}  // namespace word

// What the host knows of a job before the form opens.
struct Auftragsdaten {
  std::filesystem::path dokument;        // the invoice document, opened at once
  std::filesystem::path datenbank;       // the job database (an existing file)
  std::int32_t benutzer = 0;             // the user whose TempDoc row Show reads
  std::optional<std::int32_t> rechnung;  // the invoice record; none: no record is stored
  // GO's job properties ("Flurstücksnummer", "Fläche", …), let in this order.
  std::vector<std::pair<std::string, Variant>> eigenschaften;
};

class Auftragssitzung {
 public:
  // Called with a short German name of each step before it runs ("Dokument »x«").
  using Schritt = std::function<void(const std::string&)>;

  // Opens the document and the database and positions the invoice record. Throws
  // Laufzeitfehler: the document's (53, 75), the database's (3024, 3343, 3051, 3218, 3078) and
  // 5 for an invoice that does not exist.
  explicit Auftragssitzung(Auftragsdaten daten, Schritt schritt = {});
  ~Auftragssitzung();
  Auftragssitzung(const Auftragssitzung&) = delete;
  Auftragssitzung& operator=(const Auftragssitzung&) = delete;

  // Creates GO, lets the document, user, database, path, workspace and the job properties, and
  // calls Show with `kategorie` and the host window `fenster`. Returns the opened form. Throws
  // 5 for a "lumoStart" marker inside a table (new tables cannot go there), a property GO does
  // not have or a category without a fee form, and what a property's
  // let throws for a value it refuses (13, 6, 94). Message boxes and dialogs go through the
  // Bildschirm the caller has set.
  controls::Form& Zeigen(std::int16_t kategorie, std::int32_t fenster);

  // The form Zeigen opened (nullptr before); it stays loaded until its "OK" or "Abbruch".
  std::shared_ptr<controls::Form> Formular() const { return formular_; }
  const std::shared_ptr<word::Document>& Dokument() const { return dokument_; }
  const std::shared_ptr<dao::Database>& Datenbank() const { return datenbank_; }
  const Auftragsdaten& Daten() const { return daten_; }

  // Finishes a job whose form was closed with "OK": saves the document atomically to `ziel`.
  // Throws 75 naming the file when it cannot be saved, and 5 without saving when the document
  // holds fewer statements of the category than when the form opened (one would be lost); the
  // old file is then as it was.
  void Abschliessen(const std::filesystem::path& ziel);

  // The invoice record as it is stored now, re-read from the database; no value without an
  // invoice or when it has gone meanwhile.
  std::shared_ptr<dao::Recordset> Rechnungssatz();

 private:
  void Melden(const std::string& schritt) const;

  Auftragsdaten daten_;
  Schritt schritt_;
  std::shared_ptr<word::Document> dokument_;
  std::shared_ptr<dao::Workspace> arbeitsbereich_;
  std::shared_ptr<dao::Database> datenbank_;
  std::shared_ptr<dao::Recordset> rechnung_;
  std::shared_ptr<controls::Form> formular_;
  GO go_;
  // The tag of the category's statements and how many the document held when the form opened.
  std::string tag_;
  std::int32_t statementsVorher_ = 0;
};

}  // namespace tarvo
