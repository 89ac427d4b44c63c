#include "Hauptfenster.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDockWidget>
#include <QFileDialog>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <fstream>
#include <sstream>

#include "Rechnungswahl.h"
#include "Vorschau.h"
#include "errors/Falle.h"
#include "errors/Laufzeitfehler.h"
#include "errors/Protokoll.h"
#include "forms/Formulare.h"
#include "forms/kat1/frmKat1.h"
#include "host/Auftragssitzung.h"
#include "host/Wiederherstellung.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Oberflaeche.h"
#include "platform/qt/Formularansicht.h"
#include "platform/qt/QtBildschirm.h"

namespace tarvo::gui {
namespace {

constexpr const char* kAnwendung = "tarvo-gui";
constexpr int kZuletztAnzahl = 5;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

std::string Einstellung(const std::string& abschnitt, const std::string& schluessel) {
  return controls::Bildschirm::Aktuell().GetSetting(kAnwendung, abschnitt, schluessel, "");
}

void EinstellungSichern(const std::string& abschnitt, const std::string& schluessel,
                        const std::string& wert) {
  Falle falle("Hauptfenster", "EinstellungSichern");
  falle([&] {
    controls::Bildschirm::Aktuell().SaveSetting(kAnwendung, abschnitt, schluessel, wert);
  });
}

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

// A question with buttons of its own; the index of the button pressed (Escape: `abbruch`).
int Fragen(QWidget* eltern, const QString& titel, const QString& text, const QStringList& knoepfe,
           int vorgabe, int abbruch) {
  QMessageBox frage(QMessageBox::Question, titel, text, QMessageBox::NoButton, eltern);
  frage.setObjectName("Frage");
  std::vector<QPushButton*> liste;
  for (const QString& k : knoepfe) liste.push_back(frage.addButton(k, QMessageBox::ActionRole));
  frage.setDefaultButton(liste[vorgabe]);
  frage.setEscapeButton(liste[abbruch]);
  frage.exec();
  for (std::size_t i = 0; i < liste.size(); ++i)
    if (frage.clickedButton() == liste[i]) return static_cast<int>(i);
  return abbruch;
}

}  // namespace

std::vector<std::pair<std::int16_t, std::string>> Kategorien() {
  formulare::FormulareRegistrieren();
  Kat1Registrieren();
  std::vector<std::pair<std::int16_t, std::string>> liste;
  for (std::int16_t index = 0; index <= 5; ++index) {
    auto formular = formulare::Formular(index);
    if (formular && !formular->Steuerelemente().empty())
      liste.emplace_back(index, formular->Caption);
  }
  return liste;
}

Hauptfenster::Hauptfenster(std::shared_ptr<qt::QtBildschirm> bildschirm, QWidget* parent)
    : QMainWindow(parent), bildschirm_(std::move(bildschirm)) {
  setObjectName("Hauptfenster");
  bereich_ = new QMdiArea(this);
  bereich_->setObjectName("Formulare");
  setCentralWidget(bereich_);
  bildschirm_->Hostfenster(Fensternummer, bereich_);
  bildschirm_->Hauptfenster(this);
  bildschirm_->NachEntladen = [this](controls::Form& form) { Abgeschlossen(form); };
  controls::Bildschirm::Setzen(bildschirm_);
  auftrag_.NachOk([this] { OkVerarbeitet(); });

  auto* panel = new QDockWidget("Auftrag", this);
  panel->setObjectName("Auftrag");
  panel->setWidget(PanelAnlegen());
  addDockWidget(Qt::LeftDockWidgetArea, panel);

  auto* dock = new QDockWidget("Vorschau", this);
  dock->setObjectName("VorschauDock");
  vorschau_ = new Vorschau(dock);
  dock->setWidget(vorschau_);
  addDockWidget(Qt::RightDockWidgetArea, dock);
  resize(1400, 860);
  resizeDocks({dock}, {460}, Qt::Horizontal);

  MenusAnlegen();
  TitelSetzen();
  statusBar()->showMessage("Bereit. Öffnen Sie eine Rechnung und die Auftragsdatenbank.");
  ArbeitsplatzLaden();
}

Hauptfenster::~Hauptfenster() {
  bildschirm_->NachEntladen = nullptr;
  schliessen_ = true;
  // The forms go before the window that shows them.
  for (auto [index, titel] : Kategorien()) {
    if (auto form = formulare::Formular(index); form && form->Loaded()) {
      Falle falle("Hauptfenster", "Beenden");
      falle([&] { form->Unload(); });
    }
  }
  for (auto& [form, offen] : offen_)
    if (offen.ok) offen.ok->Click.Disconnect(offen.hoerer);
}

void Hauptfenster::MenusAnlegen() {
  QMenu* datei = menuBar()->addMenu("&Datei");
  datei->addAction("Rechnung ö&ffnen …", QKeySequence::Open, this, [this] { DokumentWaehlen(); });
  datei->addAction("Rechnungssatz &wählen …", this, [this] { RechnungWechseln(); });
  zuletzt_ = datei->addMenu("&Zuletzt geöffnet");
  ZuletztMenue();
  datei->addAction("&Speichern", QKeySequence("Ctrl+S"), this, [this] { Speichern(); });
  datei->addSeparator();
  datei->addAction("&Beenden", QKeySequence("Ctrl+Q"), this, [this] { close(); });

  QMenu* bearbeiten = menuBar()->addMenu("&Bearbeiten");
  bearbeiten->addAction("&Rückgängig (letztes »OK«)", QKeySequence("Ctrl+Z"), this,
                        [this] { Rueckgaengig(); });

  QMenu* datenbank = menuBar()->addMenu("Daten&bank");
  datenbank->addAction("Ö&ffnen …", this, [this] { DatenbankWaehlen(false); });
  datenbank->addAction("&Neu mit Beispieldaten …", this, [this] { DatenbankWaehlen(true); });

  QMenu* kategorie = menuBar()->addMenu("&Kategorie");
  for (auto [index, titel] : Kategorien()) {
    QAction* aktion = kategorie->addAction(QString("&%1 ").arg(index + 1) + Q(titel), this,
                                           [this, index = index] { KategorieOeffnen(index); });
    aktion->setShortcut(QKeySequence(QString("Ctrl+%1").arg(index + 1)));
    aktion->setObjectName(QString("AktionKategorie%1").arg(index + 1));
  }

  QMenu* fenster = menuBar()->addMenu("&Fenster");
  fenster->addAction("&Nebeneinander", bereich_, &QMdiArea::tileSubWindows);
  fenster->addAction("&Überlappend", bereich_, &QMdiArea::cascadeSubWindows);
  fenster->addSeparator();
  for (QDockWidget* dock : findChildren<QDockWidget*>()) {
    QAction* zeigen = dock->toggleViewAction();
    zeigen->setText("&" + dock->windowTitle());
    zeigen->setObjectName("Zeigen" + dock->objectName());
    fenster->addAction(zeigen);
  }

  QMenu* protokoll = menuBar()->addMenu("&Protokoll");
  protokoll->addAction("Verw.log &anzeigen", this, [this] { ProtokollZeigen(); });

  QMenu* hilfe = menuBar()->addMenu("&Hilfe");
  hilfe->addAction("&Inhalt", QKeySequence::HelpContents, this, [] { HTMLHelp_ShowTopic(""); });
}

QWidget* Hauptfenster::PanelAnlegen() {
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  auto* felder = new QFormLayout;
  dokumentLabel_ = new QLabel("–");
  dokumentLabel_->setWordWrap(true);
  datenbankLabel_ = new QLabel("–");
  datenbankLabel_->setWordWrap(true);
  benutzer_ = new QComboBox;
  benutzer_->setObjectName("Benutzer");
  rechnung_ = new QComboBox;
  rechnung_->setObjectName("Rechnung");
  felder->addRow("Rechnung (Dokument):", dokumentLabel_);
  felder->addRow("Datenbank:", datenbankLabel_);
  felder->addRow("&Benutzer:", benutzer_);
  felder->addRow("&Rechnungssatz:", rechnung_);
  for (const std::string& name : Auftragsfuehrung::Eigenschaftsnamen()) {
    auto* feld = new QLineEdit;
    feld->setObjectName(Q(name));
    eigenschaften_[name] = feld;
    felder->addRow(Q(name) + ":", feld);
    // A value the property refuses is marked on the field as soon as the field is left.
    connect(feld, &QLineEdit::editingFinished, this, [this, name] {
      if (auftrag_.Offen()) EigenschaftSetzen(name);
    });
  }
  layout->addLayout(felder);
  standLabel_ = new QLabel;
  standLabel_->setObjectName("Stand");
  standLabel_->setWordWrap(true);
  layout->addWidget(standLabel_);
  for (auto [index, titel] : Kategorien()) {
    auto* knopf = new QPushButton(Q(titel));
    knopf->setObjectName(QString("Kategorie%1").arg(index + 1));
    connect(knopf, &QPushButton::clicked, this, [this, index = index] { KategorieOeffnen(index); });
    layout->addWidget(knopf);
  }
  layout->addStretch(1);
  connect(benutzer_, &QComboBox::activated, this, [this] { AuftragWechseln(); });
  connect(rechnung_, &QComboBox::activated, this, [this] { AuftragWechseln(); });
  return panel;
}

void Hauptfenster::PanelFuellen() {
  fuellen_ = true;
  dokumentLabel_->setText(Q(auftrag_.Dokumentpfad().filename().string()));
  dokumentLabel_->setToolTip(Q(auftrag_.Dokumentpfad().string()));
  datenbankLabel_->setText(Q(auftrag_.Datenbankpfad().filename().string()));
  datenbankLabel_->setToolTip(Q(auftrag_.Datenbankpfad().string()));
  benutzer_->clear();
  rechnung_->clear();
  Falle falle("Hauptfenster", "PanelFuellen");
  falle([&] {
    for (std::int32_t id : Auftragsfuehrung::Benutzerliste(auftrag_.Datenbankpfad()))
      benutzer_->addItem(QString::number(id), id);
    benutzer_->setCurrentIndex(benutzer_->findData(auftrag_.Benutzer()));
  });
  falle([&] {
    rechnung_->addItem("(keiner)", 0);
    for (const Rechnungseintrag& r : Auftragsfuehrung::Rechnungen(auftrag_.Datenbankpfad()))
      rechnung_->addItem(QString("%1 vom %2, Art %3").arg(r.nummer).arg(Q(r.datum)).arg(r.art),
                         r.nummer);
    rechnung_->setCurrentIndex(rechnung_->findData(auftrag_.Rechnung().value_or(0)));
  });
  falle([&] { standLabel_->setText(Q(auftrag_.Rechnungsstand())); });
  for (QPushButton* knopf : findChildren<QPushButton*>(QRegularExpression("^Kategorie\\d$")))
    knopf->setEnabled(auftrag_.Offen() && !auftrag_.Schreibgeschuetzt());
  fuellen_ = false;
  TitelSetzen();
}

void Hauptfenster::TitelSetzen() {
  QString titel = "tarvo – Vermessungsgebühren";
  if (auftrag_.Offen()) {
    titel = Q(auftrag_.Dokumentpfad().filename().string()) + "[*]";
    if (auftrag_.Rechnung()) titel += QString(" (Rechnung %1)").arg(*auftrag_.Rechnung());
    if (auftrag_.Schreibgeschuetzt()) titel += " – schreibgeschützt";
    titel += " – tarvo";
  }
  setWindowTitle(titel);
  setWindowModified(auftrag_.Geaendert());
}

QLineEdit* Hauptfenster::Eigenschaft(const std::string& name) const {
  const auto it = eigenschaften_.find(name);
  return it == eigenschaften_.end() ? nullptr : it->second;
}

void Hauptfenster::Fehler(const std::string& was, const std::string& meldung) {
  MsgBox(was + "\n\n" + meldung, controls::msgbox::Exclamation, "tarvo");
  statusBar()->showMessage(Q(was));
}

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

bool Hauptfenster::EigenschaftSetzen(const std::string& name) {
  QLineEdit* feld = eigenschaften_.at(name);
  const QString text = feld->text().trimmed();
  try {
    // An empty field lets the property empty: no value of an earlier form survives.
    auftrag_.EigenschaftSetzen(name, text.isEmpty() ? Variant() : Variant(text.toStdString()));
  } catch (const Laufzeitfehler& fehler) {
    const QString grund = Q(name + ": »" + text.toStdString() + "« – " + fehler.Beschreibung());
    feld->setStyleSheet("QLineEdit { background: #ffd7d7; }");
    feld->setToolTip(grund);
    statusBar()->showMessage(grund);
    return false;
  }
  feld->setStyleSheet(QString());
  feld->setToolTip(QString());
  return true;
}

bool Hauptfenster::EigenschaftenSetzen() {
  QLineEdit* erstes = nullptr;
  for (const std::string& name : Auftragsfuehrung::Eigenschaftsnamen())
    if (!EigenschaftSetzen(name) && !erstes) erstes = eigenschaften_.at(name);
  if (!erstes) return true;
  statusBar()->showMessage(erstes->toolTip());
  erstes->setFocus();
  erstes->selectAll();
  return false;
}

controls::Form* Hauptfenster::KategorieOeffnen(std::int16_t kategorie) {
  if (!auftrag_.Offen()) {
    Fehler("Es ist kein Auftrag geöffnet.", "Öffnen Sie zuerst eine Rechnung und die Datenbank.");
    return nullptr;
  }
  if (auftrag_.Schreibgeschuetzt()) {
    Fehler("Die Rechnung ist schreibgeschützt geöffnet.",
           "Ein anderer Arbeitsplatz bearbeitet sie; sie kann nur angesehen werden.");
    return nullptr;
  }
  // A form already open is brought to the front.
  if (auto offen = formulare::Formular(kategorie); offen && offen->Loaded()) {
    for (QMdiSubWindow* kind : bereich_->subWindowList())
      if (kind == bildschirm_->Fenster(*offen)) bereich_->setActiveSubWindow(kind);
    return offen.get();
  }
  if (!EigenschaftenSetzen()) return nullptr;
  fehlerVorher_ = protokoll::AnzahlGemeldet();
  controls::Form* form = nullptr;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    form = &auftrag_.FormularZeigen(kategorie, Fensternummer, {});
  } catch (const Laufzeitfehler& fehler) {
    QApplication::restoreOverrideCursor();
    Fehler("Das Formular ließ sich nicht öffnen.", fehler.Beschreibung());
    return nullptr;
  }
  QApplication::restoreOverrideCursor();
  OffenesFormular& offen = offen_[form];
  if (offen.ok) offen.ok->Click.Disconnect(offen.hoerer);
  offen = OffenesFormular{};
  offen.ok = dynamic_cast<controls::CommandButton*>(form->Steuerelement("CommandEnde"));
  if (offen.ok)
    offen.hoerer = offen.ok->Click.ConnectFront([this, form] {
      offen_[form].okGedrueckt = true;
      okFormular_ = form->Caption;
    });
  if (QWidget* fenster = bildschirm_->Fenster(*form)) fenster->installEventFilter(this);
  SpaltenLaden(*form);
  statusBar()->showMessage(Q("»" + form->Caption + "« geöffnet."));
  return form;
}

