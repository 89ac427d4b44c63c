// The views of the simple control models: each is the Qt widget that looks like the old
// control, shows its model and forwards what the user does to the model's User… entry point.
// None of them keeps a value of its own: a click on a check box asks the model to toggle and
// then shows what the model holds, so a handler that changes the value back is what the user
// sees. Captions keep their "&" accelerators (Alt+O presses "&OK").
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

#include "platform/controls/Buttons.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/MaskEdBox.h"
#include "platform/qt/Bindung.h"

namespace tarvo::qt {

class Beschriftung : public QLabel, public Bindung {
 public:
  Beschriftung(controls::Label& label, QWidget* parent = nullptr);

 protected:
  void Zeigen() override;

 private:
  controls::Label& label_;
};

// A frame: a group box; the views of the option buttons it contains are placed inside it.
class Rahmen : public QGroupBox, public Bindung {
 public:
  Rahmen(controls::Frame& frame, QWidget* parent = nullptr);

 protected:
  void Zeigen() override;

 private:
  controls::Frame& frame_;
};

class Schaltflaeche : public QPushButton, public Bindung {
 public:
  Schaltflaeche(controls::CommandButton& button, QWidget* parent = nullptr);
  controls::CommandButton& Modell() const { return button_; }
  // Asked before a press reaches the model; false keeps the press from it (the form view asks
  // about marked values before "OK").
  std::function<bool()> Rueckfrage;

 protected:
  void Zeigen() override;
  void focusInEvent(QFocusEvent* ereignis) override;

 private:
  controls::CommandButton& button_;
};

class Kontrollkaestchen : public QCheckBox, public Bindung {
 public:
  Kontrollkaestchen(controls::CheckBox& box, QWidget* parent = nullptr);

 protected:
  void Zeigen() override;
  void nextCheckState() override;
  void focusInEvent(QFocusEvent* ereignis) override;

 private:
  controls::CheckBox& box_;
};

// An option button; the group is the model's (its container), Qt's own exclusivity is off. The
// arrow keys choose the next or previous available option of the same group, as they move the
// choice in a group of radio buttons.
class Optionsfeld : public QRadioButton, public Bindung {
 public:
  Optionsfeld(controls::OptionButton& option, QWidget* parent = nullptr);
  controls::OptionButton& Modell() const { return option_; }

 protected:
  void Zeigen() override;
  void nextCheckState() override;
  void focusInEvent(QFocusEvent* ereignis) override;
  void keyPressEvent(QKeyEvent* ereignis) override;

 private:
  controls::OptionButton& option_;
};

// A combo box; choosing an item from the list is the model's UserChoose. Where it floats is
// decided by the form view (Formularansicht). Typed text is matched to the items: as soon as it
// equals an item, or begins only one, that item is chosen; a key that would make the text match
// none is refused with a hint (Getippt holds what was typed so far). A floating combo box gives
// Tab and Shift+Tab back to its grid (Zurueck), so one key press is one step in the grid.
class Auswahlfeld : public QComboBox, public Bindung {
 public:
  Auswahlfeld(controls::ComboBox& combo, QWidget* parent = nullptr);
  controls::ComboBox& Modell() const { return combo_; }
  const QString& Getippt() const { return getippt_; }
  // Called with Tab (rueckwaerts false) or Shift+Tab pressed in a floating combo box.
  std::function<void(bool rueckwaerts)> Zurueck;
  // Takes one typed character; false when no item begins with the text typed so far plus it.
  bool Tippen(const QString& zeichen);

 protected:
  void Zeigen() override;
  void focusInEvent(QFocusEvent* ereignis) override;
  void focusOutEvent(QFocusEvent* ereignis) override;
  void keyPressEvent(QKeyEvent* ereignis) override;
  bool focusNextPrevChild(bool next) override;

 private:
  controls::ComboBox& combo_;
  QString getippt_;
  qint64 zuletzt_ = 0;  // when the last character was typed (ms since the epoch)
};

// A masked edit: shows the model's text (one character per place, blanks as the prompt) and
// its selection; digits, Backspace and Delete go to UserType, the caret keys move the model's
// selection, everything else is refused (or passed on to the form: Tab, Return, Escape).
// Receiving the focus is UserFocus, losing it to a widget outside the form is UserLeave. A click
// into the field that has the focus already selects its whole text, as the first focus does.
// A paste types the clipboard's digits; anything else is refused with a hint.
class Maskenfeld : public QLineEdit, public Bindung {
 public:
  Maskenfeld(controls::MaskEdBox& feld, QWidget* parent = nullptr);

 protected:
  void Zeigen() override;
  void keyPressEvent(QKeyEvent* ereignis) override;
  void mousePressEvent(QMouseEvent* ereignis) override;
  void mouseReleaseEvent(QMouseEvent* ereignis) override;
  void focusInEvent(QFocusEvent* ereignis) override;
  void focusOutEvent(QFocusEvent* ereignis) override;
  void inputMethodEvent(QInputMethodEvent* ereignis) override;
  void contextMenuEvent(QContextMenuEvent* ereignis) override;

 private:
  void AuswahlUebernehmen();
  // Pastes the clipboard's text as typed digits; refuses (with a hint) what is no whole number
  // or does not fit the places.
  void Einfuegen();
  controls::MaskEdBox& feld_;
  bool fokusKlick_ = false;  // the click that gave the focus changes no selection
};

}  // namespace tarvo::qt

namespace tarvo::qt {
// Shows `text` as a tooltip at `widget` for a few seconds (a refused key or paste).
void Kurzhinweis(QWidget* widget, const QString& text);
}  // namespace tarvo::qt
