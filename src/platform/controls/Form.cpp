#include "platform/controls/Form.h"

#include <algorithm>
#include <utility>

#include "platform/controls/Bildschirm.h"

namespace tarvo::controls {

Form::Form(std::string name, std::string caption)
    : Caption(std::move(caption)), name_(std::move(name)) {}

Form::~Form() {
  Bildschirm::Aktuell().Vergessen(*this);
  // Controls that outlive their form (not members of it) must not call back into it.
  for (Control* control : controls_) control->besitzer_ = nullptr;
}

void Form::Load() {
  if (loaded_) return;
  loaded_ = true;  // before Form_Load, so a Show inside it does not load twice
  Form_Load();
}

void Form::Show(bool modal) {
  Load();
  if (!loaded_) return;  // Form_Load unloaded the form again
  visible_ = true;
  Bildschirm::Aktuell().Zeigen(*this, modal);
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  Bildschirm::Aktuell().Verbergen(*this);
}

void Form::Unload() {
  if (!loaded_) return;
  Form_Unload();
  loaded_ = false;
  visible_ = false;
  active_ = nullptr;
  Bildschirm::Aktuell().Entladen(*this);
}

void Form::SetParentWindow(std::int32_t parent, std::int32_t extendedStyle) {
  ParentWindow = parent;
  ExtendedStyle = extendedStyle;
  Bildschirm::Aktuell().Einbetten(*this, parent, extendedStyle);
}

Control* Form::Steuerelement(std::string_view name) const {
  // The latest registration of a name wins.
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    if ((*it)->Name() == name) return *it;
  }
  return nullptr;
}

void Form::Registrieren(Control& control) {
  controls_.push_back(&control);
}

void Form::Abmelden(Control& control) {
  std::erase(controls_, &control);
  if (active_ == &control) active_ = nullptr;
}

void Form::FokusSetzen(Control* neu) {
  Control* alt = active_;
  if (alt == neu) return;
  active_ = neu;
  if (alt) alt->LostFocus();
  // A LostFocus handler may have moved the focus on; then that move raised the events.
  if (neu && active_ == neu) neu->GotFocus();
}

}  // namespace tarvo::controls
