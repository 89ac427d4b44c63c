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
// The desktop keeps a job open for a working day and works the other way (a recovery folder
// given in Auftragsdaten): no database lock is held while a person thinks. Each "OK" runs in a
// transaction of its own; the values the totals wrote into the invoice record (the pending
// record) are kept and the transaction is rolled back at once. Saving then opens one short
// transaction, checks that the record still holds what it held when the invoice was opened
// (3197 when another workstation changed it: never overwritten unasked), stores the pending
// values, writes and flushes the new document, commits and renames: document and record again
// change together or not at all, and a save that fails keeps everything pending for the next
// try. Every "OK" can be taken back (Rueckgaengig), and leaves a recovery copy (Wiederherstellung).
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
#include "host/Fremdaenderung.h"
#include "host/GO.h"
#include "host/Satzwerte.h"

namespace tarvo {
namespace controls {
class CommandButton;
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
  // The desktop's way (see above): the folder of the recovery entries. Empty: the run's way, one
  // transaction from opening to the save.
  std::filesystem::path wiederherstellung;
  // Opened to look only: no job locks, no form, no save.
  bool schreibgeschuetzt = false;
};

struct Wiederherstellungsstand;
class Wiederherstellung;

class Auftragssitzung {
 public:
  // The error of a save that would overwrite what another workstation stored meanwhile.
  static constexpr std::int32_t kAndererArbeitsplatz = 3197;

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

  // Checks the user's invoice settings (EinstellungenPruefen), creates GO, lets the document,
  // user, database, path, workspace and the job properties, and calls Show with `kategorie` and
  // the host window `fenster`. Returns the opened form. Throws 13 for a setting that would make
  // a plainly wrong invoice, 5 for a "lumoStart" marker inside a table (new tables cannot go
  // there), a property GO does not have or a category without a fee form, and what a
  // property's let throws for a value it refuses (13, 6, 94). Message boxes and dialogs go
  // through the Bildschirm the caller has set.
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
  //
  // The desktop's way saves as often as asked: each save stores the pending record in a short
  // transaction first and starts afresh from what it saved. It throws 3197 when the invoice
  // record no longer holds what it held when the invoice was opened, unless `ueberschreiben`;
  // after any failure everything stays pending and the save can be tried again.
  void Abschliessen(const std::filesystem::path& ziel, bool ueberschreiben = false);

  // The desktop's way: whether an "OK" waits to be saved, how many can be taken back, the
  // pending record (none without an invoice or before an "OK").
  bool Geaendert() const { return !schritte_.empty(); }
  std::size_t Schritte() const { return schritte_.size(); }
  const std::optional<Satzwerte>& AusstehenderSatz() const { return ausstehend_; }
  const Satzwerte& Grundstand() const { return grundstand_; }
  // The error that made the last "OK" fail to store the invoice record; that "OK" was taken
  // back at once (document and record stay in step).
  const std::optional<Laufzeitfehler>& OkFehler() const { return okFehler_; }
  // Called after each "OK" has been kept (or taken back for an OkFehler).
  void NachOk(std::function<void()> rueckruf) { nachOk_ = std::move(rueckruf); }
  // Takes the last "OK" back: the document and the pending record as they were before it.
  // False when there is none. Throws 5 while a form is open (it works on the document).
  bool Rueckgaengig();
  // Gives every pending "OK" up: the document as saved, nothing pending, no recovery copy.
  void Verwerfen();
  // Takes over what a crashed session left (same document, database and invoice): its pending
  // document and record, with the record as it read it at opening; one step Rueckgaengig takes
  // back. Throws 53/75 for an unreadable copy.
  void Wiederherstellen(const Wiederherstellungsstand& stand);
  // The recovery entry of this session (empty path for the run's way).
  std::filesystem::path Wiederherstellungseintrag() const;

  // The invoice record as it is stored now, re-read from the database; no value without an
  // invoice or when it has gone meanwhile.
  std::shared_ptr<dao::Recordset> Rechnungssatz();

 private:
  void Melden(const std::string& schritt) const;
  void ZielPruefen(const std::filesystem::path& ziel) const;
  void RechnungPruefen() const;
  bool AmFenster() const { return !daten_.wiederherstellung.empty(); }
  void OkBeobachten();
  void OkLoesen();
  void OkBeginnt();
  void OkBeendet();
  void RechnungSpeichern(bool ueberschreiben);
  void StatementsPruefen();
  std::optional<std::string> StatementVerloren() const;
  void StandSichern();

  Auftragsdaten daten_;
  Schritt schritt_;
  Auftragssperre sperre_;
  std::optional<Fremdaenderung> fremd_;
  std::shared_ptr<word::Document> dokument_;
  std::shared_ptr<dao::Workspace> arbeitsbereich_;
  std::shared_ptr<dao::Database> datenbank_;
  std::shared_ptr<dao::Recordset> rechnung_;
  std::shared_ptr<controls::Form> formular_;
  GO go_;
  // The tag of the category's statements and how many the document held when the form opened.
  std::string tag_;
  std::int32_t statementsVorher_ = 0;

  // The desktop's way.
  std::unique_ptr<Wiederherstellung> wiederherstellung_;
  Satzwerte grundstand_;                 // the record as read at opening or at the last save
  std::optional<Satzwerte> ausstehend_;  // the record as the totals wrote it, until saved
  // Per "OK" kept: the pending record before it (the document before it is a file of the
  // recovery entry).
  std::vector<std::optional<Satzwerte>> schritte_;
  std::optional<Laufzeitfehler> okFehler_;
  std::function<void()> nachOk_;
  controls::CommandButton* okKnopf_ = nullptr;
  // The form the button belongs to: a form unloaded meanwhile took the button with it.
  std::weak_ptr<controls::Form> okFormular_;
  std::size_t okVorne_ = 0, okHinten_ = 0;
};

}  // namespace tarvo
