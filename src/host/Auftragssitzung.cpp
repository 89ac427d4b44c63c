#include "host/Auftragssitzung.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "document/Dokumenthilfen.h"
#include "errors/Falle.h"
#include "errors/Laufzeitfehler.h"
#include "fees/modStatus.h"
#include "forms/Formulare.h"
#include "forms/kat1/frmKat1.h"
#include "host/Einstellungspruefung.h"
#include "host/Wiederherstellung.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Form.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"
#include "platform/dao/Workspace.h"
#include "platform/word/Document.h"

namespace tarvo {
namespace {

[[noreturn]] void Unbrauchbar(const std::string& was) {
  throw Laufzeitfehler(fehlernummer::UngueltigerAufruf, was);
}

std::shared_ptr<dao::Recordset> RechnungOeffnen(dao::Database& datenbank, std::int32_t rechnung) {
  return datenbank.OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = ?",
                                 dao::dbOpenDynaset, {Variant(rechnung)});
}

// Whether `a` and `b` are one file (links and different spellings resolved).
bool DieselbeDatei(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code fehler;
  return std::filesystem::exists(a, fehler) && std::filesystem::exists(b, fehler) &&
         std::filesystem::equivalent(a, b, fehler) && !fehler;
}

// The fields of the invoice record that the totals read and store.
constexpr const char* kRechnungsfelder[] = {
    "Rechnungsart", "ID_Auftragsnummer",          "NettoRechnung",
    "Brutto",       "MehrwertsteuerFreierbetrag", "Mehrwertsteuersatz"};

// The database's job transaction, rolled back unless it was committed.
class Zuruecknahme {
 public:
  explicit Zuruecknahme(dao::Database& datenbank) : datenbank_(datenbank) {}
  ~Zuruecknahme() {
    if (offen_) datenbank_.Rollback();
  }
  void Erledigt() { offen_ = false; }

