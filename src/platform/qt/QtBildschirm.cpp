#include "platform/qt/QtBildschirm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "errors/Falle.h"
#include "errors/Laufzeitfehler.h"
#include "platform/controls/Form.h"
#include "platform/controls/Oberflaeche.h"
#include "platform/qt/Ansichten.h"
#include "platform/qt/Formularansicht.h"
#include "platform/qt/Masse.h"
#include "platform/qt/RasterAnsicht.h"

namespace tarvo::qt {
namespace {

// F1 anywhere in a form shows that form's help page. The key is claimed before shortcuts are
// matched, so the host window's F1 (the start page) does not compete with it.
class Hilfetaste : public QObject {
 public:
  Hilfetaste(const controls::Form& form, QWidget& ansicht)
      : QObject(&ansicht), thema_(HilfeThema(form.Name())) {}

  bool eventFilter(QObject*, QEvent* ereignis) override {
    const QEvent::Type art = ereignis->type();
    if (art != QEvent::ShortcutOverride && art != QEvent::KeyPress) return false;
    auto* taste = static_cast<QKeyEvent*>(ereignis);
    if (taste->key() != Qt::Key_F1 || taste->modifiers() != Qt::NoModifier) return false;
    ereignis->accept();
    if (art == QEvent::KeyPress) HTMLHelp_ShowTopic(thema_);
    return true;
  }

 private:
  std::string thema_;
};

// Keeps the form's placement in step with its window and turns closing the window through its
// frame into unloading the form.
class Fensterwaechter : public QObject {
 public:
  Fensterwaechter(controls::Form& form, Formularansicht& ansicht, QWidget& fenster)
      : QObject(&fenster), form_(form), ansicht_(&ansicht), fenster_(fenster) {}

  bool eventFilter(QObject* objekt, QEvent* ereignis) override {
    // Only these events touch the view; the others also come while the window is destroyed.
    const QEvent::Type art = ereignis->type();
    if (art != QEvent::Move && art != QEvent::Resize && art != QEvent::WindowStateChange &&
        art != QEvent::Close)
      return false;
    if (objekt != &fenster_ || !ansicht_ || !ansicht_->Gebunden()) return false;
    switch (art) {
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::WindowStateChange:
        Merken();
        return false;
      case QEvent::Close: {
        ereignis->ignore();
        Falle falle("QtBildschirm", "Schliessen");
        falle([&] { form_.Unload(); });
        return true;
      }
      default:
        return false;
    }
  }

 private:
  void Merken() {
    const Qt::WindowStates zustand = fenster_.windowState();
    form_.WindowState = zustand & Qt::WindowMinimized ? 1 : zustand & Qt::WindowMaximized ? 2 : 0;
    if (form_.WindowState != 0) return;
    form_.Left = Twips(fenster_.x(), &fenster_);
    form_.Top = Twips(fenster_.y(), &fenster_);
    form_.Width = Twips(fenster_.width(), &fenster_);
    form_.Height = Twips(fenster_.height(), &fenster_);
  }

  controls::Form& form_;
  QPointer<Formularansicht> ansicht_;
  QWidget& fenster_;
};

void Platzieren(QWidget& fenster, const controls::Form& form) {
  if (form.WindowState == 0 && (form.Left != 0 || form.Top != 0))
    fenster.move(Pixel(form.Left, &fenster), Pixel(form.Top, &fenster));
}

// Ctrl+Tab and Ctrl+Shift+Tab in a form's grid leave the grid for the next or previous field.
// The MDI area takes both keys for itself (to switch child windows) before any widget sees them,
// so this filter sits on the application, in front of the area's.
class Tastenfilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* objekt, QEvent* ereignis) override {
    if (ereignis->type() != QEvent::KeyPress && ereignis->type() != QEvent::ShortcutOverride)
      return false;
    auto* taste = static_cast<QKeyEvent*>(ereignis);
    if (!(taste->modifiers() & Qt::ControlModifier) ||
        (taste->key() != Qt::Key_Tab && taste->key() != Qt::Key_Backtab))
      return false;
    RasterAnsicht* raster = nullptr;
    for (QWidget* w = QApplication::focusWidget(); w && !raster; w = w->parentWidget())
      raster = qobject_cast<RasterAnsicht*>(w);
    if (!raster || objekt != QApplication::focusWidget()) return false;
    if (ereignis->type() == QEvent::ShortcutOverride) {
      ereignis->accept();
      return true;
    }
    raster->Verlassen(taste->key() == Qt::Key_Tab && !(taste->modifiers() & Qt::ShiftModifier));
    return true;
  }
};