void Hauptfenster::Abgeschlossen(controls::Form& form) {
  const auto it = offen_.find(&form);
  if (it == offen_.end()) return;
  SpaltenSichern(form);
  const bool ok = it->second.okGedrueckt;
  if (it->second.ok) it->second.ok->Click.Disconnect(it->second.hoerer);
  offen_.erase(it);
  // After "OK" the job reports itself once it has kept the pending state (OkVerarbeitet).
  if (!ok) statusBar()->showMessage(Q("»" + form.Caption + "« abgebrochen, nichts geschrieben."));
}

void Hauptfenster::OkVerarbeitet() {
  TitelSetzen();
  if (const auto fehler = auftrag_.OkFehler()) {
    Fehler(
        "Die Rechnungssumme ließ sich nicht im Rechnungssatz festhalten; das »OK« wurde "
        "zurückgenommen.",
        *fehler);
    vorschau_->Zeigen(auftrag_.Dokument());
    return;
  }
  std::string text = "»" + okFormular_ + "« in " + auftrag_.Dokumentpfad().filename().string() +
                     " geschrieben (noch nicht gespeichert; Strg+S speichert, Strg+Z nimmt "
                     "zurück)";
  Falle falle("Hauptfenster", "OkVerarbeitet");
  falle([&] {
    const std::string stand = auftrag_.Rechnungsstand();
    if (!stand.empty()) text += "; " + stand;
    standLabel_->setText(Q(stand));
  });
  const std::int64_t fehler = protokoll::AnzahlGemeldet() - fehlerVorher_;
  if (fehler > 0)
    text += ". ACHTUNG: " + std::to_string(fehler) + " Fehler protokolliert in " +
            protokoll::Datei().string() + " (Protokoll ▸ Verw.log anzeigen)";
  statusBar()->showMessage(Q(text + "."));
  vorschau_->Zeigen(auftrag_.Dokument());
}

