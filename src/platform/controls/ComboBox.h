// ComboBox: a list of item texts, the selected index (-1 none) and the edit text. Selecting an
// item (by the program or the user) sets the text to it and raises Click once; selecting the
// index already selected raises nothing. The form positions and shows or hides it at will (the
// category forms float it over a grid cell). Bad indexes throw 381.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls/Control.h"

namespace tarvo::controls {

class ComboBox : public Control {
 public:
  using Control::Control;

  // Appends an item (or inserts it before `index`, 0..ListCount).
  void AddItem(std::string text);
  void AddItem(std::string text, std::int32_t index);
  // Removes every item; the index becomes -1 and the text stays.
  void Clear();
  std::int32_t ListCount() const { return static_cast<std::int32_t>(items_.size()); }
  // The item at 0..ListCount-1; throws 381 otherwise.
  const std::string& List(std::int32_t index) const;

  std::int32_t ListIndex() const { return list_index_; }
  // -1 clears the selection (text unchanged); 0..ListCount-1 selects that item, sets the text
  // and raises Click when the index changes; anything else throws 380.
  void SetListIndex(std::int32_t index);

  const std::string& Text() const { return text_; }
  // Sets the edit text; the list index stays as it is.
  void SetText(std::string wert);

  // User action: choose item `index` from the list (focus, then SetListIndex). Throws 381 for an
  // index outside the list; nothing on a hidden or disabled box.
  void UserChoose(std::int32_t index);

  Event<> Click;

 private:
  std::vector<std::string> items_;
  std::int32_t list_index_ = -1;
  std::string text_;
};

}  // namespace tarvo::controls
