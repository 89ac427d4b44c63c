#include "platform/word/Bookmarks.h"

#include "platform/word/Core.h"

namespace tarvo::word {

using detail::Fehler;

namespace {

void NamePruefen(const std::string& name) {
  bool gut = !name.empty() && detail::Utf8Laenge(name) <= 40;
  if (gut) {
    unsigned char erstes = name[0];
    gut = std::isalpha(erstes) || erstes >= 0xC0;
  }
  for (unsigned char c : name)
    if (!(std::isalnum(c) || c == '_' || c >= 0x80)) gut = false;
  if (!gut) Fehler(detail::kTextmarkenname, "Ungültiger Textmarkenname »" + name + "«.");
}

void Entfernen(detail::Core& core, pugi::xml_node anfang) {
  std::string id = core.mainWml.Attr(anfang, "id").value();
  if (pugi::xml_node ende = core.TextmarkenEnde(id)) ende.parent().remove_child(ende);
  anfang.parent().remove_child(anfang);
  ++core.generation;
  core.mainDirty = true;
}

}  // namespace

Range Bookmark::Range() const {
  const auto& marken = core_->Textmarken();
  auto it = marken.find(name_);
  if (it == marken.end())
    Fehler(fehlernummer::ElementFehlt, "Die Textmarke »" + name_ + "« gibt es nicht.");
  detail::Story& st = core_->Main();
  std::int32_t von = st.PositionOfMarker(it->second);
  pugi::xml_node ende = core_->TextmarkenEnde(core_->mainWml.Attr(it->second, "id").value());
  std::int32_t bis = ende ? std::max(von, st.PositionOfMarker(ende)) : von;
  return word::Range(st.NewRange(von, bis));
}

void Bookmark::Delete() {
  const auto& marken = core_->Textmarken();
  auto it = marken.find(name_);
  if (it == marken.end())
    Fehler(fehlernummer::ElementFehlt, "Die Textmarke »" + name_ + "« gibt es nicht.");
  Entfernen(*core_, it->second);
}

std::int32_t Bookmarks::Count() const {
  return static_cast<std::int32_t>(core_->Textmarken().size());
}

bool Bookmarks::Exists(const std::string& name) const {
  return core_->Textmarken().count(name) > 0;
}

Bookmark Bookmarks::Item(const std::string& name) const {
  if (!Exists(name))
    Fehler(fehlernummer::ElementFehlt, "Die Textmarke »" + name + "« gibt es nicht.");
  return Bookmark(core_, name);
}

Bookmark Bookmarks::Add(const std::string& name, const word::Range& range) {
  NamePruefen(name);
  auto& rs = *range.State();
  detail::Core& core = *core_;
  if (rs.story.get() != core.main.get())
    Fehler(detail::kNichtVerfuegbar, "Textmarken sind nur im Haupttext möglich.");
  const detail::Wml& w = core.mainWml;
  if (auto it = core.Textmarken().find(name); it != core.Textmarken().end())
    Entfernen(core, it->second);
  long hoechste = -1;
  for (const auto& [n, knoten] : core.Textmarken())
    hoechste = std::max(hoechste, static_cast<long>(w.Attr(knoten, "id").as_int(-1)));
  std::string id = std::to_string(hoechste + 1);
  detail::Story& st = core.Main();
  // A range over a whole cell or row ends behind its end mark; the bookmark ends before it, in
  // the cell's last paragraph, as the word processor stores it.
  std::int32_t bis = rs.end;
  while (bis > rs.start) {
    detail::Piece* p = st.PieceAt(bis - 1);
    if (!p || !detail::IstMarke(p->kind) || p->kind == detail::PieceKind::ParagraphMark) break;
    --bis;
  }
  pugi::xml_node anfang;
  if (rs.start == bis) {
    anfang = detail::Story::Einfuegen(st.MarkerGap(rs.start), w.N("bookmarkStart").c_str());
    w.Setze(anfang.parent().insert_child_after(w.N("bookmarkEnd").c_str(), anfang), "id", id);
  } else {
    pugi::xml_node ende = detail::Story::Einfuegen(st.MarkerGap(bis), w.N("bookmarkEnd").c_str());
    w.Setze(ende, "id", id);
    anfang = detail::Story::Einfuegen(st.MarkerGap(rs.start), w.N("bookmarkStart").c_str());
  }
  w.Setze(anfang, "id", id);
  w.Setze(anfang, "name", name);
  ++core.generation;
  core.mainDirty = true;
  return Bookmark(core_, name);
}

}  // namespace tarvo::word
