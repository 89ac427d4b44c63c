#include "platform/controls/ComboBox.h"

#include <utility>

#include "errors/Laufzeitfehler.h"

namespace tarvo::controls {
namespace {

[[noreturn]] void UngueltigerIndex() {
  throw Laufzeitfehler(steuerfehler::UngueltigerIndex, "Ungültiger Index für Eigenschaftsfeld");
}

}  // namespace

void ComboBox::AddItem(std::string text) {
  AddItem(std::move(text), ListCount());
}

void ComboBox::AddItem(std::string text, std::int32_t index) {
  if (index < 0 || index > ListCount()) UngueltigerIndex();
  items_.insert(items_.begin() + index, std::move(text));
  if (list_index_ >= index) ++list_index_;  // the selected item keeps its text
  Geaendert();
}

void ComboBox::Clear() {
  if (items_.empty() && list_index_ == -1) return;
  items_.clear();
  list_index_ = -1;
  Geaendert();
}

const std::string& ComboBox::List(std::int32_t index) const {
  if (index < 0 || index >= ListCount()) UngueltigerIndex();
  return items_[static_cast<std::size_t>(index)];
}

void ComboBox::SetListIndex(std::int32_t index) {
  if (index < -1 || index >= ListCount())
    throw Laufzeitfehler(steuerfehler::UngueltigerWert, "Ungültiger Eigenschaftswert");
  if (index == list_index_) return;
  list_index_ = index;
  if (index >= 0) text_ = items_[static_cast<std::size_t>(index)];
  Geaendert();
  if (index >= 0) Click();
}

void ComboBox::SetText(std::string wert) {
  if (text_ == wert) return;
  text_ = std::move(wert);
  Geaendert();
}

void ComboBox::UserChoose(std::int32_t index) {
  if (index < 0 || index >= ListCount()) UngueltigerIndex();
  if (!Visible() || !Enabled()) return;
  SetFocus();
  SetListIndex(index);
}

}  // namespace tarvo::controls