bool Hauptfenster::Speichern() {
  if (!auftrag_.Offen() || auftrag_.Schreibgeschuetzt()) return false;
  if (!FormulareSchliessen()) return false;
  try {
    try {
      auftrag_.Speichern(auftrag_.Dokumentpfad());
    } catch (const Laufzeitfehler& fehler) {
      if (fehler.Nummer() != Auftragssitzung::kAndererArbeitsplatz) throw;
      const int wahl = Fragen(
          this, "Rechnungssatz geändert",
          Q(fehler.Beschreibung() + "\n\nSollen die Summen dieser Rechnung trotzdem gespeichert "
                                    "werden? Die Änderung des anderen Arbeitsplatzes geht dann "
                                    "verloren."),
          {"Ü&berschreiben", "Abbrechen"}, 1, 1);
      if (wahl != 0) {
        statusBar()->showMessage("Nicht gespeichert: der Rechnungssatz wurde anderswo geändert.");
        return false;
      }
      auftrag_.Speichern(auftrag_.Dokumentpfad(), true);
    }
  } catch (const Laufzeitfehler& fehler) {
    Fehler("Die Rechnung wurde nicht gespeichert; die Änderungen bleiben offen.",
           fehler.Beschreibung());
    return false;
  }
  TitelSetzen();
  standLabel_->setText(Q(auftrag_.Rechnungsstand()));
  statusBar()->showMessage(Q("Gespeichert: " + auftrag_.Dokumentpfad().string()));
  vorschau_->Zeigen(auftrag_.Dokument());
  return true;
}

