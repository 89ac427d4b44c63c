// Story: insertion and deletion. Splits runs and paragraphs at a character position, finds
// the gap where new content goes and keeps the piece index and open ranges in step.
#include <algorithm>
#include <cstring>

#include "common/XmlZeichen.h"
#include "platform/word/Core.h"
#include "platform/word/WdConstants.h"

namespace tarvo::word::detail {

namespace {

bool IstMarkierung(const char* lokal) {
  if (!lokal) return false;
  return !std::strcmp(lokal, "commentRangeStart") || !std::strcmp(lokal, "commentRangeEnd") ||
         !std::strcmp(lokal, "bookmarkStart") || !std::strcmp(lokal, "bookmarkEnd") ||
         !std::strcmp(lokal, "permStart") || !std::strcmp(lokal, "permEnd");
}

bool IstEndeMarkierung(const char* lokal) {
  return lokal && (!std::strcmp(lokal, "commentRangeEnd") || !std::strcmp(lokal, "bookmarkEnd") ||
                   !std::strcmp(lokal, "permEnd"));
}

void KopiereAttribute(pugi::xml_node von, pugi::xml_node nach) {
  for (pugi::xml_attribute a : von.attributes()) nach.append_attribute(a.name()) = a.value();
}

}  // namespace

pugi::xml_node Story::ParagraphOf(const Piece* p) const {
  if (p->kind == PieceKind::ParagraphMark || p->kind == PieceKind::CellMark) return p->Node();
  if (p->kind == PieceKind::RowMark) return {};
  return wml.Vorfahr(p->Node(), "p", root);
}

pugi::xml_node Story::RunOf(const Piece* p, pugi::xml_node absatz) const {
  pugi::xml_node r = wml.Vorfahr(p->Node(), "r", absatz);
  return r ? r : p->Node();
}

void Story::SplitRunAt(Piece* text, std::int32_t offset) {
  pugi::xml_node t = text->Node();
  pugi::xml_node r = t.parent();
  std::string inhalt = t.child_value();
  std::size_t schnitt = Utf8Offset(inhalt, offset);
  pugi::xml_node neuT;
  if (wml.Ist(r, "r")) {
    pugi::xml_node links = r.parent().insert_child_before(r.name(), r);
    KopiereAttribute(r, links);
    for (pugi::xml_node c = r.first_child(); c && c != t;) {
      pugi::xml_node weiter = c.next_sibling();
      if (wml.Ist(c, "rPr"))
        links.append_copy(c);
      else
        links.append_move(c);
      c = weiter;
    }
    neuT = links.append_child(t.name());
  } else {
    neuT = r.insert_child_before(t.name(), t);
  }
  neuT.text().set(inhalt.substr(0, schnitt).c_str());
  LeerzeichenSchuetzen(neuT);
  t.text().set(inhalt.substr(schnitt).c_str());
  LeerzeichenSchuetzen(t);
  PieceIndex& idx = Index();
  Piece* neu = idx.Create(PieceKind::Text, neuT, offset);
  idx.InsertAt(idx.IndexOf(text), {neu});
  idx.SetWidth(text, text->width - offset);
  Geaendert();
}

void Story::SplitAt(std::int32_t position) {
  std::int32_t anfang = 0;
  Piece* p = Index().AtPosition(position, &anfang);
  if (p && p->kind == PieceKind::Text && anfang < position) SplitRunAt(p, position - anfang);
}

Gap Story::GapAt(Piece* cur, bool textAnhaengen) {
  Gap gap;
  PieceIndex& idx = Index();
  pugi::xml_node absatz = ParagraphOf(cur);
  gap.paragraph = absatz;
  Piece* prev = idx.Prev(cur);
  bool prevImAbsatz = prev && !IstMarke(prev->kind) && ParagraphOf(prev) == absatz;
  pugi::xml_node prevLauf = prevImAbsatz ? RunOf(prev, absatz) : pugi::xml_node();
  bool curInline = !IstMarke(cur->kind);
  pugi::xml_node curLauf = curInline ? RunOf(cur, absatz) : pugi::xml_node();

  // Walk the DOM between the two runs and note the markers lying there.
  auto nachTeilbaum = [&](pugi::xml_node n) -> pugi::xml_node {
    while (n && n != absatz) {
      if (pugi::xml_node s = n.next_sibling()) return s;
      n = n.parent();
    }
    return {};
  };
  pugi::xml_node n;
  if (prevLauf) {
    n = nachTeilbaum(prevLauf);
  } else {
    n = absatz.first_child();
  }
  pugi::xml_node letztesEnde, ersterAnfang;
  while (n && n != curLauf) {
    if (n.type() != pugi::node_element) {
      n = nachTeilbaum(n);
      continue;
    }
    const char* lokal = wml.Lokal(n);
    bool lauf = lokal && !std::strcmp(lokal, "r");
    if (lauf) {
      if (wml.Kind(n, "commentReference")) {
        letztesEnde = n;
        ersterAnfang = pugi::xml_node();
      }
      n = nachTeilbaum(n);
    } else if (IstMarkierung(lokal)) {
      if (IstEndeMarkierung(lokal)) {
        letztesEnde = n;
        ersterAnfang = pugi::xml_node();
      } else if (!ersterAnfang) {
        ersterAnfang = n;
      }
      n = nachTeilbaum(n);
    } else if ((lokal && !std::strcmp(lokal, "pPr")) || Ueberspringen(n) || !n.first_child()) {
      n = nachTeilbaum(n);
    } else {
      n = n.first_child();
    }
  }
  gap.vorlage = prevLauf ? prevLauf : curLauf;
  if (letztesEnde) {
    gap.parent = letztesEnde.parent();
    gap.before = letztesEnde.next_sibling();
  } else if (ersterAnfang) {
    gap.parent = ersterAnfang.parent();
    gap.before = ersterAnfang;
  } else if (prevImAbsatz) {
    if (textAnhaengen && prev->kind == PieceKind::Text) gap.anhaengen = prev;
    gap.parent = prevLauf.parent();
    gap.before = prevLauf.next_sibling();
  } else if (curInline) {
    if (textAnhaengen && cur->kind == PieceKind::Text) gap.voran = cur;
    gap.parent = curLauf.parent();
    gap.before = curLauf;
  } else {
    gap.parent = absatz;
  }
  return gap;
}

Gap Story::MarkerGap(std::int32_t position) {
  SplitAt(position);
  Piece* cur = Index().AtPosition(position, nullptr);
  if (!cur) cur = Index().Last();
  if (!cur) Fehler(5);
  if (cur->kind == PieceKind::RowMark)
    Fehler(kNichtVerfuegbar, "Am Zeilenende kann nichts eingefügt werden.");
  return GapAt(cur, false);
}

pugi::xml_node Story::Einfuegen(const Gap& gap, const char* name) {
  pugi::xml_node eltern = gap.parent;
  if (gap.before) return eltern.insert_child_before(name, gap.before);
  return eltern.append_child(name);
}

namespace {
// A new run at `gap` with the formatting of the template run, or of the paragraph mark.
pugi::xml_node NeuerLauf(const Wml& wml, const Gap& gap) {
  pugi::xml_node lauf = Story::Einfuegen(gap, wml.N("r").c_str());
  pugi::xml_node rPr;
  if (gap.vorlage && wml.Ist(gap.vorlage, "r")) {
    rPr = wml.Kind(gap.vorlage, "rPr");
  } else if (gap.paragraph) {
    rPr = wml.Kind(wml.Kind(gap.paragraph, "pPr"), "rPr");
  }
  if (rPr) {
    pugi::xml_node kopie = lauf.append_copy(rPr);
    for (const char* weg : {"ins", "del", "moveFrom", "moveTo", "rPrChange"})
      while (pugi::xml_node k = wml.Kind(kopie, weg)) kopie.remove_child(k);
    if (pugi::xml_node stil = wml.Kind(kopie, "rStyle")) {
      std::string_view v = wml.Attr(stil, "val").value();
      if (v == "CommentReference" || v == "Kommentarzeichen") kopie.remove_child(stil);
    }
  }
  return lauf;
}
}  // namespace

std::int32_t Story::InsertInline(std::int32_t position, char art, std::string_view text) {
  PieceIndex& idx = Index();
  std::int32_t anfang = 0;
  Piece* cur = idx.AtPosition(position, &anfang);
  if (!cur) Fehler(5);
  if (cur->kind == PieceKind::RowMark)
    Fehler(kNichtVerfuegbar, "Am Zeilenende kann kein Text eingefügt werden.");
  std::int32_t breite = art == 't' ? Utf8Laenge(text) : 1;
  if (breite == 0) return 0;
  if (cur->kind == PieceKind::Text && anfang < position) {
    if (art == 't') {
      pugi::xml_node t = cur->Node();
      std::string inhalt = t.child_value();
      inhalt.insert(Utf8Offset(inhalt, position - anfang), text);
      t.text().set(inhalt.c_str());
      LeerzeichenSchuetzen(t);
      idx.SetWidth(cur, cur->width + breite);
      ShiftInsert(position, breite);
      Geaendert();
      return breite;
    }
    SplitRunAt(cur, position - anfang);
    cur = idx.AtPosition(position, &anfang);
  }
  Gap gap = GapAt(cur, art == 't');
  if (gap.anhaengen || gap.voran) {
    Piece* p = gap.anhaengen ? gap.anhaengen : gap.voran;
    pugi::xml_node t = p->Node();
    std::string inhalt = t.child_value();
    if (gap.anhaengen)
      inhalt.append(text);
    else
      inhalt.insert(0, text);
    t.text().set(inhalt.c_str());
    LeerzeichenSchuetzen(t);
    idx.SetWidth(p, p->width + breite);
  } else {
    pugi::xml_node lauf = NeuerLauf(wml, gap);
    pugi::xml_node inhalt;
    Piece* neu;
    if (art == 't') {
      inhalt = lauf.append_child(wml.N("t").c_str());
      inhalt.text().set(std::string(text).c_str());
      LeerzeichenSchuetzen(inhalt);
      neu = idx.Create(PieceKind::Text, inhalt, breite);
    } else if (art == '\t') {
      inhalt = lauf.append_child(wml.N("tab").c_str());
      neu = idx.Create(PieceKind::Tab, inhalt, 1, 9);
    } else {
      inhalt = lauf.append_child(wml.N("br").c_str());
      if (art == '\f') wml.Setze(inhalt, "type", "page");
      neu = idx.Create(PieceKind::Break, inhalt, 1, art == '\f' ? 12 : 11);
    }
    idx.InsertAt(idx.IndexOf(cur), {neu});
  }
  ShiftInsert(position, breite);
  Geaendert();
  return breite;
}

pugi::xml_node Story::SplitParagraph(std::int32_t position) {
  SplitAt(position);
  PieceIndex& idx = Index();
  Piece* cur = idx.AtPosition(position, nullptr);
  if (!cur) Fehler(5);
  if (cur->kind == PieceKind::RowMark)
    Fehler(kNichtVerfuegbar, "Am Zeilenende kann kein Absatz eingefügt werden.");
  Gap gap = GapAt(cur, false);
  pugi::xml_node absatz = gap.paragraph;
  pugi::xml_node links = absatz.parent().insert_child_before(absatz.name(), absatz);
  if (pugi::xml_node pPr = wml.Kind(absatz, "pPr")) {
    pugi::xml_node kopie = links.append_copy(pPr);
    if (pugi::xml_node sect = wml.Kind(kopie, "sectPr")) kopie.remove_child(sect);
  }
  // Move everything before the gap into the new paragraph, splitting the containers between.
  std::vector<pugi::xml_node> kette;
  for (pugi::xml_node n = gap.parent; n && n != absatz; n = n.parent()) kette.push_back(n);
  std::vector<pugi::xml_node> huellen;
  pugi::xml_node ziel = links;
  for (std::size_t stufe = kette.size() + 1; stufe-- > 0;) {
    pugi::xml_node behaelter = stufe == kette.size() ? absatz : kette[stufe];
    pugi::xml_node halt = stufe == 0 ? gap.before : kette[stufe - 1];
    for (pugi::xml_node c = behaelter.first_child(); c && c != halt;) {
      pugi::xml_node weiter = c.next_sibling();
      if (!(behaelter == absatz && wml.Ist(c, "pPr"))) ziel.append_move(c);
      c = weiter;
    }
    if (stufe == 0) break;
    pugi::xml_node huelle = ziel.append_child(halt.name());
    KopiereAttribute(halt, huelle);
    huellen.push_back(huelle);
    ziel = huelle;
  }
  for (auto it = huellen.rbegin(); it != huellen.rend(); ++it)
    if (!it->first_child()) it->parent().remove_child(*it);
  Piece* neu = idx.Create(PieceKind::ParagraphMark, links, 1, 13);
  idx.InsertAt(idx.IndexOf(cur), {neu});
  ShiftInsert(position, 1);
  Geaendert();
  return links;
}

std::int32_t Story::Insert(std::int32_t position, std::string_view eingabe) {
  Lebt();
  // What XML forbids never reaches the document; control characters are handled below.
  std::string rein;
  std::string_view text = eingabe;
  if (!xmlzeichen::Unbedenklich(eingabe)) {
    rein = xmlzeichen::Bereinigt(eingabe, true);
    text = rein;
  }
  std::int32_t q = position;
  std::string stueck;
  auto abschliessen = [&] {
    if (!stueck.empty()) q += InsertInline(q, 't', stueck);
    stueck.clear();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      abschliessen();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      SplitParagraph(q);
      q += 1;
    } else if (c == '\t' || c == '\v' || c == '\f') {
      abschliessen();
      q += InsertInline(q, c, {});
    } else if (c == '\a' || (static_cast<unsigned char>(c) < 0x20)) {
      // Control characters without a meaning in the text are dropped.
    } else {
      stueck += c;
    }
  }
  abschliessen();
  return q - position;
}

