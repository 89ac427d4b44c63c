#include "host/Auftragssitzung.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "document/Dokumenthilfen.h"
#include "errors/Laufzeitfehler.h"
#include "fees/modStatus.h"
#include "forms/Formulare.h"
#include "forms/kat1/frmKat1.h"
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

std::string RechnungsAbfrage(std::int32_t rechnung) {
  return "SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = " + std::to_string(rechnung);
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
  sperre_.Dokument(daten_.dokument, daten_.warten);
  if (!daten_.ausgabe.empty()) sperre_.Dokument(daten_.ausgabe, daten_.warten);
  if (daten_.rechnung) {
    Melden("Rechnung " + std::to_string(*daten_.rechnung));
    sperre_.Rechnung(daten_.datenbank, *daten_.rechnung, daten_.warten);
  }
  Melden("Dokument »" + daten_.dokument.string() + "«");
  dokument_ = word::Document::Open(daten_.dokument);

  Melden("Datenbank »" + daten_.datenbank.string() + "«");
  arbeitsbereich_ = std::make_shared<dao::Workspace>();
  datenbank_ = arbeitsbereich_->OpenDatabase(daten_.datenbank.string());
  // The tables the job reads must be there; a user without settings is the job's own matter
  // (Show logs it and the form still opens).
  datenbank_->OpenRecordset("SELECT * FROM TempDoc WHERE ID_Benutzer = " +
                            std::to_string(daten_.benutzer));
  if (daten_.rechnung) {
    rechnung_ = datenbank_->OpenRecordset(RechnungsAbfrage(*daten_.rechnung));
    if (rechnung_->EOF())
      Unbrauchbar("die Rechnung " + std::to_string(*daten_.rechnung) + " gibt es nicht.");
    RechnungPruefen();
  }
  datenbank_->BeginTrans();
}

Auftragssitzung::~Auftragssitzung() {
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
  return *formular_;
}

void Auftragssitzung::Abschliessen(const std::filesystem::path& ziel) {
  // A statement that was re-opened and is gone after "OK" would be lost unnoticed.
  if (!tag_.empty()) {
    Melden("Prüfung der Abrechnung »" + tag_ + "«");
    Status().Doc = dokument_;
    const std::int32_t nachher = TabellenMitTag(tag_);
    if (nachher < statementsVorher_ || nachher == 0)
      Unbrauchbar("nach »OK« stehen " + std::to_string(nachher) + " statt " +
                  std::to_string(std::max(statementsVorher_, 1)) +
                  " Abrechnungen dieser Kategorie im Dokument; eine wäre verloren. Das Dokument "
                  "wurde nicht gespeichert.");
  }
  const std::string speichern = "Speichern nach »" + ziel.string() + "«";
  Melden(speichern);
  ZielPruefen(ziel);
  sperre_.Dokument(ziel, daten_.warten);
  word::docx::PendingSave neu = dokument_->PrepareSave(ziel);
  auto danach = daten_.vorDemCommit ? daten_.vorDemCommit(neu.Temporary(), *datenbank_) : nullptr;
  Melden(daten_.rechnung ? "Rechnung " + std::to_string(*daten_.rechnung) + " speichern in »" +
                               daten_.datenbank.string() + "«"
                         : "Datenbank »" + daten_.datenbank.string() + "«");
  datenbank_->CommitTrans();
  // The window that remains: a crash from here to the rename leaves the stored record with
  // the old document, and the new one complete in the hidden temporary file beside it.
  Melden(speichern + " (die Rechnung ist schon gespeichert)");
  neu.Commit();
  if (danach) danach();
  Melden(speichern);
}

std::shared_ptr<dao::Recordset> Auftragssitzung::Rechnungssatz() {
  if (!daten_.rechnung) return nullptr;
  auto satz = datenbank_->OpenRecordset(RechnungsAbfrage(*daten_.rechnung));
  if (satz->EOF()) return nullptr;
  return satz;
}

}  // namespace tarvo
