#include "platform/word/Format.h"

#include <cmath>
#include <cstring>
#include <string>

#include "platform/word/WdConstants.h"

namespace tarvo::word::detail {

namespace {

bool Wahr(const Wml& w, pugi::xml_node element, const char* eigenschaft) {
  std::string_view v = w.Attr(element, "val").value();
  if (!std::strcmp(eigenschaft, "u")) return v != "none" && !v.empty();
  return !(v == "0" || v == "false" || v == "off");
}

// The property element in a style chain (basedOn), of `bereich` ("rPr" or "pPr").
pugi::xml_node AusStil(Core& core, std::string id, const char* bereich, const char* eigenschaft) {
  const Wml& w = core.stylesWml;
  for (int tiefe = 0; tiefe < 20 && !id.empty(); ++tiefe) {
    pugi::xml_node stil = core.Formatvorlage(id);
    if (!stil) break;
    if (pugi::xml_node e = w.Kind(w.Kind(stil, bereich), eigenschaft)) return e;
    id = w.Attr(w.Kind(stil, "basedOn"), "val").value();
  }
  return {};
}

std::string StandardAbsatzstil(Core& core) {
  const Wml& w = core.stylesWml;
  pugi::xml_node styles = core.Styles();
  for (pugi::xml_node s : styles.children())
    if (w.Ist(s, "style") && std::string_view(w.Attr(s, "type").value()) == "paragraph" &&
        (std::string_view(w.Attr(s, "default").value()) == "1" ||
         std::string_view(w.Attr(s, "default").value()) == "true"))
      return w.Attr(s, "styleId").value();
  return {};
}

// The effective element of a run property, and the Wml it belongs to.
std::pair<pugi::xml_node, const Wml*> Effektiv(Story& story, pugi::xml_node lauf,
                                               pugi::xml_node absatz, const char* eigenschaft) {
  const Wml& w = story.wml;
  Core& core = story.core;
  pugi::xml_node rPr = lauf ? w.Kind(lauf, "rPr") : w.Kind(w.Kind(absatz, "pPr"), "rPr");
  if (pugi::xml_node e = w.Kind(rPr, eigenschaft)) return {e, &w};
  core.Styles();
  const Wml& sw = core.stylesWml;
  if (pugi::xml_node zs = w.Kind(rPr, "rStyle"))
    if (pugi::xml_node e = AusStil(core, w.Attr(zs, "val").value(), "rPr", eigenschaft))
      return {e, &sw};
  std::string stil = w.Attr(w.Kind(w.Kind(absatz, "pPr"), "pStyle"), "val").value();
  if (stil.empty()) stil = StandardAbsatzstil(core);
  if (pugi::xml_node e = AusStil(core, stil, "rPr", eigenschaft)) return {e, &sw};
  pugi::xml_node vorgabe = sw.Kind(
      sw.Kind(sw.Kind(sw.Kind(core.Styles(), "docDefaults"), "rPrDefault"), "rPr"), eigenschaft);
  return {vorgabe, &sw};
}

// Calls f(run, paragraph) for every character run of the range (for a range without one: the
// run before it in its paragraph, else its paragraph's mark with an empty run).
template <class F>
void FuerZeichen(RangeState& r, F&& f) {
  Story& st = *r.story;
  PieceIndex& idx = st.Index();
  bool gefunden = false;
  std::int32_t anfang = 0;
  for (Piece* p = idx.AtPosition(r.start, &anfang); p && anfang < r.end; p = idx.Next(p)) {
    if (!IstMarke(p->kind) && p->width > 0) {
      pugi::xml_node absatz = st.ParagraphOf(p);
      f(st.RunOf(p, absatz), absatz);
      gefunden = true;
    }
    anfang += p->width;
  }
  if (gefunden) return;
  Piece* p = idx.AtPosition(r.start, nullptr);
  Piece* vorher = r.start > 0 ? idx.AtPosition(r.start - 1, nullptr) : nullptr;
  if (vorher && !IstMarke(vorher->kind) && (!p || st.ParagraphOf(vorher) == st.ParagraphOf(p))) {
    pugi::xml_node absatz = st.ParagraphOf(vorher);
    f(st.RunOf(vorher, absatz), absatz);
    return;
  }
  if (!p) p = idx.Last();
  if (p && p->kind != PieceKind::RowMark) {
    if (!IstMarke(p->kind)) {
      pugi::xml_node absatz = st.ParagraphOf(p);
      f(st.RunOf(p, absatz), absatz);
    } else {
      f(pugi::xml_node(), st.ParagraphOf(p));
    }
  }
}

pugi::xml_node LaufRPr(const Wml& w, pugi::xml_node lauf) {
  if (pugi::xml_node rPr = w.Kind(lauf, "rPr")) return rPr;
  return lauf.prepend_child(w.N("rPr").c_str());
}

pugi::xml_node AbsatzPPr(const Wml& w, pugi::xml_node absatz) {
  if (pugi::xml_node pPr = w.Kind(absatz, "pPr")) return pPr;
  return absatz.prepend_child(w.N("pPr").c_str());
}

// Calls f(rPr) for every run of the range and for every paragraph mark inside it (for a
// collapsed range: the mark of its paragraph), splitting runs at the range's edges first.
template <class F>
void FuerEigenschaften(RangeState& r, F&& f) {
  Story& st = *r.story;
  const Wml& w = st.wml;
  st.SplitAt(r.end);
  st.SplitAt(r.start);
  PieceIndex& idx = st.Index();
  std::int32_t anfang = 0;
  pugi::xml_node letzterLauf;
  if (r.start == r.end) {
    Piece* p = idx.AtPosition(r.start, nullptr);
    if (!p) p = idx.Last();
    if (pugi::xml_node absatz = p ? st.ParagraphOf(p) : pugi::xml_node())
      f(w.KindGeordnet(AbsatzPPr(w, absatz), "rPr", kPPrOrder));
  }
  for (Piece* p = idx.AtPosition(r.start, &anfang); p && anfang < r.end; p = idx.Next(p)) {
    anfang += p->width;
    if (p->kind == PieceKind::RowMark) continue;
    pugi::xml_node absatz = st.ParagraphOf(p);
    if (IstMarke(p->kind)) {
      f(w.KindGeordnet(AbsatzPPr(w, absatz), "rPr", kPPrOrder));
      continue;
    }
    pugi::xml_node lauf = st.RunOf(p, absatz);
    if (lauf == letzterLauf || !w.Ist(lauf, "r")) continue;
    letzterLauf = lauf;
    f(LaufRPr(w, lauf));
  }
  st.Geaendert();
}

}  // namespace

std::int32_t ZeichenLesen(RangeState& r, const char* eigenschaft) {
  std::int32_t ergebnis = -2;
  FuerZeichen(r, [&](pugi::xml_node lauf, pugi::xml_node absatz) {
    auto [e, w] = Effektiv(*r.story, lauf, absatz, eigenschaft);
    std::int32_t wert = e && Wahr(*w, e, eigenschaft) ? wdTrue : wdFalse;
    ergebnis = ergebnis == -2 || ergebnis == wert ? wert : wdUndefined;
  });
  return ergebnis == -2 ? wdFalse : ergebnis;
}

void ZeichenSetzen(RangeState& r, const char* eigenschaft, bool an) {
  const Wml& w = r.story->wml;
  FuerEigenschaften(r, [&](pugi::xml_node rPr) {
    pugi::xml_node e = w.KindGeordnet(rPr, eigenschaft, kRPrOrder);
    e.remove_attribute(w.N("val").c_str());
    if (!std::strcmp(eigenschaft, "u"))
      w.Setze(e, "val", an ? "single" : "none");
    else if (!an)
      w.Setze(e, "val", "0");
  });
}

float GroesseLesen(RangeState& r) {
  float ergebnis = -1;
  bool gemischt = false;
  FuerZeichen(r, [&](pugi::xml_node lauf, pugi::xml_node absatz) {
    auto [e, w] = Effektiv(*r.story, lauf, absatz, "sz");
    float wert = e ? static_cast<float>(w->Attr(e, "val").as_double(20) / 2.0) : 10.0f;
    if (ergebnis >= 0 && ergebnis != wert) gemischt = true;
    ergebnis = wert;
  });
  if (gemischt) return static_cast<float>(wdUndefined);
  return ergebnis < 0 ? 10.0f : ergebnis;
}

void GroesseSetzen(RangeState& r, float punkte) {
  if (!(punkte >= 1 && punkte <= 1638))
    Fehler(5, "Ungültige Schriftgröße " + std::to_string(punkte) + ".");
  const Wml& w = r.story->wml;
  std::string halbe = std::to_string(std::lround(punkte * 2));
  FuerEigenschaften(r, [&](pugi::xml_node rPr) {
    w.Setze(w.KindGeordnet(rPr, "sz", kRPrOrder), "val", halbe);
    w.Setze(w.KindGeordnet(rPr, "szCs", kRPrOrder), "val", halbe);
  });
}

namespace {
std::int32_t AusrichtungWert(std::string_view v) {
  if (v == "center") return wdAlignParagraphCenter;
  if (v == "right" || v == "end") return wdAlignParagraphRight;
  if (v == "both" || v == "distribute") return wdAlignParagraphJustify;
  return wdAlignParagraphLeft;
}
}  // namespace

std::int32_t AusrichtungLesen(RangeState& r) {
  Story& st = *r.story;
  const Wml& w = st.wml;
  std::int32_t ergebnis = -2;
  for (pugi::xml_node absatz : st.Paragraphs(r.start, r.end)) {
    std::int32_t wert = wdAlignParagraphLeft;
    if (pugi::xml_node jc = w.Kind(w.Kind(absatz, "pPr"), "jc")) {
      wert = AusrichtungWert(w.Attr(jc, "val").value());
    } else {
      std::string stil = w.Attr(w.Kind(w.Kind(absatz, "pPr"), "pStyle"), "val").value();
      if (stil.empty()) stil = StandardAbsatzstil(st.core);
      if (pugi::xml_node e = AusStil(st.core, stil, "pPr", "jc"))
        wert = AusrichtungWert(st.core.stylesWml.Attr(e, "val").value());
    }
    ergebnis = ergebnis == -2 || ergebnis == wert ? wert : wdUndefined;
  }
  return ergebnis == -2 ? wdAlignParagraphLeft : ergebnis;
}

void AusrichtungSetzen(RangeState& r, std::int32_t ausrichtung) {
  static const char* const kWerte[] = {"left", "center", "right", "both"};
  if (ausrichtung < 0 || ausrichtung > 3)
    Fehler(5, "Ungültige Absatzausrichtung " + std::to_string(ausrichtung) + ".");
  Story& st = *r.story;
  const Wml& w = st.wml;
  for (pugi::xml_node absatz : st.Paragraphs(r.start, r.end))
    w.Setze(w.KindGeordnet(AbsatzPPr(w, absatz), "jc", kPPrOrder), "val", kWerte[ausrichtung]);
  st.Geaendert();
}

void TabstoppSetzen(RangeState& r, float position, std::int32_t ausrichtung,
                    std::int32_t fuellzeichen) {
  static const char* const kArten[] = {"left", "center", "right", "decimal"};
  static const char* const kFuellung[] = {"none", "dot", "hyphen", "underscore"};
  if (ausrichtung < 0 || ausrichtung > 3 || fuellzeichen < 0 || fuellzeichen > 3 ||
      !(position >= 0 && position <= 1584))
    Fehler(5, "Ungültiger Tabstopp.");
  Story& st = *r.story;
  const Wml& w = st.wml;
  long pos = std::lround(position * 20);
  for (pugi::xml_node absatz : st.Paragraphs(r.start, r.end)) {
    pugi::xml_node tabs = w.KindGeordnet(AbsatzPPr(w, absatz), "tabs", kPPrOrder);
    pugi::xml_node vor;
    for (pugi::xml_node t = tabs.first_child(); t;) {
      pugi::xml_node weiter = t.next_sibling();
      long p = w.Attr(t, "pos").as_int();
      if (p == pos)
        tabs.remove_child(t);
      else if (p > pos && !vor)
        vor = t;
      t = weiter;
    }
    pugi::xml_node tab = vor ? tabs.insert_child_before(w.N("tab").c_str(), vor)
                             : tabs.append_child(w.N("tab").c_str());
    w.Setze(tab, "val", kArten[ausrichtung]);
    if (fuellzeichen) w.Setze(tab, "leader", kFuellung[fuellzeichen]);
    w.Setze(tab, "pos", std::to_string(pos));
  }
  st.Geaendert();
}

std::int32_t TabstoppZahl(RangeState& r) {
  Story& st = *r.story;
  auto absaetze = st.Paragraphs(r.start, r.end);
  if (absaetze.empty()) return 0;
  std::int32_t n = 0;
  for (pugi::xml_node t : st.wml.Kind(st.wml.Kind(absaetze.front(), "pPr"), "tabs").children())
    if (st.wml.Ist(t, "tab")) ++n;
  return n;
}

void RahmenSchreiben(const Wml& w, pugi::xml_node behaelter, const char* seite,
                     std::int32_t linie) {
  pugi::xml_node e = w.KindGeordnet(behaelter, seite, kBorderOrder);
  for (pugi::xml_attribute a = e.first_attribute(); a;) {
    pugi::xml_attribute weiter = a.next_attribute();
    e.remove_attribute(a);
    a = weiter;
  }
  if (linie == wdLineStyleNone) {
    w.Setze(e, "val", "nil");
  } else {
    w.Setze(e, "val", "single");
    w.Setze(e, "sz", "4");
    w.Setze(e, "space", "0");
    w.Setze(e, "color", "auto");
  }
}

std::int32_t RahmenLesen(const Wml& w, pugi::xml_node behaelter, const char* seite) {
  pugi::xml_node e = w.Kind(behaelter, seite);
  if (!e) return -1;
  std::string_view v = w.Attr(e, "val").value();
  return v == "nil" || v == "none" ? wdLineStyleNone : wdLineStyleSingle;
}

namespace {
const char* AbsatzSeite(std::int32_t art) {
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
      return "between";
    case wdBorderVertical:
      return nullptr;
  }
  Fehler(fehlernummer::ElementFehlt, "Die Rahmenart " + std::to_string(art) + " gibt es nicht.");
}
}  // namespace