 private:
  dao::Database& datenbank_;
  bool offen_ = true;
};

// Field names compared as the database compares them (these are ASCII).
bool Gleich(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

const std::vector<std::pair<std::string, Eigenschaftslet>>& Jobeigenschaften() {
  static const std::vector<std::pair<std::string, Eigenschaftslet>> lets = {
      {"Flurstücksnummer", static_cast<Eigenschaftslet>(&GO::Flurstücksnummer)},
      {"Fläche", static_cast<Eigenschaftslet>(&GO::Fläche)},
      {"Bodenwert", static_cast<Eigenschaftslet>(&GO::Bodenwert)},
      {"Lage", static_cast<Eigenschaftslet>(&GO::Lage)},
      {"Baukosten", static_cast<Eigenschaftslet>(&GO::Baukosten)},
      {"Achslänge", static_cast<Eigenschaftslet>(&GO::Achslänge)},
      {"Grenzlänge", static_cast<Eigenschaftslet>(&GO::Grenzlänge)},
      {"Flurstücke", static_cast<Eigenschaftslet>(&GO::Flurstücke)},
      {"AnzahlGrenzpunkte", static_cast<Eigenschaftslet>(&GO::AnzahlGrenzpunkte)},
  };
  return lets;
}

Auftragssitzung::Auftragssitzung(Auftragsdaten daten, Schritt schritt)
    : daten_(std::move(daten)), schritt_(std::move(schritt)) {
  if (!daten_.ausgabe.empty()) {
    Melden("»ausgabe« »" + daten_.ausgabe.string() + "«");
    ZielPruefen(daten_.ausgabe);
  }
  Melden("Dokument »" + daten_.dokument.string() + "«");
  if (!daten_.schreibgeschuetzt) {
    sperre_.Dokument(daten_.dokument, daten_.warten);
    if (!daten_.ausgabe.empty()) sperre_.Dokument(daten_.ausgabe, daten_.warten);
    if (daten_.rechnung) {
      Melden("Rechnung " + std::to_string(*daten_.rechnung));
      sperre_.Rechnung(daten_.datenbank, *daten_.rechnung, daten_.warten);
    }
  }
  Melden("Dokument »" + daten_.dokument.string() + "«");
  // What the files are before they are read, so that the save finds out what others did since.
  if (!daten_.schreibgeschuetzt) fremd_.emplace(daten_.dokument, daten_.datenbank);
  dokument_ = word::Document::Open(daten_.dokument);

  Melden("Datenbank »" + daten_.datenbank.string() + "«");
  arbeitsbereich_ = std::make_shared<dao::Workspace>();
  datenbank_ = arbeitsbereich_->OpenDatabase(daten_.datenbank.string());
  // The tables the job reads must be there; a user without settings is the job's own matter
  // (Show logs it and the form still opens).
  datenbank_->OpenRecordset("SELECT * FROM TempDoc WHERE ID_Benutzer = ?", dao::dbOpenDynaset,
                            {Variant(daten_.benutzer)});
  if (daten_.rechnung) {
    rechnung_ = RechnungOeffnen(*datenbank_, *daten_.rechnung);
    if (rechnung_->EOF())
      Unbrauchbar("die Rechnung " + std::to_string(*daten_.rechnung) + " gibt es nicht.");
    RechnungPruefen();
    grundstand_ = SatzwerteLesen(*rechnung_);
  }
  if (AmFenster()) {
    // Nothing is locked in the database until a save; only the recovery entry is made.
    if (!daten_.schreibgeschuetzt)
      wiederherstellung_ = std::make_unique<Wiederherstellung>(daten_.wiederherstellung);
    return;
  }
  datenbank_->BeginTrans();
}

Auftragssitzung::~Auftragssitzung() {
  OkLoesen();
  // A job not finished changes nothing.
  if (datenbank_) datenbank_->Rollback();
}

void Auftragssitzung::RechnungPruefen() const {
  for (const char* name : kRechnungsfelder) {
    bool da = false;
    for (std::int16_t i = 0; i < rechnung_->FieldCount() && !da; ++i)
      da = Gleich(rechnung_->Fields(i).Name(), name);
    if (!da)
      Unbrauchbar("die Tabelle »Rechnung« hat kein Feld »" + std::string(name) +
                  "«; die Rechnungssummen ließen sich nicht speichern.");
  }
}

void Auftragssitzung::ZielPruefen(const std::filesystem::path& ziel) const {
  const std::string db = daten_.datenbank.string();
  for (const std::string& teil : {db, db + "-journal", db + "-wal", db + "-shm"})
    if (DieselbeDatei(ziel, teil))
      Unbrauchbar("»" + ziel.string() +
                  "« ist die Datenbank des Auftrags; sie darf nicht mit der Rechnung "
                  "überschrieben werden.");
  for (const std::filesystem::path& eingabe : daten_.eingaben)
    if (DieselbeDatei(ziel, eingabe))
      Unbrauchbar("»" + ziel.string() + "« ist eine Eingabe des Auftrags (»" + eingabe.string() +
                  "«); sie darf nicht mit der Rechnung überschrieben werden.");
}

void Auftragssitzung::Melden(const std::string& schritt) const {
  if (schritt_) schritt_(schritt);
}

controls::Form& Auftragssitzung::Zeigen(std::int16_t kategorie, std::int32_t fenster) {
  if (daten_.schreibgeschuetzt)
    Unbrauchbar("die Rechnung ist schreibgeschützt geöffnet; ein anderer Auftrag bearbeitet sie.");
  // Settings that would make a plainly wrong invoice refuse the form, in a run and in the window.
  Melden("Rechnungseinstellungen");
  EinstellungenPruefen(*datenbank_, daten_.benutzer);
  // New tables cannot go into a table cell: refuse such a letter before anything is written.
  Melden("Dokument »" + daten_.dokument.string() + "«");
  Status().Doc = dokument_;
  const auto marke = MarkeInTabelle();
  if (marke)
    Unbrauchbar("die Marke »lumoStart« steht in einer Tabelle (" + *marke +
                "); dort lassen sich keine Gebührentabellen einfügen. Bitte die Marke in einen "
                "Absatz außerhalb von Tabellen setzen.");
  // The statements of this category before the form writes: after "OK" none may be missing.
  tag_ = "TARVO_03_" + std::to_string(kategorie + 1);
  statementsVorher_ = TabellenMitTag(tag_);

  Melden("Übergabe an GO");
  go_.Doc(Variant(dokument_));
  go_.ID_Benutzer(Variant(daten_.benutzer));
  go_.NeueAbfrage(Variant(datenbank_));
  go_.DatenbankPfad(daten_.datenbank.string());
  go_.LumoWorkspace(Variant(arbeitsbereich_));
  for (const auto& [name, wert] : daten_.eigenschaften) {
    Melden("Eigenschaft »" + name + "« aus »auftrag«");
    const auto& lets = Jobeigenschaften();
    const auto let = std::find_if(lets.begin(), lets.end(),
                                  [&](const auto& eintrag) { return eintrag.first == name; });
    if (let == lets.end()) Unbrauchbar("GO hat keine solche Eigenschaft.");
    (go_.*(let->second))(wert);
  }

  formulare::FormulareRegistrieren();
  Kat1Registrieren();
  Melden("»kategorie« " + std::to_string(kategorie));
  go_.Show(kategorie, rechnung_, fenster);
  formular_ = formulare::Formular(kategorie);
  if (!formular_ || !formular_->Loaded() || formular_->Steuerelemente().empty())
    Unbrauchbar("zu dieser Kategorie gibt es kein Gebührenformular.");
  if (AmFenster()) OkBeobachten();
  return *formular_;
}

// The desktop's way: the form's "OK" runs inside a transaction of its own (OkBeginnt before the
// form's handler, OkBeendet after it). The form is one instance for the process, so the
// listeners are taken off again after each "OK" and when the session ends.
void Auftragssitzung::OkBeobachten() {
  OkLoesen();
  okKnopf_ = dynamic_cast<controls::CommandButton*>(formular_->Steuerelement("CommandEnde"));
  okFormular_ = formular_;
  if (!okKnopf_) return;
  okVorne_ = okKnopf_->Click.ConnectFront([this] { OkBeginnt(); });
  okHinten_ = okKnopf_->Click.Connect([this] { OkBeendet(); });
}

void Auftragssitzung::OkLoesen() {
  if (okKnopf_ && !okFormular_.expired()) {
    okKnopf_->Click.Disconnect(okVorne_);
    okKnopf_->Click.Disconnect(okHinten_);
  }
  okKnopf_ = nullptr;
  okFormular_.reset();
}

void Auftragssitzung::OkBeginnt() {
  Falle falle("Auftragssitzung", "OkBeginnt");
  okFehler_.reset();
  // The document as it is before this "OK", for Rückgängig.
  falle([&] { dokument_->Save(wiederherstellung_->Vorher(schritte_.size() + 1)); });
  falle([&] { datenbank_->BeginTrans(); });
}

void Auftragssitzung::OkBeendet() {
  OkLoesen();
  Falle falle("Auftragssitzung", "OkBeendet");
  okFehler_ = datenbank_->TransactionError();
  if (!okFehler_ && !tag_.empty()) {
    if (auto fehlt = StatementVerloren())
      okFehler_ = Laufzeitfehler(fehlernummer::UngueltigerAufruf, *fehlt);
  }
  std::optional<Satzwerte> neu;
  if (!okFehler_ && daten_.rechnung) {
    falle([&] {
      auto satz = RechnungOeffnen(*datenbank_, *daten_.rechnung);
      neu = SatzwerteLesen(*satz);
    });
  }
  datenbank_->Rollback();
  schritte_.push_back(ausstehend_);
  if (neu) ausstehend_ = std::move(neu);
  if (okFehler_) {
    // The record could not take the totals: the document goes back to where it was, so that
    // document and record stay in step.
    falle([&] { Rueckgaengig(); });
  } else {
    falle([&] { StandSichern(); });
  }
  if (nachOk_) nachOk_();
}

void Auftragssitzung::StandSichern() {
  if (!wiederherstellung_) return;
  if (schritte_.empty()) {
    wiederherstellung_->Leeren();
    return;
  }
  Wiederherstellungsstand stand;
  stand.dokument = daten_.dokument;
  stand.datenbank = daten_.datenbank;
  stand.benutzer = daten_.benutzer;
  stand.rechnung = daten_.rechnung;
  stand.grundstand = grundstand_;
  if (ausstehend_) stand.ausstehend = *ausstehend_;
  stand.zeit = Zeitstempel();
  wiederherstellung_->Schreiben(*dokument_, stand);
}

std::filesystem::path Auftragssitzung::Wiederherstellungseintrag() const {
  return wiederherstellung_ ? wiederherstellung_->Eintrag() : std::filesystem::path();
}

bool Auftragssitzung::Rueckgaengig() {
  if (schritte_.empty() || !wiederherstellung_) return false;
  if (formular_ && formular_->Loaded())
    Unbrauchbar("»" + formular_->Caption +
                "« ist noch geöffnet; es arbeitet auf dem Dokument. Bitte zuerst schließen.");
  const std::filesystem::path vorher = wiederherstellung_->Vorher(schritte_.size());
  auto dokument = word::Document::Open(vorher);
  if (Status().Doc == dokument_) Status().Doc = dokument;
  dokument_ = std::move(dokument);
  ausstehend_ = schritte_.back();
  schritte_.pop_back();
  std::error_code fehler;
  std::filesystem::remove(vorher, fehler);
  StandSichern();
  return true;
}

void Auftragssitzung::Verwerfen() {
  if (schritte_.empty()) return;
  auto dokument = word::Document::Open(daten_.dokument);
  if (Status().Doc == dokument_) Status().Doc = dokument;
  dokument_ = std::move(dokument);
  ausstehend_.reset();
  schritte_.clear();
  if (wiederherstellung_) wiederherstellung_->Leeren();
}

void Auftragssitzung::Wiederherstellen(const Wiederherstellungsstand& stand) {
  if (!wiederherstellung_) Unbrauchbar("diese Sitzung kann nichts wiederherstellen.");
  auto dokument = word::Document::Open(stand.stand);
  // One step back leads to the document as it is saved.
  dokument_->Save(wiederherstellung_->Vorher(schritte_.size() + 1));
  schritte_.push_back(ausstehend_);
  if (Status().Doc == dokument_) Status().Doc = dokument;
  dokument_ = std::move(dokument);
  grundstand_ = stand.grundstand;
  if (!stand.ausstehend.empty()) ausstehend_ = stand.ausstehend;
  StandSichern();
  Wiederherstellung::Entfernen(stand);
}

std::optional<std::string> Auftragssitzung::StatementVerloren() const {
  Status().Doc = dokument_;
  const std::int32_t nachher = TabellenMitTag(tag_);
  if (nachher >= statementsVorher_ && nachher > 0) return std::nullopt;
  return "nach »OK« stehen " + std::to_string(nachher) + " statt " +
         std::to_string(std::max(statementsVorher_, 1)) +
         " Abrechnungen dieser Kategorie im Dokument; eine wäre verloren. Das Dokument wurde "
         "nicht gespeichert.";
}

void Auftragssitzung::StatementsPruefen() {
  Melden("Prüfung der Abrechnung »" + tag_ + "«");
  if (auto fehlt = StatementVerloren()) Unbrauchbar(*fehlt);
}

void Auftragssitzung::Abschliessen(const std::filesystem::path& ziel, bool ueberschreiben) {
  if (daten_.schreibgeschuetzt)
    Unbrauchbar("die Rechnung ist schreibgeschützt geöffnet; sie wird nicht gespeichert.");
  // A statement that was re-opened and is gone after "OK" would be lost unnoticed (the
  // desktop's way checks each "OK" as it ends).
  if (!tag_.empty() && !AmFenster()) StatementsPruefen();
  const std::string speichern = "Speichern nach »" + ziel.string() + "«";
  Melden(speichern);
  ZielPruefen(ziel);
  sperre_.Dokument(ziel, daten_.warten);
  word::docx::PendingSave neu = dokument_->PrepareSave(ziel);
  // Another program's save, a word processor holding the letter, a replaced database: found
  // out now, before anything is stored.
  if (fremd_) fremd_->Pruefen(ziel);
  if (AmFenster()) {
    if (daten_.rechnung && ausstehend_) {
      Melden("Rechnung " + std::to_string(*daten_.rechnung) + " speichern in »" +
             daten_.datenbank.string() + "«");
      RechnungSpeichern(ueberschreiben);
    }
    Melden(speichern + (ausstehend_ ? " (die Rechnung ist schon gespeichert)" : ""));
    neu.Commit(ausstehend_.has_value());
    Melden(speichern);
    if (fremd_) fremd_->Erneuern();
    // Saved: the next changes start from here.
    if (daten_.rechnung) {
      rechnung_ = RechnungOeffnen(*datenbank_, *daten_.rechnung);
      grundstand_ = SatzwerteLesen(*rechnung_);
    }
    ausstehend_.reset();
    std::error_code fehler;
    for (std::size_t i = 1; i <= schritte_.size(); ++i)
      std::filesystem::remove(wiederherstellung_->Vorher(i), fehler);
    schritte_.clear();
    wiederherstellung_->Leeren();
    return;
  }
  auto danach = daten_.vorDemCommit ? daten_.vorDemCommit(neu.Temporary(), *datenbank_) : nullptr;
  Melden(daten_.rechnung ? "Rechnung " + std::to_string(*daten_.rechnung) + " speichern in »" +
                               daten_.datenbank.string() + "«"
                         : "Datenbank »" + daten_.datenbank.string() + "«");
  datenbank_->CommitTrans();
  // The window that remains: a crash from here to the rename leaves the stored record with
  // the old document, and the new one complete in the hidden temporary file beside it.
  Melden(speichern + " (die Rechnung ist schon gespeichert)");
  // The record is stored: should the rename still fail, the new document is kept and named.
  neu.Commit(true);
  if (danach) danach();
  Melden(speichern);
}

// The pending record into the database in one short transaction, after checking that nobody
// changed the record since it was read. Throws with the transaction rolled back.
void Auftragssitzung::RechnungSpeichern(bool ueberschreiben) {
  const std::string nummer = std::to_string(*daten_.rechnung);
  datenbank_->BeginTrans();
  Zuruecknahme zuruecknahme(*datenbank_);
  auto satz = RechnungOeffnen(*datenbank_, *daten_.rechnung);
  if (satz->EOF())
    throw Laufzeitfehler(3167, "Die Rechnung " + nummer + " wurde inzwischen gelöscht.");
  const Satzwerte jetzt = SatzwerteLesen(*satz);
  if (!ueberschreiben && !GeaenderteFelder(grundstand_, jetzt).empty())
    throw Laufzeitfehler(kAndererArbeitsplatz,
                         "Die Rechnung " + nummer +
                             " wurde seit dem Öffnen an einem anderen Arbeitsplatz geändert (" +
                             Unterschiede(grundstand_, jetzt) + ").");
  satz->Edit();
  for (const auto& [feld, wert] : GeaenderteFelder(grundstand_, *ausstehend_))
    satz->Fields(feld) = wert;
  satz->Update();
  datenbank_->CommitTrans();
  zuruecknahme.Erledigt();
}

std::shared_ptr<dao::Recordset> Auftragssitzung::Rechnungssatz() {
  if (!daten_.rechnung) return nullptr;
  auto satz = RechnungOeffnen(*datenbank_, *daten_.rechnung);
  if (satz->EOF()) return nullptr;
  return satz;
}

}  // namespace tarvo
