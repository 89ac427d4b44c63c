// Opening in the host window: the invoice chosen first, the locks tried once, a refusal offered
// read-only; switching invoice or user; recent files; the file dialogs.
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <cstdlib>

#include "Fensterhilfen.h"
#include "Hauptfenster.h"
#include "Rechnungswahl.h"
#include "Serververbindung.h"
#include "Vorschau.h"
#include "errors/Falle.h"
#include "errors/Laufzeitfehler.h"

namespace tarvo::gui {
namespace {

constexpr int kZuletztAnzahl = 5;

std::string Zuletzt(const std::string& schluessel) {
  return Einstellung("Zuletzt", schluessel);
}

// The document's key in the settings (the invoice chosen for it).
std::string Dokumentschluessel(const std::filesystem::path& dokument) {
  std::error_code fehler;
  std::string text = std::filesystem::absolute(dokument, fehler).lexically_normal().string();
  for (char& c : text)
    if (c == '=' || c == '\n' || c == '\r') c = '_';
  return text;
}

}  // namespace

bool Hauptfenster::Oeffnen(const std::filesystem::path& dokument,
                           const std::filesystem::path& datenbank,
                           std::optional<std::int32_t> rechnung) {
  if (!FormulareSchliessen() || !Weiter()) return false;
  std::vector<std::int32_t> benutzer;
  std::vector<Rechnungseintrag> rechnungen;
  try {
    // The lists come from the database alone: nothing is locked before the invoice is chosen.
    benutzer = Auftragsfuehrung::Benutzerliste(datenbank);
    rechnungen = Auftragsfuehrung::Rechnungen(datenbank);
  } catch (const Laufzeitfehler& fehler) {
    Fehler("Die Datenbank ließ sich nicht lesen.", fehler.Beschreibung());
    return false;
  }
  const std::string schluessel = Dokumentschluessel(dokument);
  if (!rechnung && !rechnungen.empty()) {
    std::optional<std::int32_t> gemerkt;
    const std::string text = Einstellung("Rechnungen", schluessel);
    if (!text.empty()) gemerkt = std::atoi(text.c_str());
    rechnung = RechnungWaehlen(this, Q(dokument.filename().string()), rechnungen, gemerkt);
    if (!rechnung) {
      statusBar()->showMessage("Öffnen abgebrochen.");
      return false;
    }
  }
  const std::int32_t nutzer = benutzer.empty() ? 1 : benutzer.front();
  auftrag_.Schliessen();
  try {
    auftrag_.Oeffnen(dokument, datenbank, nutzer, rechnung);
  } catch (const Laufzeitfehler& fehler) {
    if (fehler.Nummer() != fehlernummer::DatenbankGesperrt) {
      Fehler("Der Auftrag ließ sich nicht öffnen.", fehler.Beschreibung());
      PanelFuellen();
      return false;
    }
    // Held by a colleague: look at it read-only, or not at all.
    const int wahl = Fragen(this, "Rechnung in Bearbeitung", Q(fehler.Beschreibung()),
                            {"&Schreibgeschützt öffnen", "Abbrechen"}, 0, 1);
    if (wahl != 0) {
      statusBar()->showMessage("Öffnen abgebrochen: " + Q(fehler.Beschreibung()));
      PanelFuellen();
      return false;
    }
    try {
      auftrag_.Oeffnen(dokument, datenbank, nutzer, rechnung, true);
    } catch (const Laufzeitfehler& zweiter) {
      Fehler("Der Auftrag ließ sich nicht öffnen.", zweiter.Beschreibung());
      PanelFuellen();
      return false;
    }
  }
  if (rechnung) EinstellungSichern("Rechnungen", schluessel, std::to_string(*rechnung));
  PanelFuellen();
  Zuletzt(dokument);
  statusBar()->showMessage(Q("Geöffnet: " + dokument.filename().string() + " mit " +
                             datenbank.filename().string() +
                             (auftrag_.Schreibgeschuetzt() ? " (schreibgeschützt)" : "")));
  vorschau_->Zeigen(auftrag_.Dokument());
  return true;
}

void Hauptfenster::AuftragWechseln() {
  if (fuellen_ || !auftrag_.Offen()) return;
  const std::int32_t benutzer = benutzer_->currentData().toInt();
  const std::int32_t rechnung = rechnung_->currentData().toInt();
  if (benutzer == auftrag_.Benutzer() && rechnung == auftrag_.Rechnung().value_or(0)) return;
  // The job is opened anew from the files: unsaved work is saved or given up first.
  if (!FormulareSchliessen() || !Weiter()) {
    PanelFuellen();
    return;
  }
  const auto alt = auftrag_.Rechnung();
  const std::int32_t alterBenutzer = auftrag_.Benutzer();
  const bool lesen = auftrag_.Schreibgeschuetzt();
  try {
    auftrag_.Oeffnen(auftrag_.Dokumentpfad(), auftrag_.Datenbankpfad(), benutzer,
                     rechnung ? std::optional<std::int32_t>(rechnung) : std::nullopt);
    if (rechnung)
      EinstellungSichern("Rechnungen", Dokumentschluessel(auftrag_.Dokumentpfad()),
                         std::to_string(rechnung));
  } catch (const Laufzeitfehler& fehler) {
    Fehler("Der Auftrag ließ sich nicht öffnen.", fehler.Beschreibung());
    // Back to the invoice that was open (its locks were let go a moment ago).
    Falle falle("Hauptfenster", "AuftragWechseln");
    falle([&] {
      auftrag_.Oeffnen(auftrag_.Dokumentpfad(), auftrag_.Datenbankpfad(), alterBenutzer, alt,
                       lesen);
    });
  }
  PanelFuellen();
  vorschau_->Zeigen(auftrag_.Dokument());
}

void Hauptfenster::RechnungWechseln() {
  if (!auftrag_.Offen()) {
    DokumentWaehlen();
    return;
  }
  Oeffnen(auftrag_.Dokumentpfad(), auftrag_.Datenbankpfad());
}

void Hauptfenster::Zuletzt(const std::filesystem::path& datei) {
  std::vector<std::string> liste{std::filesystem::absolute(datei).string()};
  std::vector<std::string> datenbanken{
      std::filesystem::absolute(auftrag_.Datenbankpfad()).string()};
  for (int i = 1; i <= kZuletztAnzahl; ++i) {
    const std::string eintrag = gui::Zuletzt("Datei" + std::to_string(i));
    if (!eintrag.empty() && eintrag != liste.front() &&
        static_cast<int>(liste.size()) < kZuletztAnzahl) {
      liste.push_back(eintrag);
      datenbanken.push_back(gui::Zuletzt("Datenbank" + std::to_string(i)));
    }
  }
  for (std::size_t i = 0; i < liste.size(); ++i) {
    EinstellungSichern("Zuletzt", "Datei" + std::to_string(i + 1), liste[i]);
    EinstellungSichern("Zuletzt", "Datenbank" + std::to_string(i + 1), datenbanken[i]);
  }
  ZuletztMenue();
}

void Hauptfenster::ZuletztMenue() {
  zuletzt_->clear();
  for (int i = 1; i <= kZuletztAnzahl; ++i) {
    const std::string datei = gui::Zuletzt("Datei" + std::to_string(i));
    const std::string datenbank = gui::Zuletzt("Datenbank" + std::to_string(i));
    if (datei.empty()) continue;
    zuletzt_->addAction(QString("&%1 %2").arg(i).arg(Q(datei)), this,
                        [this, datei, datenbank] { Oeffnen(datei, datenbank); });
  }
  zuletzt_->setEnabled(!zuletzt_->isEmpty());
}

void Hauptfenster::DokumentWaehlen() {
  const QString datei =
      QFileDialog::getOpenFileName(this, "Rechnung öffnen", QString(), "Word-Dokumente (*.docx)");
  if (datei.isEmpty()) return;
  std::filesystem::path datenbank = auftrag_.Datenbankpfad();
  if (datenbank.empty()) {
    const QString wahl = QFileDialog::getOpenFileName(this, "Auftragsdatenbank öffnen", QString(),
                                                      "Auftragsdatenbank (*.db *.sqlite)");
    if (wahl.isEmpty()) return;
    datenbank = wahl.toStdString();
  }
  Oeffnen(datei.toStdString(), datenbank);
}

void Hauptfenster::DatenbankWaehlen(bool neu) {
  const QString datei =
      neu ? QFileDialog::getSaveFileName(this, "Neue Auftragsdatenbank", "Auftraege.db",
                                         "Auftragsdatenbank (*.db)")
          : QFileDialog::getOpenFileName(this, "Auftragsdatenbank öffnen", QString(),
                                         "Auftragsdatenbank (*.db *.sqlite)");
  if (datei.isEmpty()) return;
  if (neu) {
    try {
      BeispieldatenbankAnlegen(datei.toStdString());
    } catch (const Laufzeitfehler& fehler) {
      Fehler("Die Datenbank wurde nicht angelegt.", fehler.Beschreibung());
      return;
    }
  }
  DatenbankGewaehlt(datei.toStdString());
}

void Hauptfenster::ServerWaehlen() {
  if (const auto adresse = Serververbindung::Erfragen(this)) DatenbankGewaehlt(*adresse);
}

void Hauptfenster::DatenbankGewaehlt(const std::string& datenbank) {
  if (auftrag_.Dokumentpfad().empty()) {
    datenbankLabel_->setText(QString::fromStdString(datenbank));
    statusBar()->showMessage("Datenbank gewählt; öffnen Sie nun die Rechnung.");
    const QString dokument =
        QFileDialog::getOpenFileName(this, "Rechnung öffnen", QString(), "Word-Dokumente (*.docx)");
    if (!dokument.isEmpty()) Oeffnen(dokument.toStdString(), datenbank);
    return;
  }
  Oeffnen(auftrag_.Dokumentpfad(), datenbank);
}

}  // namespace tarvo::gui