void Story::Delete(std::int32_t start, std::int32_t end) {
  Lebt();
  if (start >= end) return;
  SplitAt(end);
  SplitAt(start);
  PieceIndex& idx = Index();
  std::vector<std::pair<Piece*, std::int32_t>> stuecke;
  std::int32_t anfang = 0;
  for (Piece* p = idx.AtPosition(start, &anfang); p && anfang < end; p = idx.Next(p)) {
    stuecke.emplace_back(p, anfang);
    anfang += p->width;
  }
  for (auto it = stuecke.rbegin(); it != stuecke.rend(); ++it) {
    Piece* p = it->first;
    std::int32_t pos = it->second;
    std::int32_t breite = p->width;
    if (!IstMarke(p->kind)) {
      pugi::xml_node n = p->Node();
      pugi::xml_node lauf = n.parent();
      std::int32_t i = idx.IndexOf(p);
      idx.Erase(i, i + 1);
      lauf.remove_child(n);
      if (wml.Ist(lauf, "r")) {
        bool leer = true;
        for (pugi::xml_node c = lauf.first_child(); c && leer; c = c.next_sibling())
          if (c.type() == pugi::node_element && !wml.Ist(c, "rPr")) leer = false;
        if (leer) lauf.parent().remove_child(lauf);
      }
      ShiftDelete(pos, pos + breite);
    } else if (p->kind == PieceKind::ParagraphMark) {
      pugi::xml_node absatz = p->Node();
      pugi::xml_node naechster = absatz.next_sibling();
      while (naechster && naechster.type() != pugi::node_element)
        naechster = naechster.next_sibling();
      if (!naechster || !wml.Ist(naechster, "p")) continue;
      if (wml.Kind(wml.Kind(absatz, "pPr"), "sectPr")) continue;
      pugi::xml_node erster = naechster.first_child();
      if (erster && wml.Ist(erster, "pPr")) erster = erster.next_sibling();
      for (pugi::xml_node c = absatz.first_child(); c;) {
        pugi::xml_node weiter = c.next_sibling();
        if (!wml.Ist(c, "pPr")) {
          if (erster)
            naechster.insert_move_before(c, erster);
          else
            naechster.append_move(c);
        }
        c = weiter;
      }
      std::int32_t i = idx.IndexOf(p);
      idx.Erase(i, i + 1);
      absatz.parent().remove_child(absatz);
      ShiftDelete(pos, pos + 1);
    }
  }
  Geaendert();
}

}  // namespace tarvo::word::detail