bool Hauptfenster::Rueckgaengig() {
  if (!auftrag_.Geaendert()) {
    statusBar()->showMessage("Nichts zurückzunehmen.");
    return false;
  }
  try {
    auftrag_.Rueckgaengig();
  } catch (const Laufzeitfehler& fehler) {
    Fehler("Das letzte »OK« ließ sich nicht zurücknehmen.", fehler.Beschreibung());
    return false;
  }
  TitelSetzen();
  Falle falle("Hauptfenster", "Rueckgaengig");
  falle([&] { standLabel_->setText(Q(auftrag_.Rechnungsstand())); });
  statusBar()->showMessage("Das letzte »OK« ist zurückgenommen.");
  vorschau_->Zeigen(auftrag_.Dokument());
  return true;
}

bool Hauptfenster::Weiter() {
  if (!auftrag_.Geaendert()) return true;
  const int wahl =
      Fragen(this, "tarvo",
             Q("Änderungen an »" + auftrag_.Dokumentpfad().filename().string() + "« speichern?"),
             {"&Speichern", "&Verwerfen", "Abbrechen"}, 0, 2);
  if (wahl == 0) return Speichern();
  if (wahl == 1) {
    try {
      auftrag_.Verwerfen();
    } catch (const Laufzeitfehler& fehler) {
      Fehler("Die Änderungen ließen sich nicht verwerfen.", fehler.Beschreibung());
      return false;
    }
    TitelSetzen();
    vorschau_->Zeigen(auftrag_.Dokument());
    return true;
  }
  return false;
}

