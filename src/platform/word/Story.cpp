// Story: character positions, text, insertion and deletion over one story's DOM.
#include <algorithm>
#include <cstring>

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

// Word characters for word moves: letters, digits, underscore and letters beyond ASCII.
bool Wortzeichen(char32_t z) {
  if (z < 0x80) return std::isalnum(static_cast<int>(z)) || z == '_';
  return z >= 0xC0 && z != 0x20AC && z != 0x2013 && z != 0x2014 && z != 0x201E && z != 0x201C &&
         z != 0x201D && z != 0x00D7 && z != 0x00F7;
}

void KopiereAttribute(pugi::xml_node von, pugi::xml_node nach) {
  for (pugi::xml_attribute a : von.attributes()) nach.append_attribute(a.name()) = a.value();
}

}  // namespace

Story::Story(Core& c, pugi::xml_node r, const Wml& w, std::int32_t t)
    : core(c), root(r), wml(w), type(t) {}

void Story::Lebt() const {
  if (!alive) Fehler(kObjektGeloescht, "Das Objekt wurde gelöscht.");
}

void Story::Pruefen(std::int32_t start, std::int32_t end) {
  Lebt();
  if (start < 0 || end < start || end > Length())
    Fehler(5, "Die Position liegt außerhalb des Dokuments (" + std::to_string(start) + " bis " +
                  std::to_string(end) + ", Länge " + std::to_string(Length()) + ").");
}

bool Story::Ueberspringen(pugi::xml_node node) const {
  const char* lokal = wml.Lokal(node);
  if (!lokal) {
    const char* name = node.name();
    const char* doppel = std::strchr(name, ':');
    return doppel && std::strcmp(doppel + 1, "Fallback") == 0;
  }
  static const char* const kWeg[] = {"pPr",     "rPr",    "sectPr",      "tblPr",     "tblGrid",
                                     "trPr",    "tcPr",   "txbxContent", "del",       "moveFrom",
                                     "drawing", "pict",   "object",      "instrText", "delText",
                                     "tblPrEx", "fldData"};
  for (const char* w : kWeg)
    if (!std::strcmp(lokal, w)) return true;
  return false;
}

void Story::Besuchen(pugi::xml_node node, std::vector<Piece*>& out) {
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) Knoten(c, out);
}

void Story::Knoten(pugi::xml_node c, std::vector<Piece*>& out) {
  if (c.type() != pugi::node_element || Ueberspringen(c)) return;
  const char* lokal = wml.Lokal(c);
  if (!lokal) return Besuchen(c, out);
  switch (lokal[0]) {
    case 't':
      if (!std::strcmp(lokal, "t")) {
        out.push_back(index_.Create(PieceKind::Text, c, Utf8Laenge(c.child_value())));
        return;
      }
      if (!std::strcmp(lokal, "tab")) {
        out.push_back(index_.Create(PieceKind::Tab, c, 1, 9));
        return;
      }
      if (!std::strcmp(lokal, "tr")) {
        Besuchen(c, out);
        out.push_back(index_.Create(PieceKind::RowMark, c, 1, 7));
        return;
      }
      break;
    case 'b':
      if (!std::strcmp(lokal, "br")) {
        std::string_view art = wml.Attr(c, "type").value();
        char32_t z = art == "page" ? 12 : art == "column" ? 14 : 11;
        out.push_back(index_.Create(PieceKind::Break, c, 1, z));
        return;
      }
      break;
    case 'c':
      if (!std::strcmp(lokal, "cr")) {
        out.push_back(index_.Create(PieceKind::Break, c, 1, 11));
        return;
      }
      break;
    case 'n':
      if (!std::strcmp(lokal, "noBreakHyphen")) {
        out.push_back(index_.Create(PieceKind::Char, c, 1, 30));
        return;
      }
      break;
    case 's':
      if (!std::strcmp(lokal, "softHyphen")) {
        out.push_back(index_.Create(PieceKind::Char, c, 1, 31));
        return;
      }
      break;
    case 'p':
      if (!lokal[1]) {
        Besuchen(c, out);
        PieceKind art = IstZellenende(c) ? PieceKind::CellMark : PieceKind::ParagraphMark;
        out.push_back(index_.Create(art, c, 1, art == PieceKind::CellMark ? 7 : 13));
        return;
      }
      break;
  }
  Besuchen(c, out);
}

bool Story::IstZellenende(pugi::xml_node p) const {
  if (!wml.Ist(p.parent(), "tc")) return false;
  for (pugi::xml_node n = p.next_sibling(); n; n = n.next_sibling())
    if (wml.Ist(n, "p") || wml.Ist(n, "tbl") || wml.Ist(n, "sdt")) return false;
  return true;
}

