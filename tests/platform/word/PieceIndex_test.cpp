#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/word/PieceIndex.h"

namespace tarvo::word::detail {
namespace {

// The index against a plain vector of widths under random inserts, erases and width changes:
// positions, lookups and neighbours must agree after every step.
TEST(PieceIndex, AgreesWithAPlainListUnderRandomEdits) {
  pugi::xml_document dom;
  PieceIndex index;
  std::vector<Piece*> modell;
  std::vector<pugi::xml_node_struct*> weg;  // the nodes of erased pieces
  std::mt19937 zufall(4711);
  auto neu = [&](int breite) {
    return index.Create(PieceKind::Text, dom.append_child("t"), breite);
  };
  std::vector<Piece*> start;
  for (int i = 0; i < 200; ++i) start.push_back(neu(i % 4));
  index.Assign(start);
  modell = start;
  for (int schritt = 0; schritt < 20000; ++schritt) {
    int art = zufall() % 3;
    if (art == 0 || modell.size() < 10) {
      int stelle = zufall() % (modell.size() + 1);
      std::vector<Piece*> stuecke;
      for (int k = 0, n = 1 + zufall() % 5; k < n; ++k) stuecke.push_back(neu(zufall() % 3));
      index.InsertAt(stelle, stuecke);
      modell.insert(modell.begin() + stelle, stuecke.begin(), stuecke.end());
    } else if (art == 1) {
      int von = zufall() % modell.size();
      int bis = std::min<int>(modell.size(), von + 1 + zufall() % 4);
      for (int k = von; k < bis; ++k) weg.push_back(modell[k]->node);
      index.Erase(von, bis);
      modell.erase(modell.begin() + von, modell.begin() + bis);
    } else {
      Piece* p = modell[zufall() % modell.size()];
      index.SetWidth(p, zufall() % 5);
    }
    if (schritt % 97 != 0) continue;
    ASSERT_EQ(index.Count(), static_cast<std::int32_t>(modell.size()));
    std::int32_t position = 0;
    for (std::size_t i = 0; i < modell.size(); ++i) {
      Piece* p = modell[i];
      ASSERT_EQ(index.IndexOf(p), static_cast<std::int32_t>(i));
      ASSERT_EQ(index.PositionOf(p), position);
      ASSERT_EQ(index.AtIndex(static_cast<std::int32_t>(i)), p);
      ASSERT_EQ(index.Next(p), i + 1 < modell.size() ? modell[i + 1] : nullptr);
      if (p->width > 0) {
        std::int32_t anfang = -1;
        ASSERT_EQ(index.AtPosition(position + p->width - 1, &anfang), p);
        ASSERT_EQ(anfang, position);
      }
      ASSERT_EQ(index.Find(p->Node()), p);
      position += p->width;
    }
    ASSERT_EQ(index.Length(), position);
    for (pugi::xml_node_struct* n : weg) ASSERT_EQ(index.Find(pugi::xml_node(n)), nullptr);
    ASSERT_EQ(index.AtPosition(position, nullptr), nullptr);
  }
}

TEST(PieceIndex, ErasedPiecesAreForgotten) {
  pugi::xml_document dom;
  PieceIndex index;
  pugi::xml_node a = dom.append_child("a"), b = dom.append_child("b");
  index.Assign({index.Create(PieceKind::Text, a, 2), index.Create(PieceKind::ParagraphMark, b, 1)});
  index.Erase(0, 1);
  EXPECT_EQ(index.Find(a), nullptr);
  EXPECT_EQ(index.Length(), 1);
  EXPECT_EQ(index.First()->kind, PieceKind::ParagraphMark);
}

}  // namespace
}  // namespace tarvo::word::detail