// Moves and sizes a child window so that it lies wholly inside its MDI area: at its place when
// that is still inside, else pushed in from the edge it crossed; no larger than the area (its
// scroll area then scrolls).
void Einpassen(QMdiSubWindow& kind, const Formularansicht& ansicht) {
  QMdiArea* bereich = kind.mdiArea();
  if (!bereich || kind.isMaximized() || kind.isMinimized()) return;
  const QSize flaeche = bereich->viewport()->size();
  const QSize rahmen = kind.size() - kind.widget()->size();
  const QSize gewuenscht = ansicht.minimumSize().expandedTo(ansicht.sizeHint()) + rahmen;
  const QSize groesse = gewuenscht.boundedTo(flaeche);
  if (kind.size() != groesse) kind.resize(groesse);
  const int x = std::clamp(kind.x(), 0, std::max(0, flaeche.width() - groesse.width()));
  const int y = std::clamp(kind.y(), 0, std::max(0, flaeche.height() - groesse.height()));
  if (kind.pos() != QPoint(x, y)) kind.move(x, y);
}

// A dialog at its remembered place relative to the screen's usable area (the top left corner
// the first time), sized to its content and pushed inside the screen.
void DialogPlatzieren(QDialog& dialog, const controls::Form& form) {
  QScreen* schirm = dialog.screen() ? dialog.screen() : QApplication::primaryScreen();
  const QRect nutzbar = schirm ? schirm->availableGeometry() : QRect(0, 0, 1024, 768);
  dialog.adjustSize();
  QSize groesse = dialog.size().boundedTo(nutzbar.size());
  dialog.resize(groesse);
  QPoint ort = nutzbar.topLeft();
  if (form.WindowState == 0) ort += QPoint(Pixel(form.Left, &dialog), Pixel(form.Top, &dialog));
  ort.setX(std::clamp(ort.x(), nutzbar.left(),
                      std::max(nutzbar.left(), nutzbar.right() - groesse.width())));
  ort.setY(std::clamp(ort.y(), nutzbar.top(),
                      std::max(nutzbar.top(), nutzbar.bottom() - groesse.height())));
  dialog.move(ort);
}

void Einblenden(QWidget& fenster, const controls::Form& form) {
  if (form.WindowState == 2)
    fenster.showMaximized();
  else if (form.WindowState == 1)
    fenster.showMinimized();
  else
    fenster.show();
}

struct Knopf {
  std::int32_t code;
  const char* text;
  QMessageBox::ButtonRole rolle;
};

std::vector<Knopf> Knoepfe(std::int32_t satz) {
  using controls::msgbox::Abort, controls::msgbox::Cancel, controls::msgbox::Ignore,
      controls::msgbox::No, controls::msgbox::OK, controls::msgbox::Retry, controls::msgbox::Yes;
  const Knopf ok{OK, "OK", QMessageBox::AcceptRole};
  const Knopf abbrechen{Cancel, "Abbrechen", QMessageBox::RejectRole};
  const Knopf ja{Yes, "&Ja", QMessageBox::YesRole};
  const Knopf nein{No, "&Nein", QMessageBox::NoRole};
  const Knopf wiederholen{Retry, "&Wiederholen", QMessageBox::AcceptRole};
  switch (satz) {
    case controls::msgbox::OKCancel:
      return {ok, abbrechen};
    case controls::msgbox::AbortRetryIgnore:
      return {{Abort, "&Beenden", QMessageBox::RejectRole},
              wiederholen,
              {Ignore, "&Ignorieren", QMessageBox::AcceptRole}};
    case controls::msgbox::YesNoCancel:
      return {ja, nein, abbrechen};
    case controls::msgbox::YesNo:
      return {ja, nein};
    case controls::msgbox::RetryCancel:
      return {wiederholen, abbrechen};
    default:
      return {ok};
  }
}

