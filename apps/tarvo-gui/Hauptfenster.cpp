#include "Hauptfenster.h"

#include <algorithm>

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
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <fstream>
#include <sstream>

#include "ERechnungDialog.h"
#include "Fensterhilfen.h"
#include "Protokollfenster.h"
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
#include "platform/controls/Control.h"
#include "platform/controls/Oberflaeche.h"
#include "platform/qt/Formularansicht.h"
#include "platform/qt/QtBildschirm.h"

namespace tarvo::gui {

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
  // The first start: as large as the work wants, never beyond the screen's free area (room left
  // for the window manager's frame), so that no dock lies partly off the screen.
  QSize groesse(1400, 860);
  if (const QScreen* schirm = QGuiApplication::primaryScreen()) {
    const QRect frei = schirm->availableGeometry();
    if (groesse.width() > frei.width() - 16 || groesse.height() > frei.height() - 48) {
      groesse = groesse.boundedTo(QSize(frei.width() - 16, frei.height() - 48));
      move(frei.topLeft());
    }
  }
  resize(groesse);
  // On a small screen the preview gives way to the form area between the docks.
  resizeDocks({dock}, {groesse.width() >= 1400 ? 460 : groesse.width() * 18 / 100}, Qt::Horizontal);

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
  for (auto& [form, offen] : offen_) Loesen(offen);
}

void Hauptfenster::ERechnungZeigen() {
  if (!auftrag_.Offen() || !auftrag_.Rechnung() || !auftrag_.Datenbank()) {
    Fehler("Es ist keine Rechnung geöffnet.",
           "Die E-Rechnung entsteht aus einer Rechnung mit ihrem Rechnungssatz.");
    return;
  }
  // The e-invoice is made from the saved document and the stored record.
  if (Geaendert() && !Speichern()) return;
  ERechnungDialog dialog(*auftrag_.Datenbank(), auftrag_.Dokumentpfad(), *auftrag_.Rechnung(),
                         auftrag_.Benutzer(), this);
  dialog.exec();
  if (!dialog.Geschrieben().empty())
    statusBar()->showMessage(
        QString::fromStdString("E-Rechnung geschrieben: " + dialog.Geschrieben().string()));
}

void Hauptfenster::MenusAnlegen() {
  QMenu* datei = menuBar()->addMenu("&Datei");
  datei->addAction("Rechnung ö&ffnen …", QKeySequence::Open, this, [this] { DokumentWaehlen(); });
  datei->addAction("Rechnungssatz &wählen …", this, [this] { RechnungWechseln(); });
  zuletzt_ = datei->addMenu("&Zuletzt geöffnet");
  ZuletztMenue();
  datei->addAction("&Speichern", QKeySequence("Ctrl+S"), this, [this] { Speichern(); });
  datei->addAction("&E-Rechnung erzeugen …", this, [this] { ERechnungZeigen(); });
  datei->addSeparator();
  datei->addAction("&Beenden", QKeySequence("Ctrl+Q"), this, [this] { close(); });

  QMenu* bearbeiten = menuBar()->addMenu("&Bearbeiten");
  bearbeiten->addAction("&Rückgängig (letztes »OK«)", QKeySequence("Ctrl+Z"), this,
                        [this] { Rueckgaengig(); });

  QMenu* datenbank = menuBar()->addMenu("Daten&bank");
  datenbank->addAction("Ö&ffnen …", this, [this] { DatenbankWaehlen(false); });
  datenbank->addAction("&Neu mit Beispieldaten …", this, [this] { DatenbankWaehlen(true); });
  datenbank->addAction("Auf dem &Server …", this, [this] { ServerWaehlen(); });

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
  dokumentLabel_->setObjectName("Dokument");
  dokumentLabel_->setWordWrap(true);
  datenbankLabel_ = new QLabel("–");
  datenbankLabel_->setWordWrap(true);
  benutzer_ = new QComboBox;
  benutzer_->setObjectName("Benutzer");
  rechnung_ = new QComboBox;
  rechnung_->setObjectName("Rechnung");
  // The closed box shows at least number and date ("1 vom 01.12.2026"), not half the date.
  rechnung_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  rechnung_->setMinimumContentsLength(16);
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
  // The panel says it too, beside the document's name.
  if (auftrag_.Offen())
    dokumentLabel_->setText(Q(auftrag_.Dokumentpfad().filename().string()) +
                            (auftrag_.Geaendert() ? " – geändert, nicht gespeichert" : "") +
                            (auftrag_.Schreibgeschuetzt() ? " – schreibgeschützt" : ""));
}

QLineEdit* Hauptfenster::Eigenschaft(const std::string& name) const {
  const auto it = eigenschaften_.find(name);
  return it == eigenschaften_.end() ? nullptr : it->second;
}

void Hauptfenster::Fehler(const std::string& was, const std::string& meldung) {
  MsgBox(was + "\n\n" + meldung, controls::msgbox::Exclamation, "tarvo");
  statusBar()->showMessage(Q(was));
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
  Loesen(offen);
  offen = OffenesFormular{};
  offen.ok = dynamic_cast<controls::CommandButton*>(form->Steuerelement("CommandEnde"));
  if (offen.ok)
    offen.hoerer = offen.ok->Click.ConnectFront([this, form] {
      offen_[form].okGedrueckt = true;
      okFormular_ = form->Caption;
    });
  if (QWidget* fenster = bildschirm_->Fenster(*form)) fenster->installEventFilter(this);
  SpaltenLaden(*form);
  // From here on every change is the user's (or follows from it): closing then asks.
  for (controls::Control* control : form->Steuerelemente())
    offen.beobachtet.emplace_back(control, control->StateChanged.Connect([this, form] {
      if (auto it = offen_.find(form); it != offen_.end()) it->second.bearbeitet = true;
    }));
  statusBar()->showMessage(Q("»" + form->Caption + "« geöffnet."));
  return form;
}

void Hauptfenster::Loesen(OffenesFormular& offen) {
  if (offen.ok) offen.ok->Click.Disconnect(offen.hoerer);
  for (auto [control, hoerer] : offen.beobachtet) control->StateChanged.Disconnect(hoerer);
  offen.ok = nullptr;
  offen.beobachtet.clear();
}

void Hauptfenster::Abgeschlossen(controls::Form& form) {
  const auto it = offen_.find(&form);
  if (it == offen_.end()) return;
  SpaltenSichern(form);
  const bool ok = it->second.okGedrueckt;
  Loesen(it->second);
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
    const auto offen = offen_.find(form.get());
    const bool bearbeitet = offen == offen_.end() || offen->second.bearbeitet;
    const int wahl = !bearbeitet
                         ? 0
                         : Fragen(this, "tarvo",
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
    if (bildschirm_->Fenster(*form) != objekt || !offen.bearbeitet) continue;
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

void Hauptfenster::ProtokollZeigen() {
  auto* fenster = new Protokollfenster(protokoll::Datei(), this);
  fenster->setAttribute(Qt::WA_DeleteOnClose);
  fenster->show();
}

}  // namespace tarvo::gui