bool Hauptfenster::FormulareSchliessen() {
  for (auto [index, titel] : Kategorien()) {
    auto form = formulare::Formular(index);
    if (!form || !form->Loaded()) continue;
    const int wahl = Fragen(this, "tarvo",
                            Q("Das Formular »" + titel +
                              "« ist noch geöffnet; seine Eingaben gehen beim Schließen "
                              "verloren. Schließen?"),
                            {"S&chließen", "Abbrechen"}, 1, 1);
    if (wahl != 0) return false;
    schliessen_ = true;
    Falle falle("Hauptfenster", "FormulareSchliessen");
    falle([&] { form->Unload(); });
    schliessen_ = false;
  }
  return true;
}

bool Hauptfenster::eventFilter(QObject* objekt, QEvent* ereignis) {
  // A form's window closed through its frame: its typed rows would be gone.
  if (ereignis->type() != QEvent::Close || schliessen_) return false;
  for (const auto& [form, offen] : offen_) {
    if (bildschirm_->Fenster(*form) != objekt) continue;
    const int wahl =
        Fragen(this, "tarvo",
               Q("»" + form->Caption + "« schließen? Die Eingaben im Formular gehen verloren."),
               {"S&chließen", "Abbrechen"}, 1, 1);
    if (wahl == 0) return false;
    ereignis->ignore();
    return true;
  }
  return false;
}