QMessageBox::Icon Symbol(std::int32_t stil) {
  switch (stil & 0x70) {
    case controls::msgbox::Critical:
      return QMessageBox::Critical;
    case controls::msgbox::Question:
      return QMessageBox::Question;
    case controls::msgbox::Exclamation:
      return QMessageBox::Warning;
    case controls::msgbox::Information:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

QWidget* QtBildschirm::Eltern() const {
  // A window on its way out (a dialog just hidden) would take its children along.
  for (QWidget* kandidat : {QApplication::activeModalWidget(), QApplication::activeWindow(),
                            static_cast<QWidget*>(hauptfenster_.data())})
    if (kandidat && kandidat->isVisible()) return kandidat;
  return nullptr;
}

QtBildschirm::QtBildschirm() : QtBildschirm(controls::Einstellungen::StandardDatei()) {}

QtBildschirm::QtBildschirm(std::filesystem::path einstellungsdatei)
    : einstellungen_(std::move(einstellungsdatei)) {}

QtBildschirm::~QtBildschirm() {
  for (auto& [form, anzeige] : anzeigen_) {
    if (anzeige.ansicht) anzeige.ansicht->Loesen();
    if (anzeige.fenster) anzeige.fenster->deleteLater();
  }
  if (hilfe_) hilfe_->deleteLater();
}

void QtBildschirm::Hostfenster(std::int32_t handle, QMdiArea* bereich) {
  hosts_[handle] = bereich;
}

Formularansicht* QtBildschirm::Ansicht(const controls::Form& form) const {
  const auto it = anzeigen_.find(&form);
  return it == anzeigen_.end() ? nullptr : it->second.ansicht.data();
}

QWidget* QtBildschirm::Fenster(const controls::Form& form) const {
  const auto it = anzeigen_.find(&form);
  return it == anzeigen_.end() ? nullptr : it->second.fenster.data();
}

std::int32_t QtBildschirm::MsgBox(const std::string& meldung, std::int32_t schaltflaechen,
                                  const std::string& titel) {
  QMessageBox box(Symbol(schaltflaechen), QString::fromStdString(titel.empty() ? "tarvo" : titel),
                  QString::fromStdString(meldung), QMessageBox::NoButton, Eltern());
  box.setWindowFlags(kDialogRahmen);
  std::map<QAbstractButton*, std::int32_t> codes;
  const std::vector<Knopf> knoepfe = Knoepfe(schaltflaechen & 7);
  QPushButton* abbruch = nullptr;
  std::vector<QPushButton*> reihe;  // in the order of the style code, not of the box's layout
  for (const Knopf& knopf : knoepfe) {
    QPushButton* button = box.addButton(QString::fromUtf8(knopf.text), knopf.rolle);
    reihe.push_back(button);
    codes[button] = knopf.code;
    if (knopf.code == controls::msgbox::Cancel || knopf.code == controls::msgbox::No ||
        knoepfe.size() == 1)
      abbruch = button;
  }
  const auto standard = static_cast<std::size_t>((schaltflaechen >> 8) & 3);
  box.setDefaultButton(reihe[standard < reihe.size() ? standard : 0]);
  if (abbruch) box.setEscapeButton(abbruch);
  box.exec();
  const auto gedrueckt = codes.find(box.clickedButton());
  if (gedrueckt != codes.end()) return gedrueckt->second;
  return abbruch ? codes[abbruch] : knoepfe.front().code;
}

void QtBildschirm::HilfeAnzeigen(const std::filesystem::path& datei, const std::string& thema) {
  const std::filesystem::path ordner = datei.parent_path();
  std::filesystem::path seite = thema.empty() ? "index.html" : thema;
  if (!seite.has_extension()) seite += ".html";
  const std::filesystem::path pfad = ordner / seite;
  if (!std::filesystem::is_regular_file(pfad))
    throw Laufzeitfehler(53, "Datei nicht gefunden: " + pfad.string());
  if (!hilfe_) {
    hilfe_ = new QTextBrowser;
    hilfe_->setObjectName("Hilfe");
    hilfe_->setAttribute(Qt::WA_DeleteOnClose);
    hilfe_->setWindowTitle("tarvo – Hilfe");
    hilfe_->resize(640, 480);
  }
  hilfe_->setSearchPaths({QString::fromStdString(ordner.string())});
  hilfe_->setSource(QUrl::fromLocalFile(QString::fromStdString(pfad.string())));
  hilfe_->show();
  hilfe_->raise();
}

std::string QtBildschirm::GetSetting(const std::string& anwendung, const std::string& abschnitt,
                                     const std::string& schluessel, const std::string& standard) {
  return einstellungen_.Lesen(anwendung, abschnitt, schluessel).value_or(standard);
}

void QtBildschirm::SaveSetting(const std::string& anwendung, const std::string& abschnitt,
                               const std::string& schluessel, const std::string& wert) {
  einstellungen_.Schreiben(anwendung, abschnitt, schluessel, wert);
}

QtBildschirm::Anzeige& QtBildschirm::Aufbauen(controls::Form& form, bool modal) {
  Anzeige& anzeige = anzeigen_[&form];
  if (anzeige.fenster && anzeige.ansicht && anzeige.modal == modal) return anzeige;
  if (anzeige.fenster) anzeige.fenster->deleteLater();
  anzeige = Anzeige{};
  anzeige.modal = modal;
  auto* ansicht = new Formularansicht(form);
  anzeige.ansicht = ansicht;
  ansicht->installEventFilter(new Hilfetaste(form, *ansicht));
  QWidget* fenster = nullptr;
  const auto host = hosts_.find(form.ParentWindow);
  if (modal) {
    auto* dialog = new QDialog(Eltern(), kDialogRahmen);
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ansicht);
    dialog->setWindowTitle(QString::fromStdString(form.Caption));
    // Return presses the dialog's "OK".
    for (qt::Bindung* b : ansicht->Ansichten())
      if (auto* knopf = dynamic_cast<Schaltflaeche*>(b);
          knopf && knopf->Modell().Caption() == "&OK")
        knopf->setDefault(true);
    // Escape closes the dialog through its frame, as the close button does, and the form that
    // asked through it is not opened: nothing is written.
    QObject::connect(dialog, &QDialog::rejected, dialog, [this, &form, ansicht] {
      if (!ansicht->Gebunden() || !form.Visible()) return;
      abgebrochen_ = true;
      // Only the form shown right after this dialog (in the same call) is concerned.
      QTimer::singleShot(0, [this] { abgebrochen_ = false; });
      Falle falle("QtBildschirm", "Schliessen");
      falle([&] { form.Unload(); });
    });
    fenster = dialog;
  } else if (host != hosts_.end() && host->second) {
    auto* rolle = new QScrollArea;
    rolle->setObjectName(QString::fromStdString(form.Name()) + "Rolle");
    rolle->setWidgetResizable(true);
    rolle->setFrameShape(QFrame::NoFrame);
    rolle->setWidget(ansicht);
    QMdiSubWindow* kind = host->second->addSubWindow(rolle);
    kind->setWindowTitle(QString::fromStdString(form.Caption));
    fenster = kind;
  } else {
    ansicht->setParent(hauptfenster_, Qt::Window);
    fenster = ansicht;
  }
  fenster->setObjectName(QString::fromStdString(form.Name()) + "Fenster");
  fenster->installEventFilter(new Fensterwaechter(form, *ansicht, *fenster));
  anzeige.fenster = fenster;
  return anzeige;
}

void QtBildschirm::Zeigen(controls::Form& form, bool modal) {
  if (!modal && abgebrochen_) {
    // The table choice before this form was cancelled with Escape: the form closes unseen.
    abgebrochen_ = false;
    Aufbauen(form, modal);
    QTimer::singleShot(0, [this, &form, ansicht = Ansicht(form)] {
      if (Ansicht(form) != ansicht || !form.Loaded()) return;
      Falle falle("QtBildschirm", "Abbrechen");
      falle([&] { form.Unload(); });
    });
    return;
  }
  Anzeige& anzeige = Aufbauen(form, modal);
  QPointer<QWidget> fenster = anzeige.fenster;
  anzeige.ansicht->Abgleichen();
  if (!modal) {
    // In front of every filter installed before (the MDI area's): installed anew each time.
    if (!tastenfilter_) tastenfilter_ = new Tastenfilter(fenster);
    qApp->removeEventFilter(tastenfilter_);
    qApp->installEventFilter(tastenfilter_);
    Platzieren(*fenster, form);
    Einblenden(*fenster, form);
    if (auto* kind = qobject_cast<QMdiSubWindow*>(fenster.data()))
      Einpassen(*kind, *anzeige.ansicht);
    // The keyboard starts in the form's first control (the grid of a category form).
    anzeige.ansicht->setFocus();
    for (qt::Bindung* b : anzeige.ansicht->Ansichten()) {
      QWidget& w = b->Widget();
      if (!b->Schwebt && w.isVisibleTo(anzeige.ansicht) && w.isEnabled() &&
          (w.focusPolicy() & Qt::TabFocus)) {
        w.setFocus(Qt::TabFocusReason);
        break;
      }
    }
    return;
  }
  auto* dialog = static_cast<QDialog*>(fenster.data());
  DialogPlatzieren(*dialog, form);
  if (form.WindowState == 2) dialog->setWindowState(Qt::WindowMaximized);
  // Returns when the form is hidden or unloaded (Verbergen, Entladen end the dialog).
  if (form.Visible() && form.Loaded()) dialog->exec();
}

void QtBildschirm::Verbergen(controls::Form& form) {
  const auto it = anzeigen_.find(&form);
  if (it == anzeigen_.end() || !it->second.fenster) return;
  if (auto* dialog = qobject_cast<QDialog*>(it->second.fenster.data()); dialog && it->second.modal)
    dialog->done(0);
  it->second.fenster->hide();
}

// Takes the form's display away: the views let go of the models at once, the widgets follow
// later (the unload may have started in one of them). False when the form was not shown.
bool QtBildschirm::Abbauen(controls::Form& form) {
  const auto it = anzeigen_.find(&form);
  if (it == anzeigen_.end()) return false;
  Anzeige anzeige = it->second;
  anzeigen_.erase(it);
  if (anzeige.ansicht) anzeige.ansicht->Loesen();
  if (anzeige.fenster) {
    if (auto* dialog = qobject_cast<QDialog*>(anzeige.fenster.data()); dialog && anzeige.modal)
      dialog->done(0);
    anzeige.fenster->hide();
    anzeige.fenster->deleteLater();
  }
  return true;
}

void QtBildschirm::Entladen(controls::Form& form) {
  if (Abbauen(form) && NachEntladen) NachEntladen(form);
}

void QtBildschirm::Vergessen(controls::Form& form) {
  // A form dropped without being unloaded (a dialog on the stack).
  Abbauen(form);
}

void QtBildschirm::Einbetten(controls::Form&, std::int32_t, std::int32_t) {
  // The form keeps ParentWindow; Zeigen makes the window where that handle's host has its area.
}

}  // namespace tarvo::qt
