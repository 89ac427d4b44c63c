#include "platform/word/Range.h"

#include <algorithm>

#include "platform/word/Application.h"
#include "platform/word/Core.h"
#include "platform/word/Format.h"

namespace tarvo::word {

using detail::Fehler;
using detail::PieceKind;
using detail::RangeState;
using detail::Story;

namespace {

RangeState& S(const std::shared_ptr<RangeState>& state) {
  if (!state) Fehler(fehlernummer::ObjektNichtFestgelegt);
  state->story->Lebt();
  return *state;
}

// The insertion point for text at `position`: not after the story's final paragraph mark.
std::int32_t Einfuegestelle(Story& story, std::int32_t position) {
  if (position >= story.Length() - 1) story.AbsatzAmEnde();
  std::int32_t laenge = story.Length();
  return position >= laenge && laenge > 0 ? laenge - 1 : position;
}

bool EndetMitZellmarke(Story& story, std::int32_t start, std::int32_t end) {
  if (end <= start) return false;
  detail::Piece* p = story.PieceAt(end - 1);
  return p && (p->kind == PieceKind::CellMark || p->kind == PieceKind::RowMark);
}

}  // namespace

const std::shared_ptr<RangeState>& Range::State() const {
  S(state_);
  return state_;
}

std::int32_t Range::Start() const {
  return S(state_).start;
}
std::int32_t Range::End() const {
  return S(state_).end;
}

void Range::SetStart(std::int32_t position) {
  RangeState& s = S(state_);
  s.story->Pruefen(position, position);
  s.start = position;
  if (s.end < position) s.end = position;
}

void Range::SetEnd(std::int32_t position) {
  RangeState& s = S(state_);
  s.story->Pruefen(position, position);
  s.end = position;
  if (s.start > position) s.start = position;
}

void Range::SetRange(std::int32_t start, std::int32_t end) {
  RangeState& s = S(state_);
  if (end < start) std::swap(start, end);
  s.story->Pruefen(start, end);
  s.start = start;
  s.end = end;
}

std::int32_t Range::StoryType() const {
  return S(state_).story->type;
}

std::string Range::Text() const {
  RangeState& s = S(state_);
  return s.story->Text(s.start, s.end);
}

void Range::SetText(const std::string& text) {
  RangeState& s = S(state_);
  Story& st = *s.story;
  std::int32_t ende = s.end;
  while (EndetMitZellmarke(st, s.start, ende)) --ende;
  st.Delete(s.start, ende);
  std::int32_t q = Einfuegestelle(st, s.start);
  std::int32_t bleibt = s.end - s.start;
  std::int32_t n = st.Insert(q, text);
  s.start = q;
  s.end = q + n + bleibt;
}

void Range::Collapse(std::int32_t direction) {
  RangeState& s = S(state_);
  if (direction == wdCollapseStart)
    s.end = s.start;
  else if (direction == wdCollapseEnd)
    s.start = s.end;
  else
    Fehler(5, "Ungültige Richtung " + std::to_string(direction) + " für Collapse.");
}

std::int32_t Range::MoveStart(std::int32_t unit, std::int32_t count) {
  RangeState& s = S(state_);
  std::int32_t bewegt = 0;
  s.start = s.story->Move(s.start, unit, count, &bewegt);
  if (s.end < s.start) s.end = s.start;
  return bewegt;
}

std::int32_t Range::MoveEnd(std::int32_t unit, std::int32_t count) {
  RangeState& s = S(state_);
  std::int32_t bewegt = 0;
  s.end = s.story->Move(s.end, unit, count, &bewegt);
  if (s.start > s.end) s.start = s.end;
  return bewegt;
}

std::int32_t Range::Move(std::int32_t unit, std::int32_t count) {
  RangeState& s = S(state_);
  std::int32_t bewegt = 0;
  std::int32_t von = count < 0 ? s.start : s.end;
  s.start = s.end = s.story->Move(von, unit, count, &bewegt);
  return bewegt;
}

void Range::InsertAfter(const std::string& text) {
  RangeState& s = S(state_);
  Story& st = *s.story;
  std::int32_t q = s.end;
  if (EndetMitZellmarke(st, s.start, q)) --q;
  q = Einfuegestelle(st, q);
  std::int32_t n = st.Insert(q, text);
  s.start = std::min(s.start, q);
  s.end = std::max(s.end, q + n);
}

void Range::InsertBefore(const std::string& text) {
  RangeState& s = S(state_);
  Story& st = *s.story;
  std::int32_t q = Einfuegestelle(st, s.start);
  std::int32_t n = st.Insert(q, text);
  s.start = q;
  s.end = std::max(s.end, q + n);
}

void Range::InsertParagraphBefore() {
  InsertBefore("\r");
}
void Range::InsertParagraphAfter() {
  InsertAfter("\r");
}

void Range::Delete() {
  RangeState& s = S(state_);
  s.story->Delete(s.start, s.end);
  s.end = s.start;
}

void Range::Select() const {
  RangeState& s = S(state_);
  s.core->App().Selection().SetRange(Duplicate());
}

std::int32_t Range::Bold() const {
  return detail::ZeichenLesen(S(state_), "b");
}
std::int32_t Range::Italic() const {
  return detail::ZeichenLesen(S(state_), "i");
}
std::int32_t Range::Underline() const {
  return detail::ZeichenLesen(S(state_), "u");
}
void Range::SetBold(bool on) {
  detail::ZeichenSetzen(S(state_), "b", on);
}
void Range::SetItalic(bool on) {
  detail::ZeichenSetzen(S(state_), "i", on);
}
void Range::SetUnderline(bool on) {
  detail::ZeichenSetzen(S(state_), "u", on);
}

word::Font Range::Font() const {
  return word::Font(*this);
}
word::ParagraphFormat Range::ParagraphFormat() const {
  return word::ParagraphFormat(*this);
}

bool Range::Information(std::int32_t type) const {
  RangeState& s = S(state_);
  if (type != wdWithInTable)
    Fehler(5, "Die Auskunft " + std::to_string(type) + " wird nicht unterstützt.");
  return s.story->InTable(s.start);
}

Range Range::Duplicate() const {
  RangeState& s = S(state_);
  return Range(s.story->NewRange(s.start, s.end));
}

namespace {
// Combines the answers of several parts: equal answers stay, differing ones give wdUndefined.
template <class T, class F>
T Gemeinsam(const std::vector<Range>& teile, F&& lesen) {
  bool erster = true;
  T ergebnis{};
  for (const Range& r : teile) {
    T wert = lesen(S(r.State()));
    if (!erster && wert != ergebnis) return static_cast<T>(wdUndefined);
    ergebnis = wert;
    erster = false;
  }
  if (erster) Fehler(fehlernummer::ObjektNichtFestgelegt);
  return ergebnis;
}
}  // namespace

float Font::Size() const {
  return Gemeinsam<float>(teile_, detail::GroesseLesen);
}
void Font::SetSize(float points) {
  for (const Range& r : teile_) detail::GroesseSetzen(S(r.State()), points);
}
std::int32_t Font::Bold() const {
  return Gemeinsam<std::int32_t>(teile_,
                                 [](RangeState& r) { return detail::ZeichenLesen(r, "b"); });
}
std::int32_t Font::Italic() const {
  return Gemeinsam<std::int32_t>(teile_,
                                 [](RangeState& r) { return detail::ZeichenLesen(r, "i"); });
}
std::int32_t Font::Underline() const {
  return Gemeinsam<std::int32_t>(teile_,
                                 [](RangeState& r) { return detail::ZeichenLesen(r, "u"); });
}
void Font::SetBold(bool on) {
  for (const Range& r : teile_) detail::ZeichenSetzen(S(r.State()), "b", on);
}
void Font::SetItalic(bool on) {
  for (const Range& r : teile_) detail::ZeichenSetzen(S(r.State()), "i", on);
}
void Font::SetUnderline(bool on) {
  for (const Range& r : teile_) detail::ZeichenSetzen(S(r.State()), "u", on);
}

std::int32_t ParagraphFormat::Alignment() const {
  return Gemeinsam<std::int32_t>(teile_, detail::AusrichtungLesen);
}
void ParagraphFormat::SetAlignment(std::int32_t alignment) {
  for (const Range& r : teile_) detail::AusrichtungSetzen(S(r.State()), alignment);
}

void TabStops::Add(float position, std::int32_t alignment, std::int32_t leader) {
  for (const Range& r : teile_) detail::TabstoppSetzen(S(r.State()), position, alignment, leader);
}
std::int32_t TabStops::Count() const {
  if (teile_.empty()) Fehler(fehlernummer::ObjektNichtFestgelegt);
  return detail::TabstoppZahl(S(teile_.front().State()));
}

}  // namespace tarvo::word
