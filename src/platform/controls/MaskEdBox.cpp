#include "platform/controls/MaskEdBox.h"

#include <algorithm>
#include <utility>

#include "errors/Laufzeitfehler.h"

namespace tarvo::controls {
namespace {

constexpr std::int32_t MaxStellen = 64;

[[noreturn]] void UngueltigerWert() {
  throw Laufzeitfehler(steuerfehler::UngueltigerWert, "Ungültiger Eigenschaftswert");
}

bool IstZiffer(char zeichen) {
  return zeichen >= '0' && zeichen <= '9';
}

std::int32_t PruefeStellen(std::int32_t stellen) {
  if (stellen < 1 || stellen > MaxStellen) UngueltigerWert();
  return stellen;
}

}  // namespace

MaskEdBox::MaskEdBox(std::string name, std::int32_t stellen)
    : Control(std::move(name)),
      stellen_(PruefeStellen(stellen)),
      text_(static_cast<std::size_t>(stellen_), ' ') {}

MaskEdBox::MaskEdBox(Form& besitzer, std::string name, std::int32_t stellen)
    : Control(besitzer, std::move(name)),
      stellen_(PruefeStellen(stellen)),
      text_(static_cast<std::size_t>(stellen_), ' ') {}

void MaskEdBox::SetMask(const std::string& maske) {
  const auto stellen = static_cast<std::int32_t>(maske.size());
  if (stellen < 1 || stellen > MaxStellen ||
      !std::all_of(maske.begin(), maske.end(), [](char z) { return z == '#'; }))
    UngueltigerWert();
  if (stellen == stellen_) return;
  stellen_ = stellen;
  sel_start_ = 0;
  sel_length_ = 0;
  TextSetzen(std::string(static_cast<std::size_t>(stellen_), ' '));
}

void MaskEdBox::SetText(const std::string& wert) {
  if (static_cast<std::int32_t>(wert.size()) > stellen_ ||
      !std::all_of(wert.begin(), wert.end(), [](char z) { return z == ' ' || IstZiffer(z); }))
    UngueltigerWert();
  std::string neu = wert;
  neu.resize(static_cast<std::size_t>(stellen_), ' ');
  TextSetzen(std::move(neu));
}

void MaskEdBox::TextSetzen(std::string neu) {
  if (neu == text_) return;
  text_ = std::move(neu);
  Geaendert();
  Change();
}

void MaskEdBox::SetSelStart(std::int32_t wert) {
  if (wert < 0) UngueltigerWert();
  const std::int32_t start = std::min(wert, stellen_);
  const std::int32_t laenge = std::min(sel_length_, stellen_ - start);
  if (start == sel_start_ && laenge == sel_length_) return;
  sel_start_ = start;
  sel_length_ = laenge;
  Geaendert();
}

void MaskEdBox::SetSelLength(std::int32_t wert) {
  if (wert < 0) UngueltigerWert();
  const std::int32_t laenge = std::min(wert, stellen_ - sel_start_);
  if (laenge == sel_length_) return;
  sel_length_ = laenge;
  Geaendert();
}

std::string MaskEdBox::SelText() const {
  return text_.substr(static_cast<std::size_t>(sel_start_), static_cast<std::size_t>(sel_length_));
}

void MaskEdBox::UserFocus() {
  if (!Visible() || !Enabled()) return;
  SetFocus();
}

std::int32_t MaskEdBox::UserType(const std::string& tasten) {
  if (!Visible() || !Enabled()) return static_cast<std::int32_t>(tasten.size());
  if (!HasFocus()) SetFocus();
  std::int32_t abgelehnt = 0;
  for (char taste : tasten) {
    if (!Taste(taste)) ++abgelehnt;
  }
  return abgelehnt;
}

void MaskEdBox::UserLeave() {
  FokusAbgeben();
}

bool MaskEdBox::Taste(char taste) {
  const bool ziffer = IstZiffer(taste);
  if (!ziffer && taste != '\b' && taste != '\x7f') return false;

  std::string neu = text_;
  std::int32_t caret = sel_start_;
  const bool auswahl = sel_length_ > 0;
  if (auswahl) {
    std::fill_n(neu.begin() + sel_start_, sel_length_, ' ');
  }
  if (ziffer) {
    if (caret >= stellen_) return false;
    neu[static_cast<std::size_t>(caret)] = taste;
    ++caret;
  } else if (taste == '\b' && !auswahl) {
    if (caret == 0) return false;
    --caret;
    neu[static_cast<std::size_t>(caret)] = ' ';
  } else if (taste == '\x7f' && !auswahl) {
    if (caret >= stellen_) return false;
    neu[static_cast<std::size_t>(caret)] = ' ';
  }

  const bool auswahlGeaendert = caret != sel_start_ || sel_length_ != 0;
  sel_start_ = caret;
  sel_length_ = 0;
  if (neu != text_) {
    TextSetzen(std::move(neu));
  } else if (auswahlGeaendert) {
    Geaendert();
  }
  return true;
}

}  // namespace tarvo::controls
