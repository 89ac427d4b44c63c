#include "Hauptfenster.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDockWidget>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <fstream>
#include <sstream>

#include "Protokollfenster.h"
#include "Vorschau.h"
#include "errors/Falle.h"
#include "errors/Laufzeitfehler.h"
#include "errors/Protokoll.h"
#include "forms/Formulare.h"
#include "forms/kat1/frmKat1.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Oberflaeche.h"
#include "platform/qt/QtBildschirm.h"

namespace tarvo::gui {
namespace {

constexpr const char* kAnwendung = "tarvo-gui";
constexpr int kZuletztAnzahl = 5;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

std::string Einstellung(const std::string& schluessel) {
  return controls::Bildschirm::Aktuell().GetSetting(kAnwendung, "Zuletzt", schluessel, "");
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
  setWindowTitle("tarvo – Vermessungsgebühren[*]");
  bereich_ = new QMdiArea(this);
  bereich_->setObjectName("Formulare");
  setCentralWidget(bereich_);
  bildschirm_->Hostfenster(Fensternummer, bereich_);
  bildschirm_->Hauptfenster(this);
  bildschirm_->NachEntladen = [this](controls::Form& form) { Abgeschlossen(form); };
  controls::Bildschirm::Setzen(bildschirm_);

  auto* panel = new QDockWidget("Auftrag", this);
  panel->setObjectName("Auftrag");
  panel->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  panel->setWidget(PanelAnlegen());
  addDockWidget(Qt::LeftDockWidgetArea, panel);

  auto* dock = new QDockWidget("Vorschau", this);
  dock->setObjectName("VorschauDock");
  vorschau_ = new Vorschau(dock);
  dock->setWidget(vorschau_);
  addDockWidget(Qt::RightDockWidgetArea, dock);
  resizeDocks({dock}, {460}, Qt::Horizontal);

  MenusAnlegen();
  statusBar()->showMessage("Bereit. Öffnen Sie eine Rechnung und die Auftragsdatenbank.");
  resize(1400, 860);
}

Hauptfenster::~Hauptfenster() {
  bildschirm_->NachEntladen = nullptr;
  // The forms go before the window that shows them.
  for (auto [index, titel] : Kategorien()) {
    if (auto form = formulare::Formular(index); form && form->Loaded()) {
      Falle falle("Hauptfenster", "Beenden");
      falle([&] { form->Unload(); });
    }
  }
}

void Hauptfenster::MenusAnlegen() {
  QMenu* datei = menuBar()->addMenu("&Datei");
  datei->addAction("Rechnung ö&ffnen …", QKeySequence::Open, this, [this] { DokumentWaehlen(); });
  zuletzt_ = datei->addMenu("&Zuletzt geöffnet");
  ZuletztMenue();
  datei->addAction("&Speichern", QKeySequence::Save, this, [this] { Speichern(); });
  datei->addSeparator();
  datei->addAction("&Beenden", QKeySequence::Quit, this, [this] { close(); });

  QMenu* datenbank = menuBar()->addMenu("Daten&bank");
  datenbank->addAction("Ö&ffnen …", this, [this] { DatenbankWaehlen(false); });
  datenbank->addAction("&Neu mit Beispieldaten …", this, [this] { DatenbankWaehlen(true); });

  QMenu* kategorie = menuBar()->addMenu("&Kategorie");
  for (auto [index, titel] : Kategorien())
    kategorie->addAction(Q(titel), this, [this, index = index] { KategorieOeffnen(index); });

  QMenu* fenster = menuBar()->addMenu("&Fenster");
  fenster->addAction("&Nebeneinander", bereich_, &QMdiArea::tileSubWindows);
  fenster->addAction("&Überlappend", bereich_, &QMdiArea::cascadeSubWindows);

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
  }
  layout->addLayout(felder);
  standLabel_ = new QLabel;
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
    for (std::int32_t id : auftrag_.Benutzerliste()) benutzer_->addItem(QString::number(id), id);
    benutzer_->setCurrentIndex(benutzer_->findData(auftrag_.Benutzer()));
  });
  falle([&] {
    rechnung_->addItem("(keiner)", 0);
    for (const Rechnungseintrag& r : auftrag_.Rechnungen())
      rechnung_->addItem(QString("%1 vom %2, Art %3").arg(r.nummer).arg(Q(r.datum)).arg(r.art),
                         r.nummer);
    rechnung_->setCurrentIndex(rechnung_->findData(auftrag_.Rechnung().value_or(0)));
  });
  falle([&] { standLabel_->setText(Q(auftrag_.Rechnungsstand())); });
  fuellen_ = false;
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
                           const std::filesystem::path& datenbank) {
  if (!Weiter()) return false;
  for (QMdiSubWindow* kind : bereich_->subWindowList()) kind->close();
  try {
    // The users and invoices of the database, read through a session of their own; it holds
    // the job's locks, so it ends (and the current job with it) before the job is opened.
    auftrag_.Schliessen();
    std::vector<std::int32_t> benutzer;
    decltype(auftrag_.Rechnungen()) rechnungen;
    {
      Auftragsfuehrung neu;
      neu.Oeffnen(dokument, datenbank, 1, std::nullopt);
      benutzer = neu.Benutzerliste();
      rechnungen = neu.Rechnungen();
    }
    auftrag_.Oeffnen(
        dokument, datenbank, benutzer.empty() ? 1 : benutzer.front(),
        rechnungen.empty() ? std::nullopt : std::optional<std::int32_t>(rechnungen.front().nummer));
  } catch (const Laufzeitfehler& fehler) {
    Fehler("Der Auftrag ließ sich nicht öffnen.", fehler.Beschreibung());
    return false;
  }
  setWindowModified(false);
  PanelFuellen();
  Zuletzt(dokument);
  statusBar()->showMessage(
      Q("Geöffnet: " + dokument.filename().string() + " mit " + datenbank.filename().string()));
  vorschau_->Zeigen(auftrag_.Dokument());
  return true;
}

