// Auftragssitzung: one fee job as the host runs it, used alike by `tarvo run` and the desktop
// host window. It opens the invoice document and the job database, positions the invoice
// record, creates GO and lets its properties, calls Show with the category and the host window,
// hands out the opened form and the document, and on "OK" finishes the job by saving the
// document. The session owns the document, the workspace, the database and the invoice
// recordset for its lifetime; the form belongs to the form registry.
//
// A job is one unit: the document and the job database change together or not at all. The
// session holds the job's database changes (the invoice record the form's totals store) in one
// transaction, from opening until the new document is written and flushed beside its target;
// then it commits, then the new document is renamed into place. A session that ends without
// finishing, or whose finishing fails, undoes the database changes and leaves the document as
// it was. While it lives, the session holds the job lock of the document, of the output file and
// of the invoice (Auftragssperre), so two jobs on one of them never interleave.
//
// Failure: a step that cannot be done (missing or damaged document, missing or locked database,
// an invoice that does not exist or lacks a field, a property GO refuses, a category without a
// form, an output that is one of the job's inputs, a job lock that stays held, a record that
// cannot be stored, a save that fails) throws Laufzeitfehler with a German description; nothing
// is changed then. Before each step the session names it through the step callback, so that a
// caller can say where a job stopped ("Datenbank »x«: …"). Errors that the form traps and logs
// are not errors here, except a failed store of the invoice record.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/Variant.h"
#include "host/Auftragssperre.h"
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

// GO's job properties ("Flurstücksnummer" … "AnzahlGrenzpunkte") in the order of its interface,
// each with its let.
using Eigenschaftslet = void (GO::*)(const Variant&);
const std::vector<std::pair<std::string, Eigenschaftslet>>& Jobeigenschaften();

// What the host knows of a job before the form opens.
struct Auftragsdaten {
  std::filesystem::path dokument;        // the invoice document, opened at once
  std::filesystem::path datenbank;       // the job database (an existing file)
  std::int32_t benutzer = 0;             // the user whose TempDoc row Show reads
  std::optional<std::int32_t> rechnung;  // the invoice record; none: no record is stored
  // GO's job properties ("Flurstücksnummer", "Fläche", …), let in this order.
  std::vector<std::pair<std::string, Variant>> eigenschaften;
  // Where the finished job will be saved, when known already (locked from the start and checked
  // against the inputs); empty: over the document, or where Abschliessen says.
  std::filesystem::path ausgabe;
  // Further files the job reads (a job file): the output must not be one of them.
  std::vector<std::filesystem::path> eingaben;
  // How long the session waits for another job holding the document or the invoice.
  std::chrono::milliseconds warten{10000};
  // Work of the job's unit besides document and record (the e-invoice): called with the new
  // document, written and flushed, and the database before the commit; what it throws stops the
  // job with nothing changed. What it returns runs after the document's rename.
  std::function<std::function<void()>(const std::filesystem::path&, dao::Database&)> vorDemCommit;
};

class Auftragssitzung {
 public:
  // Called with a short German name of each step before it runs ("Dokument »x«").
  using Schritt = std::function<void(const std::string&)>;

  // Takes the job locks, opens the document and the database, positions the invoice record and
  // begins the job's transaction. Throws Laufzeitfehler: 3260 for a job lock still held after
  // `warten`, the document's (53, 75), the database's (3024, 3343, 3051, 3218, 3078), 5 for an
  // invoice that does not exist or lacks a field the totals store, and 5 for an output that is
  // the database or one of `eingaben`.
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

  // Finishes a job whose form was closed with "OK": writes the new document beside `ziel` and
  // flushes it, commits the job's database changes, then renames the new document over `ziel`.
  // Throws, with nothing changed: 5 for a `ziel` that is one of the job's inputs other than the
  // document or when the document holds fewer statements of the category than when the form
  // opened (one would be lost), 3260 for its job lock, 75 naming the file when it cannot be
  // written, and the database's error (3260 locked, 3265 field missing, …) when the record cannot
  // be stored. Only a rename that fails after the commit (the rarest of failures: the folder
  // changed meanwhile) leaves the record stored and the document old; it throws 75 saying so. A job
  // is finished once: a second call throws 3034 and saves nothing. A host that runs the next job on
  // the same document or invoice releases this session first (its locks go with it).
  void Abschliessen(const std::filesystem::path& ziel);

  // The invoice record as it is stored now, re-read from the database; no value without an
  // invoice or when it has gone meanwhile.
  std::shared_ptr<dao::Recordset> Rechnungssatz();

 private:
  void Melden(const std::string& schritt) const;
  void ZielPruefen(const std::filesystem::path& ziel) const;
  void RechnungPruefen() const;

  Auftragsdaten daten_;
  Schritt schritt_;
  Auftragssperre sperre_;
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