void Hauptfenster::changeEvent(QEvent* ereignis) {
  QMainWindow::changeEvent(ereignis);
  // The changed marker follows the job alone: a form's MDI window that goes away resets the
  // host window's modified state, so it is put back as the job has it.
  if (ereignis->type() == QEvent::ModifiedChange && isWindowModified() != auftrag_.Geaendert())
    QTimer::singleShot(0, this, [this] { setWindowModified(auftrag_.Geaendert()); });
}

void Hauptfenster::closeEvent(QCloseEvent* ereignis) {
  if (!FormulareSchliessen() || !Weiter()) {
    ereignis->ignore();
    return;
  }
  ArbeitsplatzSichern();
  auftrag_.Schliessen();
  ereignis->accept();
}

void Hauptfenster::WiederherstellungAnbieten() {
  for (const Wiederherstellungsstand& stand :
       Wiederherstellung::Verwaist(auftrag_.Wiederherstellungsordner())) {
    const std::string was =
        "»" + stand.dokument.filename().string() + "«" +
        (stand.rechnung ? " (Rechnung " + std::to_string(*stand.rechnung) + ")" : "");
    const int wahl = Fragen(
        this, "Wiederherstellung",
        Q("tarvo wurde beendet, ohne die Änderungen an " + was + " vom " + stand.zeit +
          " zu speichern.\n\nSollen sie wiederhergestellt werden? Gespeichert werden sie erst "
          "mit »Speichern«."),
        {"&Wiederherstellen", "&Verwerfen", "&Später"}, 0, 2);
    if (wahl == 1) Wiederherstellung::Entfernen(stand);
    if (wahl != 0) continue;
    if (!Oeffnen(stand.dokument, stand.datenbank, stand.rechnung)) continue;
    try {
      auftrag_.Wiederherstellen(stand);
    } catch (const Laufzeitfehler& fehler) {
      Fehler("Die Änderungen ließen sich nicht wiederherstellen.", fehler.Beschreibung());
      continue;
    }
    TitelSetzen();
    standLabel_->setText(Q(auftrag_.Rechnungsstand()));
    statusBar()->showMessage(Q("Wiederhergestellt: " + was + " (noch nicht gespeichert)."));
    vorschau_->Zeigen(auftrag_.Dokument());
    return;  // one job at a time; the others are offered at the next start
  }
}

