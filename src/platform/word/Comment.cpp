#include "platform/word/Comment.h"

#include <chrono>
#include <ctime>

#include "common/XmlZeichen.h"
#include "platform/word/Core.h"

namespace tarvo::word {

using detail::CommentState;
using detail::Fehler;
using detail::Story;

namespace {

CommentState& K(const std::shared_ptr<CommentState>& state) {
  if (!state) Fehler(fehlernummer::ObjektNichtFestgelegt);
  if (state->deleted || !state->core->KommentarElement(state->id))
    Fehler(detail::kObjektGeloescht, "Der Kommentar wurde gelöscht.");
  return *state;
}

std::string JetztUtc() {
  std::time_t jetzt = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm zeit{};
  gmtime_r(&jetzt, &zeit);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &zeit);
  return text;
}

}  // namespace

const std::shared_ptr<CommentState>& Comment::Checked() const {
  K(state_);
  return state_;
}

Range Comment::Range() const {
  CommentState& k = K(state_);
  auto story = k.core->KommentarStory(k.id);
  return word::Range(story->NewRange(0, story->Length()));
}

Range Comment::Scope() const {
  CommentState& k = K(state_);
  detail::CommentMarks m = k.core->Marken(k.id);
  Story& st = k.core->Main();
  if (m.start && m.end) {
    std::int32_t von = st.PositionOfMarker(m.start);
    std::int32_t bis = st.PositionOfMarker(m.end);
    if (bis < von) bis = von;
    return word::Range(st.NewRange(von, bis));
  }
  return Reference();
}

Range Comment::Reference() const {
  CommentState& k = K(state_);
  detail::CommentMarks m = k.core->Marken(k.id);
  Story& st = k.core->Main();
  pugi::xml_node marke = m.reference ? m.reference : m.end;
  if (!marke) Fehler(detail::kObjektGeloescht, "Der Kommentar hat keinen Anker im Text.");
  std::int32_t pos = st.PositionOfMarker(marke);
  return word::Range(st.NewRange(pos, pos));
}

std::string Comment::Author() const {
  CommentState& k = K(state_);
  return k.core->commentsWml.Attr(k.core->KommentarElement(k.id), "author").value();
}

std::string Comment::Initial() const {
  CommentState& k = K(state_);
  return k.core->commentsWml.Attr(k.core->KommentarElement(k.id), "initials").value();
}

void Comment::Delete() {
  CommentState& k = K(state_);
  k.core->KommentarEntfernen(k.id);
}

bool Comment::IsDeleted() const {
  return !state_ || state_->deleted || !state_->core->KommentarElement(state_->id);
}

bool Comment::operator==(const Comment& other) const {
  if (!state_ || !other.state_) return state_ == other.state_;
  return state_->core == other.state_->core && state_->id == other.state_->id;
}

Comment Comments::Item(std::int32_t index) const {
  if (index < 1 || index > Count())
    Fehler(fehlernummer::ElementFehlt, "Der Kommentar " + std::to_string(index) +
                                           " ist nicht vorhanden (" + std::to_string(Count()) +
                                           " Kommentare).");
  return Comment(core_->KommentarHandle((*ids_)[static_cast<std::size_t>(index - 1)]));
}

Comment Comments::Add(const word::Range& range, const std::string& text) {
  auto& rs = *range.State();
  detail::Core& core = *rs.core;
  if (rs.story.get() != core.main.get())
    Fehler(detail::kNichtVerfuegbar, "Kommentare sind nur im Haupttext möglich.");
  Story& st = core.Main();
  const detail::Wml& w = st.wml;
  std::int32_t von = rs.start;
  std::int32_t bis = rs.end;
  while (bis > von) {
    detail::Piece* p = st.PieceAt(bis - 1);
    if (p && detail::IstMarke(p->kind))
      --bis;
    else
      break;
  }
  pugi::xml_node wurzel = core.KommentareWurzel(true);
  std::string id = core.NeueKommentarId();

  detail::CommentMarks marken;
  auto lauf = [&](pugi::xml_node nach) {
    pugi::xml_node r = nach.parent().insert_child_after(w.N("r").c_str(), nach);
    marken.reference = r.append_child(w.N("commentReference").c_str());
    w.Setze(marken.reference, "id", id);
  };
  if (von == bis) {
    marken.start = Story::Einfuegen(st.MarkerGap(von), w.N("commentRangeStart").c_str());
    w.Setze(marken.start, "id", id);
    marken.end =
        marken.start.parent().insert_child_after(w.N("commentRangeEnd").c_str(), marken.start);
    w.Setze(marken.end, "id", id);
    lauf(marken.end);
  } else {
    marken.end = Story::Einfuegen(st.MarkerGap(bis), w.N("commentRangeEnd").c_str());
    w.Setze(marken.end, "id", id);
    lauf(marken.end);
    marken.start = Story::Einfuegen(st.MarkerGap(von), w.N("commentRangeStart").c_str());
    w.Setze(marken.start, "id", id);
  }

  const detail::Wml& cw = core.commentsWml;
  pugi::xml_node kommentar = wurzel.append_child(cw.N("comment").c_str());
  cw.Setze(kommentar, "id", id);
  cw.Setze(kommentar, "author", "tarvo");
  cw.Setze(kommentar, "date", JetztUtc());
  cw.Setze(kommentar, "initials", "t");
  std::size_t pos = 0;
  bool erster = true;
  do {
    std::size_t ende = text.find_first_of("\r\n", pos);
    std::string zeile =
        text.substr(pos, ende == std::string::npos ? std::string::npos : ende - pos);
    pugi::xml_node p = kommentar.append_child(cw.N("p").c_str());
    if (erster) p.append_child(cw.N("r").c_str()).append_child(cw.N("annotationRef").c_str());
    erster = false;
    if (!zeile.empty()) {
      pugi::xml_node t = p.append_child(cw.N("r").c_str()).append_child(cw.N("t").c_str());
      t.text().set(xmlzeichen::Bereinigt(zeile).c_str());
      detail::LeerzeichenSchuetzen(t);
    }
    if (ende == std::string::npos) break;
    pos = ende + (text.compare(ende, 2, "\r\n") == 0 ? 2 : 1);
  } while (true);
  core.KommentarAngelegt(id, kommentar, marken);
  core.mainDirty = true;
  core.commentsDirty = true;
  return Comment(core.KommentarHandle(id));
}

Comments Range::Comments() const {
  auto& rs = *State();
  detail::Core& core = *rs.core;
  auto liste = std::make_shared<std::vector<std::string>>();
  if (rs.story.get() == core.main.get()) {
    for (const auto& [id, pos] : core.KommentarPositionen()) {
      if (!core.KommentarElement(id)) continue;
      bool darin = rs.start == rs.end ? pos == rs.start : (pos >= rs.start && pos < rs.end);
      if (darin) liste->push_back(id);
    }
  }
  return word::Comments(rs.core, std::move(liste));
}

}  // namespace tarvo::word