void Hauptfenster::AuftragWechseln() {
  if (fuellen_ || !auftrag_.Offen()) return;
  const std::int32_t benutzer = benutzer_->currentData().toInt();
  const std::int32_t rechnung = rechnung_->currentData().toInt();
  if (benutzer == auftrag_.Benutzer() && rechnung == auftrag_.Rechnung().value_or(0)) return;
  // The job is opened anew from the files: unsaved work is saved or given up first.
  if (!Weiter()) {
    PanelFuellen();
    return;
  }
  try {
    auftrag_.Oeffnen(auftrag_.Dokumentpfad(), auftrag_.Datenbankpfad(), benutzer,
                     rechnung ? std::optional<std::int32_t>(rechnung) : std::nullopt);
  } catch (const Laufzeitfehler& fehler) {
    Fehler("Der Auftrag ließ sich nicht öffnen.", fehler.Beschreibung());
  }
  setWindowModified(false);
  PanelFuellen();
}

controls::Form* Hauptfenster::KategorieOeffnen(std::int16_t kategorie) {
  if (!auftrag_.Offen()) {
    Fehler("Es ist kein Auftrag geöffnet.", "Öffnen Sie zuerst eine Rechnung und die Datenbank.");
    return nullptr;
  }
  // A form already open is brought to the front.
  if (auto offen = formulare::Formular(kategorie); offen && offen->Loaded()) {
    for (QMdiSubWindow* kind : bereich_->subWindowList())
      if (kind == bildschirm_->Fenster(*offen)) bereich_->setActiveSubWindow(kind);
    return offen.get();
  }
  std::vector<std::pair<std::string, Variant>> eigenschaften;
  for (const std::string& name : Auftragsfuehrung::Eigenschaftsnamen()) {
    const QString text = eigenschaften_[name]->text().trimmed();
    if (!text.isEmpty()) eigenschaften.emplace_back(name, Variant(text.toStdString()));
  }
  fehlerVorher_ = protokoll::AnzahlGemeldet();
  controls::Form* form = nullptr;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    form = &auftrag_.FormularZeigen(kategorie, Fensternummer, eigenschaften);
  } catch (const Laufzeitfehler& fehler) {
    QApplication::restoreOverrideCursor();
    Fehler("Das Formular ließ sich nicht öffnen.", fehler.Beschreibung());
    return nullptr;
  }
  QApplication::restoreOverrideCursor();
  offen_[form] = false;
  if (auto* ok = dynamic_cast<controls::CommandButton*>(form->Steuerelement("CommandEnde")))
    ok->Click.ConnectFront([this, form] { offen_[form] = true; });
  statusBar()->showMessage(Q("»" + form->Caption + "« geöffnet."));
  return form;
}