void AbsatzrahmenSetzen(RangeState& r, std::int32_t art, std::int32_t linie) {
  const char* seite = AbsatzSeite(art);
  if (!seite) return;
  Story& st = *r.story;
  const Wml& w = st.wml;
  for (pugi::xml_node absatz : st.Paragraphs(r.start, r.end)) {
    pugi::xml_node pBdr = w.KindGeordnet(AbsatzPPr(w, absatz), "pBdr", kPPrOrder);
    RahmenSchreiben(w, pBdr, seite, linie);
  }
  st.Geaendert();
}

std::int32_t AbsatzrahmenLesen(RangeState& r, std::int32_t art) {
  const char* seite = AbsatzSeite(art);
  Story& st = *r.story;
  std::int32_t ergebnis = -2;
  for (pugi::xml_node absatz : st.Paragraphs(r.start, r.end)) {
    std::int32_t wert =
        seite ? RahmenLesen(st.wml, st.wml.Kind(st.wml.Kind(absatz, "pPr"), "pBdr"), seite) : -1;
    if (wert < 0) wert = wdLineStyleNone;
    ergebnis = ergebnis == -2 || ergebnis == wert ? wert : wdUndefined;
  }
  return ergebnis == -2 ? wdLineStyleNone : ergebnis;
}

}  // namespace tarvo::word::detail