void Story::Build() {
  std::vector<Piece*> pieces;
  Besuchen(root, pieces);
  index_.Assign(pieces);
  built_ = true;
}

void Story::Eingefuegt(pugi::xml_node node) {
  if (!built_) return;
  std::vector<Piece*> neu;
  Knoten(node, neu);
  if (neu.empty()) return;
  Piece* danach = NaechstesNach(node);
  std::int32_t position = danach ? index_.PositionOf(danach) : index_.Length();
  std::int32_t stelle = danach ? index_.IndexOf(danach) : index_.Count();
  std::int32_t breite = 0;
  for (Piece* p : neu) breite += p->width;
  index_.InsertAt(stelle, neu);
  ShiftInsert(position, breite);
  Geaendert();
}

void Story::AbsatzAmEnde() {
  Piece* letzter = Index().Last();
  if (letzter && letzter->kind == PieceKind::ParagraphMark) return;
  pugi::xml_node sect = wml.Kind(root, "sectPr");
  pugi::xml_node p = sect ? root.insert_child_before(wml.N("p").c_str(), sect)
                          : root.append_child(wml.N("p").c_str());
  Eingefuegt(p);
}

void Story::Entfernen(pugi::xml_node node) {
  if (built_) {
    Piece* erster = FirstPiece(node);
    Piece* letzter = LastPiece(node);
    if (erster && letzter) {
      std::int32_t von = index_.PositionOf(erster);
      std::int32_t bis = index_.PositionOf(letzter) + letzter->width;
      index_.Erase(index_.IndexOf(erster), index_.IndexOf(letzter) + 1);
      ShiftDelete(von, bis);
    }
  }
  node.parent().remove_child(node);
  Geaendert();
}

std::shared_ptr<RangeState> Story::NewRange(std::int32_t start, std::int32_t end) {
  auto r = std::make_shared<RangeState>();
  r->core = core.shared_from_this();
  r->story = shared_from_this();
  r->start = start;
  r->end = end;
  if (ranges_.size() > 64 && ranges_.size() % 64 == 0)
    std::erase_if(ranges_, [](const std::weak_ptr<RangeState>& w) { return w.expired(); });
  ranges_.push_back(r);
  return r;
}

void Story::ShiftInsert(std::int32_t at, std::int32_t n) {
  if (n <= 0) return;
  std::size_t ziel = 0;
  for (std::size_t i = 0; i < ranges_.size(); ++i) {
    std::shared_ptr<RangeState> r = ranges_[i].lock();
    if (!r) continue;
    if (r->start >= at) r->start += n;
    if (r->end > at) r->end += n;
    if (r->end < r->start) r->end = r->start;
    ranges_[ziel++] = ranges_[i];
  }
  ranges_.resize(ziel);
}

void Story::ShiftDelete(std::int32_t from, std::int32_t to) {
  if (to <= from) return;
  auto verschieben = [&](std::int32_t x) {
    if (x <= from) return x;
    if (x >= to) return x - (to - from);
    return from;
  };
  std::size_t ziel = 0;
  for (std::size_t i = 0; i < ranges_.size(); ++i) {
    std::shared_ptr<RangeState> r = ranges_[i].lock();
    if (!r) continue;
    r->start = verschieben(r->start);
    r->end = verschieben(r->end);
    ranges_[ziel++] = ranges_[i];
  }
  ranges_.resize(ziel);
}

void Story::Geaendert() {
  if (root.root() == core.mainDom.root())
    core.mainDirty = true;
  else
    core.commentsDirty = true;
}

std::string Story::Text(std::int32_t start, std::int32_t end) {
  std::string text;
  std::int32_t anfang = 0;
  PieceIndex& idx = Index();
  for (Piece* p = idx.AtPosition(start, &anfang); p && anfang < end; p = idx.Next(p)) {
    if (p->width > 0) {
      std::int32_t von = std::max(start, anfang) - anfang;
      std::int32_t bis = std::min(end, anfang + p->width) - anfang;
      switch (p->kind) {
        case PieceKind::Text: {
          std::string_view t = p->Node().child_value();
          std::size_t a = Utf8Offset(t, von);
          std::size_t b = a + Utf8Offset(t.substr(a), bis - von);
          text.append(t.substr(a, b - a));
          break;
        }
        case PieceKind::ParagraphMark:
          text += '\r';
          break;
        case PieceKind::CellMark:
        case PieceKind::RowMark:
          text += "\r\a";
          break;
        default:
          Utf8Anhaengen(text, p->zeichen);
          break;
      }
    }
    anfang += p->width;
  }
  return text;
}

