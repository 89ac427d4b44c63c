// MaskEdBox: a masked edit of N digit places whose prompt character is the blank. It keeps the
// old control's text: the text always has exactly N characters and a place that was not typed
// holds the blank (an emptied four-place field reads "    "). Typing replaces the selection, if
// any, by blanks and then fills places from the caret onwards (typing "7" into a wholly selected
// two-place field gives "7 "); keystrokes other than digits, backspace and delete are refused, as
// are digits beyond the last place. Text set by the program is kept as given when it fits the
// mask (only digits and blanks, at most N characters; a shorter text is filled up with blanks
// on the right); anything else throws 380 "Ungültiger Eigenschaftswert" and leaves the text as
// it was. Change is raised once per real change of the text, by the user or the program.
#pragma once

#include <cstdint>
#include <string>

#include "platform/controls/Control.h"

namespace tarvo::controls {

class MaskEdBox : public Control {
 public:
  // A field of `stellen` digit places (mask "#" repeated), all blank.
  MaskEdBox(std::string name, std::int32_t stellen);
  MaskEdBox(Form& besitzer, std::string name, std::int32_t stellen);

  std::int32_t Stellen() const { return stellen_; }
  // The mask: one "#" per digit place.
  std::string Mask() const { return std::string(static_cast<std::size_t>(stellen_), '#'); }
  // A new mask of "#" places (1..64; else 380); the text becomes all blanks.
  void SetMask(const std::string& maske);

  // Always Stellen() characters.
  const std::string& Text() const { return text_; }
  // See the header comment; raises Change when the text changes.
  void SetText(const std::string& wert);

  // The selection: start 0..N (larger values are clamped to N), length clamped to N - start.
  std::int32_t SelStart() const { return sel_start_; }
  std::int32_t SelLength() const { return sel_length_; }
  void SetSelStart(std::int32_t wert);
  void SetSelLength(std::int32_t wert);
  // The selected characters.
  std::string SelText() const;

  // User action: the field receives the focus (GotFocus; handlers usually select all).
  void UserFocus();
  // User action: keystrokes at the caret. Digits fill places, '\b' clears the selection or the
  // place before the caret, '\x7f' clears the selection or the place at the caret; other
  // characters are refused. Gives the field the focus first when it has not got it. Returns the
  // number of keystrokes refused. Nothing on a hidden or disabled field (all refused).
  std::int32_t UserType(const std::string& tasten);
  // User action: the field loses the focus (LostFocus) and the form has none afterwards, as when
  // the focus leaves for a control the models do not know.
  void UserLeave();

  Event<> Change;

 private:
  bool Taste(char taste);
  void TextSetzen(std::string neu);

  std::int32_t stellen_;
  std::string text_;
  std::int32_t sel_start_ = 0;
  std::int32_t sel_length_ = 0;
};

}  // namespace tarvo::controls
