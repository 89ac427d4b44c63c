#include "platform/qt/Ansichten.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QStyle>
#include <QToolTip>
#include <algorithm>
#include <vector>

namespace tarvo::qt {
namespace {

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

// The pictures of the shared icon list, by key, as the style draws them.
QIcon Bild(const std::string& schluessel, const QStyle* stil) {
  if (schluessel.empty()) return {};
  QStyle::StandardPixmap bild = QStyle::SP_FileIcon;
  if (schluessel == "OK")
    bild = QStyle::SP_DialogOkButton;
  else if (schluessel == "Abbruch")
    bild = QStyle::SP_DialogCancelButton;
  else if (schluessel == "Löschen")
    bild = QStyle::SP_TrashIcon;
  else if (schluessel == "Hilfe")
    bild = QStyle::SP_DialogHelpButton;
  return stil->standardIcon(bild);
}

// The caption with "&" before place `kuerzel` (none for -1 or a caption with its own "&").
QString MitKuerzel(const std::string& caption, long long kuerzel) {
  QString text = Text(caption);
  if (kuerzel >= 0 && kuerzel < text.size() && !text.contains('&'))
    text.insert(static_cast<qsizetype>(kuerzel), '&');
  return text;
}

}  // namespace

Beschriftung::Beschriftung(controls::Label& label, QWidget* parent)
    : QLabel(parent), Bindung(label, *this), label_(label) {}

void Beschriftung::Zeigen() {
  setText(Text(label_.Caption()));
}

Rahmen::Rahmen(controls::Frame& frame, QWidget* parent)
    : QGroupBox(parent), Bindung(frame, *this), frame_(frame) {}

void Rahmen::Zeigen() {
  setTitle(Text(frame_.Caption()));
}

Schaltflaeche::Schaltflaeche(controls::CommandButton& button, QWidget* parent)
    : QPushButton(parent), Bindung(button, *this), button_(button) {
  setAutoDefault(false);
  connect(this, &QPushButton::clicked, this, [this] {
    if (Rueckfrage && Gebunden() && !Rueckfrage()) return;
    // The press may run long (writing the statement): the wait cursor shows it.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Aktion("UserPress", [this] { button_.UserPress(); });
    QApplication::restoreOverrideCursor();
  });
}

void Schaltflaeche::Zeigen() {
  setText(Text(button_.Caption()));
  setIcon(Bild(button_.Picture(), style()));
}

void Schaltflaeche::focusInEvent(QFocusEvent* ereignis) {
  QPushButton::focusInEvent(ereignis);
  FokusErhalten();
}

Kontrollkaestchen::Kontrollkaestchen(controls::CheckBox& box, QWidget* parent)
    : QCheckBox(parent), Bindung(box, *this), box_(box) {}

void Kontrollkaestchen::Zeigen() {
  setText(MitKuerzel(box_.Caption(), Kuerzel));
  setChecked(box_.Value() == 1);
}

void Kontrollkaestchen::nextCheckState() {
  Aktion("UserClick", [this] { box_.UserClick(); });
  if (Gebunden()) setChecked(box_.Value() == 1);
}

void Kontrollkaestchen::focusInEvent(QFocusEvent* ereignis) {
  QCheckBox::focusInEvent(ereignis);
  FokusErhalten();
}

Optionsfeld::Optionsfeld(controls::OptionButton& option, QWidget* parent)
    : QRadioButton(parent), Bindung(option, *this), option_(option) {
  setAutoExclusive(false);
}

void Optionsfeld::Zeigen() {
  setText(MitKuerzel(option_.Caption(), Kuerzel));
  setChecked(option_.Value());
}

void Optionsfeld::nextCheckState() {
  Aktion("UserClick", [this] { option_.UserClick(); });
  if (Gebunden()) setChecked(option_.Value());
}

void Optionsfeld::focusInEvent(QFocusEvent* ereignis) {
  QRadioButton::focusInEvent(ereignis);
  FokusErhalten();
}

void Optionsfeld::keyPressEvent(QKeyEvent* ereignis) {
  const int taste = ereignis->key();
  const bool vor = taste == Qt::Key_Down || taste == Qt::Key_Right;
  const bool zurueck = taste == Qt::Key_Up || taste == Qt::Key_Left;
  if (!vor && !zurueck) {
    QRadioButton::keyPressEvent(ereignis);
    return;
  }
  // The options of the same group, in the order of the form.
  std::vector<Optionsfeld*> gruppe;
  for (Optionsfeld* option : window()->findChildren<Optionsfeld*>())
    if (option->Gebunden() && option->option_.Container() == option_.Container() &&
        option->isVisibleTo(window()) && option->isEnabled())
      gruppe.push_back(option);
  const auto hier = std::find(gruppe.begin(), gruppe.end(), this);
  if (hier == gruppe.end() || gruppe.size() < 2) return;
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(gruppe.size());
  const std::ptrdiff_t i = ((hier - gruppe.begin()) + (vor ? 1 : n - 1)) % n;
  Optionsfeld* ziel = gruppe[static_cast<std::size_t>(i)];
  ziel->setFocus(Qt::TabFocusReason);
  if (!ziel->option_.Value()) ziel->click();
}

Auswahlfeld::Auswahlfeld(controls::ComboBox& combo, QWidget* parent)
    : QComboBox(parent), Bindung(combo, *this), combo_(combo) {
  connect(this, &QComboBox::activated, this, [this](int index) {
    Aktion("UserChoose", [this, index] { combo_.UserChoose(index); });
    if (Gebunden()) Abgleichen();
  });
}

void Auswahlfeld::Zeigen() {
  QStringList eintraege;
  for (std::int32_t i = 0; i < combo_.ListCount(); ++i) eintraege << Text(combo_.List(i));
  QSignalBlocker sperre(this);
  QStringList gezeigt;
  for (int i = 0; i < count(); ++i) gezeigt << itemText(i);
  if (gezeigt != eintraege) {
    clear();
    addItems(eintraege);
  }
  setCurrentIndex(combo_.ListIndex());
}

void Auswahlfeld::focusInEvent(QFocusEvent* ereignis) {
  QComboBox::focusInEvent(ereignis);
  if (ereignis->reason() != Qt::PopupFocusReason) getippt_.clear();
  FokusErhalten();
}

void Auswahlfeld::focusOutEvent(QFocusEvent* ereignis) {
  QComboBox::focusOutEvent(ereignis);
  if (ereignis->reason() != Qt::PopupFocusReason) getippt_.clear();
}

bool Auswahlfeld::Tippen(const QString& zeichen) {
  const qint64 jetzt = QDateTime::currentMSecsSinceEpoch();
  // A pause of two seconds starts a new search, as in any list.
  if (jetzt - zuletzt_ > 2000) getippt_.clear();
  zuletzt_ = jetzt;
  const QString text = getippt_ + zeichen;
  std::vector<int> passend;
  int gleich = -1;
  for (int i = 0; i < count(); ++i) {
    if (itemText(i).startsWith(text, Qt::CaseInsensitive)) passend.push_back(i);
    if (itemText(i).compare(text, Qt::CaseInsensitive) == 0) gleich = i;
  }
  if (passend.empty()) {
    QStringList eintraege;
    for (int i = 0; i < count(); ++i) eintraege << itemText(i);
    Kurzhinweis(this, "»" + text + "« steht nicht in der Liste (" + eintraege.join(", ") +
                          "); die Eingabe wurde nicht übernommen.");
    return false;
  }
  getippt_ = text;
  const int wahl = gleich >= 0 ? gleich : passend.size() == 1 ? passend.front() : -1;
  if (wahl >= 0 && wahl != combo_.ListIndex()) {
    Aktion("UserChoose", [this, wahl] { combo_.UserChoose(wahl); });
    if (Gebunden()) Abgleichen();
  }
  return true;
}

void Auswahlfeld::keyPressEvent(QKeyEvent* ereignis) {
  const QString text = ereignis->text();
  // The space bar opens the list, unless it is a blank within an item being typed.
  if (!text.isEmpty() && text.at(0).isPrint() &&
      (ereignis->key() != Qt::Key_Space || !getippt_.isEmpty()) &&
      !(ereignis->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    Tippen(text);
    return;
  }
  if (ereignis->key() == Qt::Key_Backspace) {
    getippt_.chop(1);
    return;
  }
  QComboBox::keyPressEvent(ereignis);
}

bool Auswahlfeld::focusNextPrevChild(bool next) {
  if (Schwebt && Zurueck && Gebunden()) {
    Zurueck(!next);
    return true;
  }
  return QComboBox::focusNextPrevChild(next);
}

Maskenfeld::Maskenfeld(controls::MaskEdBox& feld, QWidget* parent)
    : QLineEdit(parent), Bindung(feld, *this), feld_(feld) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setAlignment(Qt::AlignLeft);
  // Room for every place and a little more; the field never scrolls.
  const int breite = fontMetrics().horizontalAdvance(QString(feld.Stellen() + 1, QChar('0')));
  setMinimumWidth(breite + 12);
  setMaximumWidth(breite + 24);
}

void Maskenfeld::Zeigen() {
  const QString text = Text(feld_.Text());
  if (QLineEdit::text() != text) QLineEdit::setText(text);
  if (feld_.SelLength() > 0)
    setSelection(feld_.SelStart(), feld_.SelLength());
  else
    setCursorPosition(feld_.SelStart());
}

void Maskenfeld::keyPressEvent(QKeyEvent* ereignis) {
  const bool umschalt = ereignis->modifiers() & Qt::ShiftModifier;
  const QString text = ereignis->text();
  auto caret = [&](std::int32_t ziel) {
    const std::int32_t start = feld_.SelStart();
    Aktion("Caret", [&] {
      ziel = std::clamp(ziel, 0, feld_.Stellen());
      if (umschalt) {
        // The selection grows or shrinks from its anchor at the start.
        const std::int32_t anker = start;
        feld_.SetSelStart(std::min(anker, ziel));
        feld_.SetSelLength(std::abs(ziel - anker));
      } else {
        feld_.SetSelStart(ziel);
        feld_.SetSelLength(0);
      }
    });
    Abgleichen();
  };
  switch (ereignis->key()) {
    case Qt::Key_Backspace:
      Aktion("UserType", [this] { feld_.UserType("\b"); });
      return;
    case Qt::Key_Delete:
      Aktion("UserType", [this] { feld_.UserType("\x7f"); });
      return;
    case Qt::Key_Left:
      caret(feld_.SelLength() > 0 && !umschalt ? feld_.SelStart() : feld_.SelStart() - 1);
      return;
    case Qt::Key_Right:
      caret(feld_.SelLength() > 0 && !umschalt ? feld_.SelStart() + feld_.SelLength()
                                               : feld_.SelStart() + feld_.SelLength() + 1);
      return;
    case Qt::Key_Home:
      caret(0);
      return;
    case Qt::Key_End:
      caret(feld_.Stellen());
      return;
    default:
      break;
  }
  if (ereignis->matches(QKeySequence::Paste)) {
    Einfuegen();
    return;
  }
  if (ereignis->matches(QKeySequence::SelectAll)) {
    Aktion("Markieren", [this] {
      feld_.SetSelStart(0);
      feld_.SetSelLength(feld_.Stellen());
    });
    return;
  }
  if (!text.isEmpty() && text.at(0).isPrint() &&
      !(ereignis->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    // Every printable key goes to the model, which refuses what is no digit.
    const std::string tasten = text.toStdString();
    Aktion("UserType", [this, &tasten] { feld_.UserType(tasten); });
    return;
  }
  // Return, Escape, accelerators: for the form and its buttons.
  QWidget::keyPressEvent(ereignis);
}

void Maskenfeld::mousePressEvent(QMouseEvent*) {
  // The click that gave the focus keeps what the form's GotFocus selected; a click into the
  // field that has the focus already selects it whole, so typing replaces what stands there.
  if (fokusKlick_) return;
  Aktion("Markieren", [this] {
    feld_.SetSelStart(0);
    feld_.SetSelLength(feld_.Stellen());
  });
  Abgleichen();
}

void Maskenfeld::mouseReleaseEvent(QMouseEvent*) {
  fokusKlick_ = false;
}

void Maskenfeld::contextMenuEvent(QContextMenuEvent* ereignis) {
  // The line edit's own menu would paste and cut past the mask.
  ereignis->accept();
}

void Maskenfeld::Einfuegen() {
  const QString text = QApplication::clipboard()->text().trimmed();
  bool ziffern = !text.isEmpty();
  for (QChar c : text) ziffern &= c.isDigit() && c.unicode() < 128;
  if (!ziffern) {
    Kurzhinweis(this, "In dieses Feld werden nur Ziffern eingefügt; »" + text.left(40) +
                          "« wurde nicht übernommen.");
    return;
  }
  if (text.size() > feld_.Stellen()) {
    Kurzhinweis(this, QString("»%1« hat mehr als %2 Stellen und wurde nicht übernommen.")
                          .arg(text.left(40))
                          .arg(feld_.Stellen()));
    return;
  }
  const std::string tasten = text.toStdString();
  Aktion("UserType", [this, &tasten] { feld_.UserType(tasten); });
}

void Maskenfeld::AuswahlUebernehmen() {
  const int start = hasSelectedText() ? selectionStart() : cursorPosition();
  const int laenge = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
  Aktion("Auswahl", [&] {
    feld_.SetSelStart(start);
    feld_.SetSelLength(laenge);
  });
  Abgleichen();
}

void Maskenfeld::focusInEvent(QFocusEvent* ereignis) {
  QLineEdit::focusInEvent(ereignis);
  fokusKlick_ = ereignis->reason() == Qt::MouseFocusReason;
  if (!Gebunden() || feld_.HasFocus()) {
    Abgleichen();
    return;
  }
  Aktion("UserFocus", [this] { feld_.UserFocus(); });
  Abgleichen();
}

void Maskenfeld::focusOutEvent(QFocusEvent* ereignis) {
  QLineEdit::focusOutEvent(ereignis);
  // A popup or another window takes the focus only for a while; the field keeps it.
  if (ereignis->reason() == Qt::PopupFocusReason ||
      ereignis->reason() == Qt::ActiveWindowFocusReason)
    return;
  if (Gebunden() && feld_.HasFocus() && !FokusBleibtImFormular())
    Aktion("UserLeave", [this] { feld_.UserLeave(); });
}

void Maskenfeld::inputMethodEvent(QInputMethodEvent* ereignis) {
  const std::string tasten = ereignis->commitString().toStdString();
  if (!tasten.empty()) Aktion("UserType", [this, &tasten] { feld_.UserType(tasten); });
  ereignis->accept();
}

void Kurzhinweis(QWidget* widget, const QString& text) {
  if (!widget) return;
  widget->setProperty("tarvoKurzhinweis", text);
  QApplication::beep();
  QToolTip::showText(widget->mapToGlobal(QPoint(0, widget->height())), text, widget, QRect(), 5000);
}

}  // namespace tarvo::qt
