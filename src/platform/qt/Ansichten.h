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

// An option button; the group is the model's (its container), Qt's own exclusivity is off.
class Optionsfeld : public QRadioButton, public Bindung {
 public:
  Optionsfeld(controls::OptionButton& option, QWidget* parent = nullptr);

 protected:
  void Zeigen() override;
  void nextCheckState() override;
  void focusInEvent(QFocusEvent* ereignis) override;

 private:
  controls::OptionButton& option_;
};

// A combo box; choosing an item from the list is the model's UserChoose. Where it floats is
// decided by the form view (Formularansicht).
class Auswahlfeld : public QComboBox, public Bindung {
 public:
  Auswahlfeld(controls::ComboBox& combo, QWidget* parent = nullptr);
  controls::ComboBox& Modell() const { return combo_; }

 protected:
  void Zeigen() override;
  void focusInEvent(QFocusEvent* ereignis) override;

 private:
  controls::ComboBox& combo_;
};

// A masked edit: shows the model's text (one character per place, blanks as the prompt) and
// its selection; digits, Backspace and Delete go to UserType, the caret keys move the model's
// selection, everything else is refused (or passed on to the form: Tab, Return, Escape).
// Receiving the focus is UserFocus, losing it to a widget outside the form is UserLeave.
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

 private:
  void AuswahlUebernehmen();
  controls::MaskEdBox& feld_;
  bool fokusKlick_ = false;  // the click that gave the focus changes no selection
};

}  // namespace tarvo::qt
