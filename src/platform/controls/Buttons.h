// The button controls: CommandButton (press → Click), CheckBox (Value 0/1) and OptionButton
// (selected or not, exclusive within its group). A group is the set of option buttons of one form
// with the same container (a Frame, or none = the form itself); selecting one clears the others.
// As the old controls did, CheckBox and OptionButton raise Click on every real change of their
// value, whether the user or the program made it; setting the value they already have raises
// nothing. The user actions (UserPress, UserClick) give the control the focus first and do nothing
// on a hidden or disabled control.
#pragma once

#include <cstdint>
#include <string>

#include "platform/controls/Control.h"

namespace tarvo::controls {

class CommandButton : public Control {
 public:
  using Control::Control;
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string wert);
  // The key of the picture in the shared icon list ("OK", "Abbruch", ...); empty for none.
  const std::string& Picture() const { return picture_; }
  void SetPicture(std::string schluessel);

  // User action: press the button (focus, then Click). Nothing on a hidden or disabled button.
  void UserPress();

  Event<> Click;

 private:
  std::string caption_;
  std::string picture_;
};

class CheckBox : public Control {
 public:
  using Control::Control;
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string wert);

  // 0 unchecked, 1 checked.
  std::int16_t Value() const { return value_; }
  // Sets 0 or 1 (Click when it changes); anything else throws 380.
  void SetValue(std::int16_t wert);

  // User action: toggle the box (focus, then the value flips and Click is raised).
  void UserClick();

  Event<> Click;

 private:
  std::string caption_;
  std::int16_t value_ = 0;
};

class OptionButton : public Control {
 public:
  using Control::Control;
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string wert);

  bool Value() const { return value_; }
  // True selects this option and clears the others of its group (each raising StateChanged;
  // Click is raised by this one only). False just clears it.
  void SetValue(bool wert);

  // User action: choose this option (focus, then SetValue(true)). A selected option stays
  // selected and raises nothing.
  void UserClick();

  Event<> Click;

 private:
  std::string caption_;
  bool value_ = false;
};

}  // namespace tarvo::controls
