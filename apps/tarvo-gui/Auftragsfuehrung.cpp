#include "Auftragsfuehrung.h"

#include <cstdio>

#include "common/Funktionen.h"
#include "errors/Laufzeitfehler.h"
#include "host/Auftragssitzung.h"
#include "host/GO.h"
#include "host/Wiederherstellung.h"
#include "platform/controls/Form.h"
#include "platform/dao/Database.h"
#include "platform/dao/JobSchema.h"
#include "platform/dao/Recordset.h"
#include "platform/dao/Workspace.h"
#include "platform/word/Document.h"

namespace tarvo::gui {
namespace {

// The job properties the panel offers: GO's own list, shared with the job session.
const std::vector<std::pair<std::string, Eigenschaftslet>>& Lets() {
  return Jobeigenschaften();
}

std::string Betrag(const Variant& hundertstel) {
  if (hundertstel.IstNull() || hundertstel.IstEmpty()) return "0,00 €";
  return werte::Formatiert(CDbl(hundertstel) / 100, 2) + " €";
}

}  // namespace

// The open job: the session both hosts share, and the GO the panel lets its properties through.
struct Auftragsfuehrung::Sitzung {
  explicit Sitzung(Auftragsdaten daten) : sitzung(std::move(daten)) {}
  Auftragssitzung sitzung;
  GO go;
};

Auftragsfuehrung::Auftragsfuehrung() : ordner_(Wiederherstellung::StandardOrdner()) {}
Auftragsfuehrung::~Auftragsfuehrung() = default;

const std::vector<std::string>& Auftragsfuehrung::Eigenschaftsnamen() {
  static const std::vector<std::string> namen = [] {
    std::vector<std::string> n;
    for (const auto& [name, let] : Lets()) n.push_back(name);
    return n;
  }();
  return namen;
}

void Auftragsfuehrung::Oeffnen(const std::filesystem::path& dokument,
                               const std::filesystem::path& datenbank, std::int32_t benutzer,
                               std::optional<std::int32_t> rechnung, bool schreibgeschuetzt) {
  Auftragsdaten daten;
  daten.dokument = dokument;
  daten.datenbank = datenbank;
  daten.benutzer = benutzer;
  daten.rechnung = rechnung;
  daten.warten = std::chrono::milliseconds(0);  // the window never waits for a lock
  daten.wiederherstellung = ordner_;
  daten.schreibgeschuetzt = schreibgeschuetzt;
  // The session holds the job's locks on the document and the invoice: the old one ends first.
  sitzung_.reset();
  auto neu = std::make_unique<Sitzung>(std::move(daten));
  neu->sitzung.NachOk([this] {
    if (nachOk_) nachOk_();
  });
  sitzung_ = std::move(neu);
  dokumentpfad_ = dokument;
  datenbankpfad_ = datenbank;
  benutzer_ = benutzer;
  rechnung_ = rechnung;
  schreibgeschuetzt_ = schreibgeschuetzt;
}

void Auftragsfuehrung::Schliessen() {
  sitzung_.reset();
}

void Auftragsfuehrung::EigenschaftSetzen(const std::string& name, const Variant& wert) {
  if (!sitzung_)
    throw Laufzeitfehler(fehlernummer::UngueltigerAufruf, "Es ist kein Auftrag geöffnet.");
  for (const auto& [kandidat, let] : Lets())
    if (kandidat == name) return (sitzung_->go.*let)(wert);
  throw Laufzeitfehler(fehlernummer::UngueltigerAufruf, "GO hat keine Eigenschaft »" + name + "«.");
}

controls::Form& Auftragsfuehrung::FormularZeigen(
    std::int16_t kategorie, std::int32_t fenster,
    const std::vector<std::pair<std::string, Variant>>& eigenschaften) {
  if (!sitzung_)
    throw Laufzeitfehler(fehlernummer::UngueltigerAufruf, "Es ist kein Auftrag geöffnet.");
  // The panel's values as they stand now; the session lets the rest and shows the form.
  for (const auto& [name, wert] : eigenschaften) {
    for (const auto& [kandidat, let] : Lets())
      if (kandidat == name) (sitzung_->go.*let)(wert);
  }
  return sitzung_->sitzung.Zeigen(kategorie, fenster);
}

void Auftragsfuehrung::Speichern(const std::filesystem::path& ziel, bool ueberschreiben) {
  if (!sitzung_)
    throw Laufzeitfehler(fehlernummer::UngueltigerAufruf, "Es ist kein Auftrag geöffnet.");
  sitzung_->sitzung.Abschliessen(ziel, ueberschreiben);
}

bool Auftragsfuehrung::Geaendert() const {
  return sitzung_ && sitzung_->sitzung.Geaendert();
}

bool Auftragsfuehrung::Rueckgaengig() {
  return sitzung_ && sitzung_->sitzung.Rueckgaengig();
}

void Auftragsfuehrung::Verwerfen() {
  if (sitzung_) sitzung_->sitzung.Verwerfen();
}

void Auftragsfuehrung::Wiederherstellen(const Wiederherstellungsstand& stand) {
  if (!sitzung_)
    throw Laufzeitfehler(fehlernummer::UngueltigerAufruf, "Es ist kein Auftrag geöffnet.");
  sitzung_->sitzung.Wiederherstellen(stand);
}

std::optional<std::string> Auftragsfuehrung::OkFehler() const {
  if (!sitzung_ || !sitzung_->sitzung.OkFehler()) return std::nullopt;
  return sitzung_->sitzung.OkFehler()->Beschreibung();
}

void Auftragsfuehrung::NachOk(std::function<void()> rueckruf) {
  nachOk_ = std::move(rueckruf);
}

std::shared_ptr<word::Document> Auftragsfuehrung::Dokument() const {
  return sitzung_ ? sitzung_->sitzung.Dokument() : nullptr;
}

std::shared_ptr<dao::Database> Auftragsfuehrung::Datenbank() const {
  return sitzung_ ? sitzung_->sitzung.Datenbank() : nullptr;
}

std::vector<std::int32_t> Auftragsfuehrung::Benutzerliste(const std::filesystem::path& datenbank) {
  std::vector<std::int32_t> liste;
  dao::Workspace arbeitsbereich;
  auto db = arbeitsbereich.OpenDatabase(datenbank.string());
  auto satz = db->OpenRecordset("SELECT ID_Benutzer FROM TempDoc ORDER BY 1");
  for (; !satz->EOF(); satz->MoveNext()) liste.push_back(CLng(satz->Fields("ID_Benutzer").Value()));
  return liste;
}

std::vector<Rechnungseintrag> Auftragsfuehrung::Rechnungen(const std::filesystem::path& datenbank) {
  std::vector<Rechnungseintrag> liste;
  dao::Workspace arbeitsbereich;
  auto db = arbeitsbereich.OpenDatabase(datenbank.string());
  // The invoice date is the appointment of kind 8.
  auto satz = db->OpenRecordset(
      "SELECT r.ID_Rechnungsnummer, r.ID_Auftragsnummer, r.Rechnungsart, r.Brutto, "
      "(SELECT t.Datum FROM Termine t WHERE t.ID_Rechnungsnummer = r.ID_Rechnungsnummer AND "
      "t.ID_Terminart = 8) AS Datum FROM Rechnung r ORDER BY 1");
  auto zahl = [&](const char* feld) {
    const Variant wert = satz->Fields(feld).Value();
    return wert.IstNull() || wert.IstEmpty() ? Variant(std::int32_t{0}) : wert;
  };
  for (; !satz->EOF(); satz->MoveNext()) {
    Rechnungseintrag eintrag;
    eintrag.nummer = CLng(zahl("ID_Rechnungsnummer"));
    eintrag.auftrag = CLng(zahl("ID_Auftragsnummer"));
    eintrag.art = CLng(zahl("Rechnungsart"));
    eintrag.brutto = CDbl(zahl("Brutto")) / 100;
    const Variant datum = satz->Fields("Datum").Value();
    if (!datum.IstNull() && !datum.IstEmpty()) eintrag.datum = CStr(datum);
    liste.push_back(eintrag);
  }
  return liste;
}

std::string Auftragsfuehrung::Rechnungsstand() const {
  if (!sitzung_ || !rechnung_) return {};
  Satzwerte werte;
  const auto& ausstehend = sitzung_->sitzung.AusstehenderSatz();
  if (ausstehend) {
    werte = *ausstehend;
  } else {
    auto satz = sitzung_->sitzung.Rechnungssatz();
    if (!satz) return {};
    werte = SatzwerteLesen(*satz);
  }
  Variant netto, brutto;
  for (const auto& [feld, wert] : werte) {
    if (feld == "NettoRechnung") netto = wert;
    if (feld == "Brutto") brutto = wert;
  }
  return "Rechnung " + std::to_string(*rechnung_) + ": netto " + Betrag(netto) + ", brutto " +
         Betrag(brutto) + (ausstehend ? " (noch nicht gespeichert)" : "");
}

void BeispieldatenbankAnlegen(const std::filesystem::path& datei) {
  dao::Workspace arbeitsbereich;
  auto datenbank = arbeitsbereich.CreateDatabase(datei.string());
  datenbank->Execute(std::string(dao::JobDatabaseSchema()));
  datenbank->Execute(std::string(dao::JobDatabaseSample()));
  datenbank->Close();
}

}  // namespace tarvo::gui