void Hauptfenster::Abgeschlossen(controls::Form& form) {
  const auto it = offen_.find(&form);
  if (it == offen_.end()) return;
  const bool ok = it->second;
  offen_.erase(it);
  if (!ok) {
    statusBar()->showMessage(Q("»" + form.Caption + "« abgebrochen, nichts geschrieben."));
    return;
  }
  setWindowModified(true);
  std::string text = "»" + form.Caption + "« in " + auftrag_.Dokumentpfad().filename().string() +
                     " geschrieben (noch nicht gespeichert)";
  Falle falle("Hauptfenster", "Abgeschlossen");
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
  if (!auftrag_.Offen()) return false;
  try {
    auftrag_.Speichern(auftrag_.Dokumentpfad());
  } catch (const Laufzeitfehler& fehler) {
    Fehler("Die Rechnung wurde nicht gespeichert.", fehler.Beschreibung());
    return false;
  }
  setWindowModified(false);
  statusBar()->showMessage(Q("Gespeichert: " + auftrag_.Dokumentpfad().string()));
  vorschau_->Zeigen(auftrag_.Dokument());
  return true;
}

bool Hauptfenster::Weiter() {
  if (!isWindowModified()) return true;
  const std::int32_t antwort =
      MsgBox("Die Rechnung »" + auftrag_.Dokumentpfad().filename().string() +
                 "« wurde geändert. Sollen die Änderungen gespeichert werden?",
             controls::msgbox::YesNoCancel + controls::msgbox::Question, "tarvo");
  if (antwort == controls::msgbox::Yes) return Speichern();
  if (antwort == controls::msgbox::No) {
    setWindowModified(false);
    return true;
  }
  return false;
}

void Hauptfenster::closeEvent(QCloseEvent* ereignis) {
  if (!Weiter()) {
    ereignis->ignore();
    return;
  }
  ereignis->accept();
}

void Hauptfenster::Zuletzt(const std::filesystem::path& datei) {
  std::vector<std::string> liste{std::filesystem::absolute(datei).string()};
  for (int i = 1; i <= kZuletztAnzahl; ++i) {
    const std::string eintrag = Einstellung("Datei" + std::to_string(i));
    if (!eintrag.empty() && eintrag != liste.front() &&
        static_cast<int>(liste.size()) < kZuletztAnzahl)
      liste.push_back(eintrag);
  }
  Falle falle("Hauptfenster", "Zuletzt");
  for (std::size_t i = 0; i < liste.size(); ++i) {
    falle([&] {
      controls::Bildschirm::Aktuell().SaveSetting(kAnwendung, "Zuletzt",
                                                  "Datei" + std::to_string(i + 1), liste[i]);
      controls::Bildschirm::Aktuell().SaveSetting(
          kAnwendung, "Zuletzt", "Datenbank" + std::to_string(i + 1),
          i == 0 ? auftrag_.Datenbankpfad().string()
                 : Einstellung("Datenbank" + std::to_string(i + 1)));
    });
  }
  ZuletztMenue();
}

void Hauptfenster::ZuletztMenue() {
  zuletzt_->clear();
  for (int i = 1; i <= kZuletztAnzahl; ++i) {
    const std::string datei = Einstellung("Datei" + std::to_string(i));
    const std::string datenbank = Einstellung("Datenbank" + std::to_string(i));
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
    auftrag_.Schliessen();
    const QString dokument =
        QFileDialog::getOpenFileName(this, "Rechnung öffnen", QString(), "Word-Dokumente (*.docx)");
    if (!dokument.isEmpty()) Oeffnen(dokument.toStdString(), datei.toStdString());
    return;
  }
  Oeffnen(auftrag_.Dokumentpfad(), datei.toStdString());
}

void Hauptfenster::ProtokollZeigen() {
  auto* fenster = new Protokollfenster(protokoll::Datei(), this);
  fenster->setAttribute(Qt::WA_DeleteOnClose);
  fenster->show();
}

}  // namespace tarvo::gui
