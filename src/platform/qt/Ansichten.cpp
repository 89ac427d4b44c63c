#include "platform/qt/Ansichten.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QStyle>

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
  setText(Text(box_.Caption()));
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
  setText(Text(option_.Caption()));
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
  FokusErhalten();
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

void Maskenfeld::mousePressEvent(QMouseEvent* ereignis) {
  // The click that gave the focus keeps what the form's GotFocus selected.
  if (fokusKlick_) return;
  QLineEdit::mousePressEvent(ereignis);
  AuswahlUebernehmen();
}

void Maskenfeld::mouseReleaseEvent(QMouseEvent* ereignis) {
  if (fokusKlick_) {
    fokusKlick_ = false;
    return;
  }
  QLineEdit::mouseReleaseEvent(ereignis);
  if (hasFocus()) AuswahlUebernehmen();
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

}  // namespace tarvo::qt