char32_t Story::CharAt(std::int32_t position) {
  std::int32_t anfang = 0;
  Piece* p = Index().AtPosition(position, &anfang);
  if (!p) return 0;
  if (p->kind == PieceKind::Text) {
    std::string_view t = p->Node().child_value();
    return Utf8Zeichen(t, Utf8Offset(t, position - anfang));
  }
  return p->zeichen;
}

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

std::int32_t Story::Insert(std::int32_t position, std::string_view text) {
  Lebt();
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

std::vector<pugi::xml_node> Story::Paragraphs(std::int32_t start, std::int32_t end) {
  std::vector<pugi::xml_node> absaetze;
  PieceIndex& idx = Index();
  std::int32_t anfang = 0;
  Piece* p = idx.AtPosition(start, &anfang);
  if (!p) {
    p = idx.Last();
    anfang = start;
  }
  std::int32_t bis = std::max(end, start + 1);
  for (; p && anfang < bis; p = idx.Next(p)) {
    pugi::xml_node a = ParagraphOf(p);
    if (a && (absaetze.empty() || absaetze.back() != a)) absaetze.push_back(a);
    anfang += p->width;
  }
  return absaetze;
}

Piece* Story::FirstPiece(pugi::xml_node node) {
  PieceIndex& idx = Index();
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element || Ueberspringen(c)) continue;
    if (Piece* p = FirstPiece(c)) return p;
  }
  return idx.Find(node);
}

Piece* Story::LastPiece(pugi::xml_node node) {
  PieceIndex& idx = Index();
  if (Piece* p = idx.Find(node)) return p;
  for (pugi::xml_node c = node.last_child(); c; c = c.previous_sibling()) {
    if (c.type() != pugi::node_element || Ueberspringen(c)) continue;
    if (Piece* p = LastPiece(c)) return p;
  }
  return nullptr;
}

Piece* Story::NaechstesNach(pugi::xml_node node) {
  PieceIndex& idx = Index();
  pugi::xml_node n = node;
  while (n && n != root) {
    for (pugi::xml_node s = n.next_sibling(); s; s = s.next_sibling()) {
      if (s.type() != pugi::node_element || Ueberspringen(s)) continue;
      if (Piece* p = FirstPiece(s)) return p;
    }
    n = n.parent();
    if (Piece* p = idx.Find(n)) return p;
  }
  return nullptr;
}

std::int32_t Story::PositionOfMarker(pugi::xml_node node) {
  Piece* p = NaechstesNach(node);
  return p ? Index().PositionOf(p) : Index().Length();
}

std::int32_t Story::WortVor(std::int32_t x) {
  std::int32_t laenge = Length();
  if (x >= laenge) return x;
  Piece* p = PieceAt(x);
  if (p && IstMarke(p->kind)) return x + 1;
  char32_t z = CharAt(x);
  if (Wortzeichen(z)) {
    while (x < laenge && Wortzeichen(CharAt(x)) && !IstMarke(PieceAt(x)->kind)) ++x;
  } else if (z != ' ') {
    ++x;
  }
  while (x < laenge && CharAt(x) == ' ') ++x;
  return x;
}

std::int32_t Story::WortZurueck(std::int32_t x) {
  if (x <= 0) return 0;
  std::int32_t y = x;
  while (y > 0 && CharAt(y - 1) == ' ') --y;
  if (y == 0) return 0;
  Piece* p = PieceAt(y - 1);
  if (p && IstMarke(p->kind)) return y - 1;
  if (Wortzeichen(CharAt(y - 1))) {
    while (y > 0 && Wortzeichen(CharAt(y - 1)) && !IstMarke(PieceAt(y - 1)->kind)) --y;
    return y;
  }
  return y - 1;
}

std::int32_t Story::Move(std::int32_t position, std::int32_t unit, std::int32_t count,
                         std::int32_t* moved) {
  std::int32_t laenge = Length();
  std::int32_t bewegt = 0;
  if (unit == wdCharacter) {
    std::int32_t ziel = std::clamp(position + count, 0, laenge);
    bewegt = ziel - position;
    position = ziel;
  } else if (unit == wdWord) {
    for (std::int32_t i = 0; i < std::abs(count); ++i) {
      std::int32_t neu = count > 0 ? WortVor(position) : WortZurueck(position);
      if (neu == position) break;
      position = neu;
      bewegt += count > 0 ? 1 : -1;
    }
  } else {
    Fehler(5, "Die Einheit " + std::to_string(unit) + " wird nicht unterstützt.");
  }
  if (moved) *moved = bewegt;
  return position;
}

bool Story::InTable(std::int32_t position) {
  Piece* p = PieceAt(position);
  if (!p) p = Index().Last();
  if (!p) return false;
  if (p->kind == PieceKind::RowMark) return true;
  return static_cast<bool>(wml.Vorfahr(p->Node(), "tc", root));
}

}  // namespace tarvo::word::detail
