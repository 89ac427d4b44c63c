// PieceIndex: the character positions of one story. Every DOM node that stands for characters
// (a w:t, a tab, a break, a paragraph's mark, a row's end mark) is one piece with a width; the
// pieces are kept in story order in a balanced tree that knows subtree widths and counts, so the
// position of a piece, the piece at a position, inserting and erasing pieces all cost O(log n).
// The index owns its pieces; it never throws on its own (callers check positions first).
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include <pugixml.hpp>

namespace tarvo::word::detail {

enum class PieceKind : std::uint8_t {
  Text,           // a w:t: its text
  Tab,            // character 9
  Break,          // a line break: character 11 (12 for a page break, 14 for a column break)
  Char,           // one other character (non-breaking or soft hyphen)
  ParagraphMark,  // "\r"
  CellMark,       // the mark of a cell's last paragraph: "\r\a", one position
  RowMark,        // the end-of-row mark: "\r\a", one position
};

inline bool IstMarke(PieceKind art) {
  return art == PieceKind::ParagraphMark || art == PieceKind::CellMark || art == PieceKind::RowMark;
}

struct Piece {
  Piece* left = nullptr;
  Piece* right = nullptr;
  Piece* parent = nullptr;
  std::uint32_t priority = 0;
  std::int32_t width = 0;
  std::int32_t sum = 0;
  std::int32_t count = 1;
  PieceKind kind = PieceKind::Text;
  char32_t zeichen = 0;  // the character of a Break or Char piece
  pugi::xml_node_struct* node = nullptr;

  pugi::xml_node Node() const { return pugi::xml_node(node); }
};

// Node → piece: open addressing with linear probing over one array, so a lookup in a story
// of a hundred thousand pieces costs one cache line, not a chain of them.
class KnotenTabelle {
 public:
  Piece* Find(const pugi::xml_node_struct* knoten) const;
  void Set(const pugi::xml_node_struct* knoten, Piece* piece);
  // Forgets `knoten` if it stands for `piece`.
  void Erase(const pugi::xml_node_struct* knoten, const Piece* piece);

 private:
  struct Eintrag {
    const pugi::xml_node_struct* knoten = nullptr;  // nullptr: free
    Piece* piece = nullptr;                         // nullptr with a node: erased
  };
  std::size_t Stelle(const pugi::xml_node_struct* knoten) const;
  void Wachsen();

  std::vector<Eintrag> eintraege_;
  std::size_t belegt_ = 0;  // entries with a node, erased ones too
  int verschiebung_ = 64;   // 64 - log2(size): the hash's top bits pick the place
};

class PieceIndex {
 public:
  PieceIndex() = default;
  PieceIndex(const PieceIndex&) = delete;
  PieceIndex& operator=(const PieceIndex&) = delete;

  // A new piece, not yet in the order; it is known to Find at once.
  Piece* Create(PieceKind kind, pugi::xml_node node, std::int32_t width, char32_t zeichen = 0);
  // Replaces the whole order by `pieces` (built balanced, O(n)).
  void Assign(const std::vector<Piece*>& pieces);
  // Inserts `pieces` in order before the piece at `index` (at the end for index == Count()).
  void InsertAt(std::int32_t index, const std::vector<Piece*>& pieces);
  // Removes the pieces [first, last) from the order and forgets them.
  void Erase(std::int32_t first, std::int32_t last);

  std::int32_t Count() const { return root_ ? root_->count : 0; }
  std::int32_t Length() const { return root_ ? root_->sum : 0; }
  std::int32_t IndexOf(const Piece* piece) const;
  std::int32_t PositionOf(const Piece* piece) const;
  Piece* AtIndex(std::int32_t index) const;
  // The piece covering `position` (start <= position < start + width; zero-width pieces are
  // never returned), with its start; nullptr at or after the end.
  Piece* AtPosition(std::int32_t position, std::int32_t* start) const;
  Piece* Next(const Piece* piece) const;
  Piece* Prev(const Piece* piece) const;
  Piece* First() const;
  Piece* Last() const;
  void SetWidth(Piece* piece, std::int32_t width);

  // The piece standing for `node`, or nullptr.
  Piece* Find(pugi::xml_node node) const;
  // Changes whenever a position may have changed (pieces come, go or change width).
  std::uint64_t Stand() const { return stand_; }

 private:
  static std::int32_t Sum(const Piece* p) { return p ? p->sum : 0; }
  static std::int32_t Cnt(const Piece* p) { return p ? p->count : 0; }
  static void Update(Piece* p);
  static Piece* Merge(Piece* a, Piece* b);
  static void Split(Piece* t, std::int32_t k, Piece*& a, Piece*& b);
  Piece* Build(const std::vector<Piece*>& pieces, std::size_t from, std::size_t to,
               std::uint32_t depth);
  std::uint32_t Zufall();
  void Forget(Piece* piece);

  Piece* root_ = nullptr;
  std::deque<Piece> pool_;
  std::vector<Piece*> free_;
  KnotenTabelle map_;
  std::uint64_t seed_ = 0x9E3779B97F4A7C15ull;
  std::uint64_t stand_ = 0;
};

}  // namespace tarvo::word::detail
