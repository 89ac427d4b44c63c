// Story: character positions and text over one story's DOM; the piece index and word moves.
// Insertion and deletion are in StoryEdit.cpp.
#include <algorithm>
#include <cstring>

#include "platform/word/Core.h"
#include "platform/word/WdConstants.h"

namespace tarvo::word::detail {

namespace {

// Word characters for word moves: letters, digits, underscore and letters beyond ASCII.
bool Wortzeichen(char32_t z) {
  if (z < 0x80) return std::isalnum(static_cast<int>(z)) || z == '_';
  return z >= 0xC0 && z != 0x20AC && z != 0x2013 && z != 0x2014 && z != 0x201E && z != 0x201C &&
         z != 0x201D && z != 0x00D7 && z != 0x00F7;
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
  // Compared only with the names of the same first letter: this runs for every element walked.
  auto eines = [lokal](std::initializer_list<const char*> namen) {
    for (const char* n : namen)
      if (!std::strcmp(lokal, n)) return true;
    return false;
  };
  switch (lokal[0]) {
    case 'p':
      return eines({"pPr", "pict"});
    case 'r':
      return eines({"rPr"});
    case 's':
      return eines({"sectPr"});
    case 't':
      return eines({"tblPr", "tblGrid", "trPr", "tcPr", "txbxContent", "tblPrEx"});
    case 'd':
      return eines({"del", "drawing", "delText"});
    case 'm':
      return eines({"moveFrom"});
    case 'o':
      return eines({"object"});
    case 'i':
      return eines({"instrText"});
    case 'f':
      return eines({"fldData"});
    default:
      return false;
  }
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

void Story::Ersetzen(pugi::xml_node alt, pugi::xml_node neu) {
  if (built_) {
    Piece* erster = FirstPiece(alt);
    Piece* letzter = LastPiece(alt);
    std::vector<Piece*> stuecke;
    Knoten(neu, stuecke);
    std::int32_t breite = 0;
    for (Piece* p : stuecke) breite += p->width;
    if (erster && letzter) {
      std::int32_t von = index_.PositionOf(erster);
      std::int32_t bis = index_.PositionOf(letzter) + letzter->width;
      std::int32_t stelle = index_.IndexOf(erster);
      index_.Erase(stelle, index_.IndexOf(letzter) + 1);
      if (!stuecke.empty()) index_.InsertAt(stelle, stuecke);
      ShiftReplace(von, bis, breite);
    } else if (!stuecke.empty()) {
      Piece* danach = NaechstesNach(neu);
      std::int32_t position = danach ? index_.PositionOf(danach) : index_.Length();
      index_.InsertAt(danach ? index_.IndexOf(danach) : index_.Count(), stuecke);
      ShiftInsert(position, breite);
    }
  }
  alt.parent().remove_child(alt);
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

void Story::ShiftReplace(std::int32_t from, std::int32_t to, std::int32_t breite) {
  auto verschieben = [&](std::int32_t x) {
    if (x < from) return x;
    if (x < to) return from;
    return x - (to - from) + breite;
  };
  std::size_t ziel = 0;
  for (std::size_t i = 0; i < ranges_.size(); ++i) {
    std::shared_ptr<RangeState> r = ranges_[i].lock();
    if (!r) continue;
    const bool innen = r->start >= from && r->start < to && r->end <= to;
    r->start = verschieben(r->start);
    r->end = innen ? r->start : verschieben(r->end);
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

// Whether `node` is of a kind that stands for characters (see Knoten); only those are looked
// up in the index, a lookup in a long story's index being a step into memory far away.
bool Story::Stueckart(pugi::xml_node node) const {
  const char* l = wml.Lokal(node);
  if (!l) return false;
  switch (l[0]) {
    case 't':
      return !l[1] || !std::strcmp(l, "tab") || !std::strcmp(l, "tr");
    case 'p':
      return !l[1];
    case 'b':
      return !std::strcmp(l, "br");
    case 'c':
      return !std::strcmp(l, "cr");
    case 'n':
      return !std::strcmp(l, "noBreakHyphen");
    case 's':
      return !std::strcmp(l, "softHyphen");
    default:
      return false;
  }
}

Piece* Story::FirstPiece(pugi::xml_node node) {
  PieceIndex& idx = Index();
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element || Ueberspringen(c)) continue;
    if (Piece* p = FirstPiece(c)) return p;
  }
  return Stueckart(node) ? idx.Find(node) : nullptr;
}

Piece* Story::LastPiece(pugi::xml_node node) {
  PieceIndex& idx = Index();
  if (Stueckart(node))
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
    if (Stueckart(n))
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
