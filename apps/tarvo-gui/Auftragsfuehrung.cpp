#include "Auftragsfuehrung.h"

#include <cstdio>

#include "common/Funktionen.h"
#include "errors/Laufzeitfehler.h"
#include "host/Auftragssitzung.h"
#include "host/GO.h"
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

Auftragsfuehrung::Auftragsfuehrung() = default;
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
                               std::optional<std::int32_t> rechnung) {
  Auftragsdaten daten;
  daten.dokument = dokument;
  daten.datenbank = datenbank;
  daten.benutzer = benutzer;
  daten.rechnung = rechnung;
  // The session holds the job's locks on the document and the invoice: the old one ends first.
  sitzung_.reset();
  auto neu = std::make_unique<Sitzung>(std::move(daten));
  sitzung_ = std::move(neu);
  dokumentpfad_ = dokument;
  datenbankpfad_ = datenbank;
  benutzer_ = benutzer;
  rechnung_ = rechnung;
}

void Auftragsfuehrung::Schliessen() {
  sitzung_.reset();
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

void Auftragsfuehrung::Speichern(const std::filesystem::path& ziel) {
  if (!sitzung_)
    throw Laufzeitfehler(fehlernummer::UngueltigerAufruf, "Es ist kein Auftrag geöffnet.");
  sitzung_->sitzung.Abschliessen(ziel);
  // A session finishes one job; the next one starts on the saved document.
  Oeffnen(ziel, datenbankpfad_, benutzer_, rechnung_);
}

std::shared_ptr<word::Document> Auftragsfuehrung::Dokument() const {
  return sitzung_ ? sitzung_->sitzung.Dokument() : nullptr;
}

std::shared_ptr<dao::Database> Auftragsfuehrung::Datenbank() const {
  return sitzung_ ? sitzung_->sitzung.Datenbank() : nullptr;
}

std::vector<std::int32_t> Auftragsfuehrung::Benutzerliste() const {
  std::vector<std::int32_t> liste;
  if (!sitzung_) return liste;
  auto satz =
      sitzung_->sitzung.Datenbank()->OpenRecordset("SELECT ID_Benutzer FROM TempDoc ORDER BY 1");
  for (; !satz->EOF(); satz->MoveNext()) liste.push_back(CLng(satz->Fields("ID_Benutzer").Value()));
  return liste;
}

std::vector<Rechnungseintrag> Auftragsfuehrung::Rechnungen() const {
  std::vector<Rechnungseintrag> liste;
  if (!sitzung_) return liste;
  // The invoice date is the appointment of kind 8.
  auto satz = sitzung_->sitzung.Datenbank()->OpenRecordset(
      "SELECT r.ID_Rechnungsnummer, r.Rechnungsart, (SELECT t.Datum FROM Termine t WHERE "
      "t.ID_Rechnungsnummer = r.ID_Rechnungsnummer AND t.ID_Terminart = 8) AS Datum "
      "FROM Rechnung r ORDER BY 1");
  for (; !satz->EOF(); satz->MoveNext()) {
    Rechnungseintrag eintrag;
    eintrag.nummer = CLng(satz->Fields("ID_Rechnungsnummer").Value());
    const Variant datum = satz->Fields("Datum").Value();
    if (!datum.IstNull() && !datum.IstEmpty()) eintrag.datum = CStr(datum);
    const Variant art = satz->Fields("Rechnungsart").Value();
    if (!art.IstNull()) eintrag.art = CLng(art);
    liste.push_back(eintrag);
  }
  return liste;
}

std::string Auftragsfuehrung::Rechnungsstand() const {
  if (!sitzung_ || !rechnung_) return {};
  auto satz = sitzung_->sitzung.Rechnungssatz();
  if (!satz) return {};
  return "Rechnung " + std::to_string(*rechnung_) + ": netto " +
         Betrag(satz->Fields("NettoRechnung").Value()) + ", brutto " +
         Betrag(satz->Fields("Brutto").Value());
}

void BeispieldatenbankAnlegen(const std::filesystem::path& datei) {
  dao::Workspace arbeitsbereich;
  auto datenbank = arbeitsbereich.CreateDatabase(datei.string());
  datenbank->Execute(std::string(dao::JobDatabaseSchema()));
  datenbank->Execute(std::string(dao::JobDatabaseSample()));
  datenbank->Close();
}

}  // namespace tarvo::gui
