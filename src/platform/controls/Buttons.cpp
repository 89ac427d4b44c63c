#include "platform/controls/Buttons.h"

#include <utility>

#include "errors/Laufzeitfehler.h"
#include "platform/controls/Form.h"

namespace tarvo::controls {

void CommandButton::SetCaption(std::string wert) {
  if (caption_ == wert) return;
  caption_ = std::move(wert);
  Geaendert();
}

void CommandButton::SetPicture(std::string schluessel) {
  if (picture_ == schluessel) return;
  picture_ = std::move(schluessel);
  Geaendert();
}

void CommandButton::UserPress() {
  if (!Visible() || !Enabled()) return;
  SetFocus();
  Click();
}

void CheckBox::SetCaption(std::string wert) {
  if (caption_ == wert) return;
  caption_ = std::move(wert);
  Geaendert();
}

void CheckBox::SetValue(std::int16_t wert) {
  if (wert != 0 && wert != 1)
    throw Laufzeitfehler(steuerfehler::UngueltigerWert, "Ungültiger Eigenschaftswert");
  if (value_ == wert) return;
  value_ = wert;
  Geaendert();
  Click();
}

void CheckBox::UserClick() {
  if (!Visible() || !Enabled()) return;
  SetFocus();
  SetValue(value_ == 0 ? 1 : 0);
}

void OptionButton::SetCaption(std::string wert) {
  if (caption_ == wert) return;
  caption_ = std::move(wert);
  Geaendert();
}

void OptionButton::SetValue(bool wert) {
  if (value_ == wert) return;
  if (wert && Besitzer()) {
    for (Control* control : Besitzer()->Steuerelemente()) {
      auto* andere = dynamic_cast<OptionButton*>(control);
      if (andere && andere != this && andere->Container() == Container()) andere->SetValue(false);
    }
  }
  value_ = wert;
  Geaendert();
  if (wert) Click();
}

void OptionButton::UserClick() {
  if (!Visible() || !Enabled()) return;
  SetFocus();
  SetValue(true);
}

}  // namespace tarvo::controls