void Hauptfenster::ArbeitsplatzLaden() {
  const QByteArray geometrie =
      QByteArray::fromBase64(QByteArray::fromStdString(Einstellung("Fenster", "Geometrie")));
  const QByteArray zustand =
      QByteArray::fromBase64(QByteArray::fromStdString(Einstellung("Fenster", "Zustand")));
  if (!geometrie.isEmpty()) restoreGeometry(geometrie);
  if (!zustand.isEmpty()) restoreState(zustand);
}

void Hauptfenster::ArbeitsplatzSichern() {
  EinstellungSichern("Fenster", "Geometrie", saveGeometry().toBase64().toStdString());
  EinstellungSichern("Fenster", "Zustand", saveState().toBase64().toStdString());
  for (const auto& [form, offen] : offen_) SpaltenSichern(*form);
}

// The grids of a form get the column widths the user dragged last time; dragging them again
// is noted (only while a mouse button is down: the form's own widths are the designed ones).
void Hauptfenster::SpaltenLaden(controls::Form& form) {
  QWidget* ansicht = bildschirm_->Ansicht(form);
  if (!ansicht) return;
  OffenesFormular& offen = offen_[&form];
  for (QTableView* raster : ansicht->findChildren<QTableView*>()) {
    offen.raster.emplace_back(raster);
    const QString gemerkt =
        Q(Einstellung("Spalten", form.Name() + "." + raster->objectName().toStdString()));
    QHeaderView* kopf = raster->horizontalHeader();
    const QStringList breiten = gemerkt.split(',', Qt::SkipEmptyParts);
    for (int i = 0; i < breiten.size() && i < kopf->count(); ++i)
      if (breiten[i].toInt() > 0) kopf->resizeSection(i, breiten[i].toInt());
    connect(kopf, &QHeaderView::sectionResized, this, [this, f = &form, raster] {
      if (QApplication::mouseButtons() == Qt::NoButton) return;
      const auto it = offen_.find(f);
      if (it == offen_.end()) return;
      std::vector<int> breiten;
      for (int i = 0; i < raster->horizontalHeader()->count(); ++i)
        breiten.push_back(raster->horizontalHeader()->sectionSize(i));
      it->second.breiten[raster] = breiten;
    });
  }
}

void Hauptfenster::SpaltenSichern(const controls::Form& form) {
  const auto it = offen_.find(&form);
  if (it == offen_.end()) return;
  for (const QPointer<QTableView>& raster : it->second.raster) {
    if (!raster) continue;
    const auto breiten = it->second.breiten.find(raster.data());
    if (breiten == it->second.breiten.end()) continue;
    std::string text;
    for (int breite : breiten->second) text += (text.empty() ? "" : ",") + std::to_string(breite);
    EinstellungSichern("Spalten", form.Name() + "." + raster->objectName().toStdString(), text);
  }
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
  if (auftrag_.Dokumentpfad().empty()) {
    datenbankLabel_->setText(datei);
    statusBar()->showMessage("Datenbank gewählt; öffnen Sie nun die Rechnung.");
    const QString dokument =
        QFileDialog::getOpenFileName(this, "Rechnung öffnen", QString(), "Word-Dokumente (*.docx)");
    if (!dokument.isEmpty()) Oeffnen(dokument.toStdString(), datei.toStdString());
    return;
  }
  Oeffnen(auftrag_.Dokumentpfad(), datei.toStdString());
}

void Hauptfenster::ProtokollZeigen() {
  const std::filesystem::path datei = protokoll::Datei();
  std::ifstream ein(datei, std::ios::binary);
  std::ostringstream inhalt;
  inhalt << ein.rdbuf();
  QString text = Q(inhalt.str());
  text.remove('\r');
  auto* fenster = new QDialog(this);
  fenster->setAttribute(Qt::WA_DeleteOnClose);
  fenster->setObjectName("Protokoll");
  fenster->setWindowTitle(Q("Protokoll – " + datei.string()));
  auto* layout = new QVBoxLayout(fenster);
  auto* anzeige = new QPlainTextEdit(text.isEmpty() ? "Das Protokoll ist leer." : text);
  anzeige->setReadOnly(true);
  layout->addWidget(anzeige);
  fenster->resize(720, 480);
  fenster->show();
}

}  // namespace tarvo::gui
