#include "platform/word/Selection.h"

#include "platform/word/Core.h"
#include "platform/word/Format.h"

namespace tarvo::word {

using detail::Fehler;

const Range& Selection::Checked() const {
  if (!range_.IsSet()) Fehler(fehlernummer::ObjektNichtFestgelegt);
  return range_;
}

Range Selection::Range() const {
  return Checked().Duplicate();
}
std::int32_t Selection::Start() const {
  return Checked().Start();
}
std::int32_t Selection::End() const {
  return Checked().End();
}
std::string Selection::Text() const {
  return Checked().Text();
}

void Selection::SetText(const std::string& text) {
  cells_.clear();
  word::Range r = Checked();
  r.SetText(text);
}

void Selection::TypeText(const std::string& text) {
  cells_.clear();
  word::Range r = Checked();
  r.Delete();
  r.InsertAfter(text);
  r.Collapse(wdCollapseEnd);
}

std::int32_t Selection::MoveEnd(std::int32_t unit, std::int32_t count) {
  cells_.clear();
  word::Range r = Checked();
  return r.MoveEnd(unit, count);
}

std::int32_t Selection::MoveStart(std::int32_t unit, std::int32_t count) {
  cells_.clear();
  word::Range r = Checked();
  return r.MoveStart(unit, count);
}

void Selection::Collapse(std::int32_t direction) {
  cells_.clear();
  word::Range r = Checked();
  r.Collapse(direction);
}

word::Font Selection::Font() const {
  return word::Font(Parts());
}
word::ParagraphFormat Selection::ParagraphFormat() const {
  return word::ParagraphFormat(Parts());
}
bool Selection::Information(std::int32_t type) const {
  return Checked().Information(type);
}
word::Tables Selection::Tables() const {
  return Checked().Tables();
}

void Selection::SetRange(const word::Range& range) {
  range_ = range;
  cells_.clear();
}

void Selection::SetCells(std::vector<Cell> cells) {
  if (cells.empty()) return;
  word::Range erste = cells.front().Range();
  word::Range letzte = cells.back().Range();
  erste.SetEnd(letzte.End());
  range_ = erste;
  cells_ = std::move(cells);
}

std::vector<word::Range> Selection::Parts() const {
  if (cells_.empty()) return {Checked()};
  std::vector<word::Range> teile;
  for (const Cell& c : cells_) teile.push_back(c.Range());
  return teile;
}

// ---- Border -----------------------------------------------------------------------------

namespace {

const char* Seite(std::int32_t art) {
  switch (art) {
    case wdBorderTop:
      return "top";
    case wdBorderLeft:
      return "left";
    case wdBorderBottom:
      return "bottom";
    case wdBorderRight:
      return "right";
    case wdBorderHorizontal:
      return "insideH";
    case wdBorderVertical:
      return "insideV";
  }
  Fehler(fehlernummer::ElementFehlt, "Die Rahmenart " + std::to_string(art) + " gibt es nicht.");
}

// Calls f(table state, whole) for every top-level table the selection overlaps.
template <class F>
void FuerTabellen(Selection& auswahl, F&& f) {
  word::Range r = auswahl.Range();
  auto& rs = *r.State();
  std::int32_t von = rs.start, bis = rs.end;
  word::Tables tabellen = r.Tables();
  for (std::int32_t i = 1; i <= tabellen.Count(); ++i) {
    Table t = tabellen.Item(i);
    word::Range tr = t.Range();
    bool ganz = auswahl.Cells().empty() && von <= tr.Start() && bis >= tr.End();
    f(*t.State(), ganz);
  }
}

}  // namespace

void Border::SetLineStyle(std::int32_t style) {
  const char* seite = Seite(kind_);
  if (style != wdLineStyleNone && style != wdLineStyleSingle)
    Fehler(5, "Die Linienart " + std::to_string(style) + " wird nicht unterstützt.");
  bool tabelle = false;
  FuerTabellen(*selection_, [&](detail::TableState& t, bool ganz) {
    tabelle = true;
    const detail::Wml& w = t.story->wml;
    if (ganz) {
      pugi::xml_node tblPr = w.Kind(t.tbl, "tblPr");
      if (!tblPr) tblPr = t.tbl.prepend_child(w.N("tblPr").c_str());
      detail::RahmenSchreiben(w, w.KindGeordnet(tblPr, "tblBorders", detail::kTblPrOrder), seite,
                              style);
      // The cells' own borders on this side go; a table whose cells have none (a new one) is
      // looked through once, not for every side.
      if (!t.ohneZellraender) {
        bool keine = true;
        for (pugi::xml_node tr : t.Zeilen())
          for (pugi::xml_node tc : tr.children()) {
            pugi::xml_node rand = w.Kind(w.Kind(tc, "tcPr"), "tcBorders");
            if (!rand) continue;
            keine = false;
            if (pugi::xml_node e = w.Kind(rand, seite)) rand.remove_child(e);
          }
        t.ohneZellraender = keine;
      }
    } else {
      // The selected cells get the border on their own edges.
      std::vector<word::Range> teile = selection_->Parts();
      for (const word::Range& teil : teile) {
        auto& rs = *teil.State();
        detail::Piece* p = rs.story->PieceAt(rs.start);
        if (!p) continue;
        pugi::xml_node tc = w.Vorfahr(p->Node(), "tc", t.tbl);
        if (!tc) continue;
        pugi::xml_node tcPr = w.Kind(tc, "tcPr");
        if (!tcPr) tcPr = tc.prepend_child(w.N("tcPr").c_str());
        pugi::xml_node rand = w.KindGeordnet(tcPr, "tcBorders", detail::kTcPrOrder);
        t.ohneZellraender = false;
        if (kind_ == wdBorderHorizontal) {
          detail::RahmenSchreiben(w, rand, "top", style);
          detail::RahmenSchreiben(w, rand, "bottom", style);
        } else if (kind_ == wdBorderVertical) {
          detail::RahmenSchreiben(w, rand, "left", style);
          detail::RahmenSchreiben(w, rand, "right", style);
        } else {
          detail::RahmenSchreiben(w, rand, seite, style);
        }
      }
    }
    t.story->Geaendert();
  });
  if (!tabelle)
    for (const word::Range& teil : selection_->Parts())
      detail::AbsatzrahmenSetzen(*teil.State(), kind_, style);
}

std::int32_t Border::LineStyle() const {
  const char* seite = Seite(kind_);
  std::int32_t ergebnis = -2;
  bool tabelle = false;
  FuerTabellen(*selection_, [&](detail::TableState& t, bool) {
    tabelle = true;
    const detail::Wml& w = t.story->wml;
    std::int32_t wert = detail::RahmenLesen(w, w.Kind(w.Kind(t.tbl, "tblPr"), "tblBorders"), seite);
    if (wert < 0) wert = wdLineStyleNone;
    ergebnis = ergebnis == -2 || ergebnis == wert ? wert : wdUndefined;
  });
  if (tabelle) return ergebnis;
  return detail::AbsatzrahmenLesen(*selection_->Range().State(), kind_);
}

}  // namespace tarvo::word
