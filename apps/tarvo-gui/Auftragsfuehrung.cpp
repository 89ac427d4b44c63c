#include "Auftragsfuehrung.h"

#include <cstdio>

#include "common/Funktionen.h"
#include "errors/Laufzeitfehler.h"
#include "forms/Formulare.h"
#include "forms/kat1/frmKat1.h"
#include "host/GO.h"
#include "platform/controls/Form.h"
#include "platform/dao/Database.h"
#include "platform/dao/JobSchema.h"
#include "platform/dao/Recordset.h"
#include "platform/dao/Workspace.h"
#include "platform/word/Document.h"

namespace tarvo::gui {
namespace {

using Let = void (GO::*)(const Variant&);
const std::vector<std::pair<std::string, Let>>& Lets() {
  static const std::vector<std::pair<std::string, Let>> lets = {
      {"Flurstücksnummer", static_cast<Let>(&GO::Flurstücksnummer)},
      {"Fläche", static_cast<Let>(&GO::Fläche)},
      {"Bodenwert", static_cast<Let>(&GO::Bodenwert)},
      {"Lage", static_cast<Let>(&GO::Lage)},
      {"Baukosten", static_cast<Let>(&GO::Baukosten)},
      {"Achslänge", static_cast<Let>(&GO::Achslänge)},
      {"Grenzlänge", static_cast<Let>(&GO::Grenzlänge)},
      {"Flurstücke", static_cast<Let>(&GO::Flurstücke)},
      {"AnzahlGrenzpunkte", static_cast<Let>(&GO::AnzahlGrenzpunkte)},
  };
  return lets;
}

std::string Betrag(const Variant& hundertstel) {
  if (hundertstel.IstNull() || hundertstel.IstEmpty()) return "0,00 €";
  return werte::Formatiert(CDbl(hundertstel) / 100, 2) + " €";
}

}  // namespace

// The open job: document, workspace, database, invoice record, and the GO the forms are
// opened through.
struct Auftragsfuehrung::Sitzung {
  std::shared_ptr<word::Document> dokument;
  std::shared_ptr<dao::Workspace> arbeitsbereich;
  std::shared_ptr<dao::Database> datenbank;
  std::shared_ptr<dao::Recordset> rechnung;
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
  auto neu = std::make_unique<Sitzung>();
  neu->dokument = word::Document::Open(dokument);
  neu->arbeitsbereich = std::make_shared<dao::Workspace>();
  neu->datenbank = neu->arbeitsbereich->OpenDatabase(datenbank.string());
  neu->datenbank->OpenRecordset("SELECT * FROM TempDoc WHERE ID_Benutzer = " +
                                std::to_string(benutzer));
  if (rechnung) {
    neu->rechnung = neu->datenbank->OpenRecordset(
        "SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = " + std::to_string(*rechnung));
    if (neu->rechnung->EOF())
      throw Laufzeitfehler(fehlernummer::UngueltigerAufruf,
                           "Die Rechnung " + std::to_string(*rechnung) + " gibt es nicht.");
  }
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
  GO& go = sitzung_->go;
  go.Doc(Variant(sitzung_->dokument));
  go.ID_Benutzer(Variant(benutzer_));
  go.NeueAbfrage(Variant(sitzung_->datenbank));
  go.DatenbankPfad(datenbankpfad_.string());
  go.LumoWorkspace(Variant(sitzung_->arbeitsbereich));
  for (const auto& [name, wert] : eigenschaften) {
    for (const auto& [kandidat, let] : Lets())
      if (kandidat == name) (go.*let)(wert);
  }
  formulare::FormulareRegistrieren();
  Kat1Registrieren();
  go.Show(kategorie, sitzung_->rechnung, fenster);
  auto formular = formulare::Formular(kategorie);
  if (!formular || !formular->Loaded() || formular->Steuerelemente().empty())
    throw Laufzeitfehler(fehlernummer::UngueltigerAufruf,
                         "Zu dieser Kategorie gibt es kein Gebührenformular.");
  return *formular;
}

void Auftragsfuehrung::Speichern(const std::filesystem::path& ziel) {
  if (!sitzung_)
    throw Laufzeitfehler(fehlernummer::UngueltigerAufruf, "Es ist kein Auftrag geöffnet.");
  sitzung_->dokument->Save(ziel);
  dokumentpfad_ = ziel;
}

std::shared_ptr<word::Document> Auftragsfuehrung::Dokument() const {
  return sitzung_ ? sitzung_->dokument : nullptr;
}

std::shared_ptr<dao::Database> Auftragsfuehrung::Datenbank() const {
  return sitzung_ ? sitzung_->datenbank : nullptr;
}

std::vector<std::int32_t> Auftragsfuehrung::Benutzerliste() const {
  std::vector<std::int32_t> liste;
  if (!sitzung_) return liste;
  auto satz = sitzung_->datenbank->OpenRecordset("SELECT ID_Benutzer FROM TempDoc ORDER BY 1");
  for (; !satz->EOF(); satz->MoveNext()) liste.push_back(CLng(satz->Fields("ID_Benutzer").Value()));
  return liste;
}

std::vector<Rechnungseintrag> Auftragsfuehrung::Rechnungen() const {
  std::vector<Rechnungseintrag> liste;
  if (!sitzung_) return liste;
  // The invoice date is the appointment of kind 8.
  auto satz = sitzung_->datenbank->OpenRecordset(
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
  auto satz = sitzung_->datenbank->OpenRecordset(
      "SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = " + std::to_string(*rechnung_));
  if (satz->EOF()) return {};
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
