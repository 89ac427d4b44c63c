#include "host/Auftragssitzung.h"

#include <algorithm>
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

using Let = void (GO::*)(const Variant&);
const std::map<std::string, Let>& Eigenschaften() {
  static const std::map<std::string, Let> lets = {
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

std::string RechnungsAbfrage(std::int32_t rechnung) {
  return "SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = " + std::to_string(rechnung);
}

}  // namespace

Auftragssitzung::Auftragssitzung(Auftragsdaten daten, Schritt schritt)
    : daten_(std::move(daten)), schritt_(std::move(schritt)) {
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
  }
}

Auftragssitzung::~Auftragssitzung() = default;

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
    const auto let = Eigenschaften().find(name);
    if (let == Eigenschaften().end()) Unbrauchbar("GO hat keine solche Eigenschaft.");
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
  Melden("Speichern nach »" + ziel.string() + "«");
  dokument_->Save(ziel);
}

std::shared_ptr<dao::Recordset> Auftragssitzung::Rechnungssatz() {
  if (!daten_.rechnung) return nullptr;
  auto satz = datenbank_->OpenRecordset(RechnungsAbfrage(*daten_.rechnung));
  if (satz->EOF()) return nullptr;
  return satz;
}

}  // namespace tarvo
