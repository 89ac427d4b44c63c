#include "platform/word/PieceIndex.h"

#include <algorithm>

namespace tarvo::word::detail {

std::size_t KnotenTabelle::Stelle(const pugi::xml_node_struct* knoten) const {
  const std::uint64_t wert = reinterpret_cast<std::uintptr_t>(knoten);
  return static_cast<std::size_t>((wert * 0x9E3779B97F4A7C15ull) >> verschiebung_);
}

Piece* KnotenTabelle::Find(const pugi::xml_node_struct* knoten) const {
  if (eintraege_.empty() || !knoten) return nullptr;
  for (std::size_t i = Stelle(knoten);; i = (i + 1) & (eintraege_.size() - 1)) {
    const Eintrag& e = eintraege_[i];
    if (e.knoten == knoten) return e.piece;
    if (!e.knoten) return nullptr;
  }
}

void KnotenTabelle::Set(const pugi::xml_node_struct* knoten, Piece* piece) {
  if ((belegt_ + 1) * 4 > eintraege_.size() * 3) Wachsen();
  for (std::size_t i = Stelle(knoten);; i = (i + 1) & (eintraege_.size() - 1)) {
    Eintrag& e = eintraege_[i];
    if (e.knoten == knoten) {
      e.piece = piece;
      return;
    }
    if (!e.knoten) {
      e = {knoten, piece};
      ++belegt_;
      return;
    }
  }
}

void KnotenTabelle::Erase(const pugi::xml_node_struct* knoten, const Piece* piece) {
  if (eintraege_.empty()) return;
  for (std::size_t i = Stelle(knoten);; i = (i + 1) & (eintraege_.size() - 1)) {
    Eintrag& e = eintraege_[i];
    if (!e.knoten) return;
    if (e.knoten == knoten) {
      // The node stays as a mark, so that probing for the nodes behind it goes on.
      if (e.piece == piece) e.piece = nullptr;
      return;
    }
  }
}

// Twice the size when it is mostly live, the same size when erased entries fill it; either way
// the erased ones are dropped.
void KnotenTabelle::Wachsen() {
  std::size_t lebend = 0;
  for (const Eintrag& e : eintraege_)
    if (e.piece) ++lebend;
  std::size_t groesse = eintraege_.empty() ? 64 : eintraege_.size();
  while ((lebend + 1) * 2 > groesse) groesse *= 2;
  std::vector<Eintrag> alt(groesse);
  alt.swap(eintraege_);
  verschiebung_ = 64;
  for (std::size_t g = groesse; g > 1; g /= 2) --verschiebung_;
  belegt_ = 0;
  for (const Eintrag& e : alt) {
    if (!e.piece) continue;
    std::size_t i = Stelle(e.knoten);
    while (eintraege_[i].knoten) i = (i + 1) & (eintraege_.size() - 1);
    eintraege_[i] = e;
    ++belegt_;
  }
}

Piece* PieceIndex::Create(PieceKind kind, pugi::xml_node node, std::int32_t width,
                          char32_t zeichen) {
  Piece* p;
  if (!free_.empty()) {
    p = free_.back();
    free_.pop_back();
    *p = Piece{};
  } else {
    pool_.emplace_back();
    p = &pool_.back();
  }
  p->kind = kind;
  p->node = node.internal_object();
  p->width = width;
  p->sum = width;
  p->zeichen = zeichen;
  p->priority = Zufall();
  map_.Set(p->node, p);
  return p;
}

std::uint32_t PieceIndex::Zufall() {
  seed_ ^= seed_ << 13;
  seed_ ^= seed_ >> 7;
  seed_ ^= seed_ << 17;
  return static_cast<std::uint32_t>(seed_ >> 16);
}

void PieceIndex::Update(Piece* p) {
  p->sum = p->width + Sum(p->left) + Sum(p->right);
  p->count = 1 + Cnt(p->left) + Cnt(p->right);
  if (p->left) p->left->parent = p;
  if (p->right) p->right->parent = p;
}

Piece* PieceIndex::Merge(Piece* a, Piece* b) {
  if (!a) return b;
  if (!b) return a;
  if (a->priority > b->priority) {
    a->right = Merge(a->right, b);
    Update(a);
    return a;
  }
  b->left = Merge(a, b->left);
  Update(b);
  return b;
}

void PieceIndex::Split(Piece* t, std::int32_t k, Piece*& a, Piece*& b) {
  if (!t) {
    a = b = nullptr;
    return;
  }
  if (Cnt(t->left) < k) {
    Piece* rechts;
    Split(t->right, k - Cnt(t->left) - 1, rechts, b);
    t->right = rechts;
    Update(t);
    a = t;
  } else {
    Piece* links;
    Split(t->left, k, a, links);
    t->left = links;
    Update(t);
    b = t;
  }
  if (a) a->parent = nullptr;
  if (b) b->parent = nullptr;
}

// A balanced tree whose priorities fall with depth, so it is a valid treap.
Piece* PieceIndex::Build(const std::vector<Piece*>& pieces, std::size_t from, std::size_t to,
                         std::uint32_t depth) {
  if (from >= to) return nullptr;
  std::size_t mitte = from + (to - from) / 2;
  Piece* p = pieces[mitte];
  p->priority = (0xFFFFu - std::min<std::uint32_t>(depth, 0xFFFFu)) << 16 | (Zufall() & 0xFFFFu);
  p->left = Build(pieces, from, mitte, depth + 1);
  p->right = Build(pieces, mitte + 1, to, depth + 1);
  p->parent = nullptr;
  Update(p);
  return p;
}

void PieceIndex::Assign(const std::vector<Piece*>& pieces) {
  ++stand_;
  root_ = Build(pieces, 0, pieces.size(), 0);
}

void PieceIndex::InsertAt(std::int32_t index, const std::vector<Piece*>& pieces) {
  ++stand_;
  if (pieces.empty()) return;
  Piece* neu = nullptr;
  for (Piece* p : pieces) {
    p->left = p->right = p->parent = nullptr;
    Update(p);
    neu = Merge(neu, p);
  }
  Piece *a, *b;
  Split(root_, index, a, b);
  root_ = Merge(Merge(a, neu), b);
  root_->parent = nullptr;
}

void PieceIndex::Forget(Piece* p) {
  if (p->left) Forget(p->left);
  if (p->right) Forget(p->right);
  map_.Erase(p->node, p);
  free_.push_back(p);
}

void PieceIndex::Erase(std::int32_t first, std::int32_t last) {
  ++stand_;
  if (first >= last) return;
  Piece *a, *b, *c;
  Split(root_, last, a, c);
  Split(a, first, a, b);
  if (b) Forget(b);
  root_ = Merge(a, c);
  if (root_) root_->parent = nullptr;
}

std::int32_t PieceIndex::IndexOf(const Piece* p) const {
  std::int32_t index = Cnt(p->left);
  while (p->parent) {
    if (p == p->parent->right) index += Cnt(p->parent->left) + 1;
    p = p->parent;
  }
  return index;
}

std::int32_t PieceIndex::PositionOf(const Piece* p) const {
  std::int32_t position = Sum(p->left);
  while (p->parent) {
    if (p == p->parent->right) position += Sum(p->parent->left) + p->parent->width;
    p = p->parent;
  }
  return position;
}

Piece* PieceIndex::AtIndex(std::int32_t index) const {
  Piece* t = root_;
  while (t) {
    std::int32_t links = Cnt(t->left);
    if (index < links) {
      t = t->left;
    } else if (index == links) {
      return t;
    } else {
      index -= links + 1;
      t = t->right;
    }
  }
  return nullptr;
}

Piece* PieceIndex::AtPosition(std::int32_t position, std::int32_t* start) const {
  Piece* t = root_;
  std::int32_t basis = 0;
  while (t) {
    std::int32_t links = Sum(t->left);
    if (position < links) {
      t = t->left;
    } else if (position < links + t->width) {
      if (start) *start = basis + links;
      return t;
    } else {
      position -= links + t->width;
      basis += links + t->width;
      t = t->right;
    }
  }
  return nullptr;
}

Piece* PieceIndex::Next(const Piece* p) const {
  if (p->right) {
    Piece* q = p->right;
    while (q->left) q = q->left;
    return q;
  }
  while (p->parent && p == p->parent->right) p = p->parent;
  return p->parent;
}

Piece* PieceIndex::Prev(const Piece* p) const {
  if (p->left) {
    Piece* q = p->left;
    while (q->right) q = q->right;
    return q;
  }
  while (p->parent && p == p->parent->left) p = p->parent;
  return p->parent;
}

Piece* PieceIndex::First() const {
  Piece* t = root_;
  while (t && t->left) t = t->left;
  return t;
}

Piece* PieceIndex::Last() const {
  Piece* t = root_;
  while (t && t->right) t = t->right;
  return t;
}

void PieceIndex::SetWidth(Piece* p, std::int32_t width) {
  ++stand_;
  p->width = width;
  for (Piece* q = p; q; q = q->parent) q->sum = q->width + Sum(q->left) + Sum(q->right);
}

Piece* PieceIndex::Find(pugi::xml_node node) const {
  return map_.Find(node.internal_object());
}

}  // namespace tarvo::word::detail
