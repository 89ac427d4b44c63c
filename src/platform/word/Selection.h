// Selection: the one selection of an Application, a live range in some story of its document
// (the main text, a comment or a text box) plus the typing and formatting the object model
// offers on it. Selecting a table column makes a cell selection: formatting then touches only
// those cells. Failing operations throw Laufzeitfehler as Range does (91 before a document is
// attached).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/word/Range.h"
#include "platform/word/Table.h"
#include "platform/word/WdConstants.h"

namespace tarvo::word {

class Selection;

// One border kind of what the selection covers.
class Border {
 public:
  Border(Selection* selection, std::int32_t kind) : selection_(selection), kind_(kind) {}
  // wdLineStyleNone or wdLineStyleSingle (wdUndefined when the covered parts differ).
  std::int32_t LineStyle() const;
  // Sets the border: on a selection covering whole tables their table borders (and the cells'
  // own borders of that side), on cells the cells' borders, on paragraphs the paragraph
  // borders. Kinds wdBorderTop … wdBorderVertical; others throw 5941.
  void SetLineStyle(std::int32_t style);

 private:
  Selection* selection_;
  std::int32_t kind_;
};

class Selection {
 public:
  Selection() = default;

  // The selected range (for a cell selection, from the first cell's start to the last cell's
  // end); a new range object, so changing it does not move the selection.
  word::Range Range() const;
  std::int32_t Start() const;
  std::int32_t End() const;
  std::string Text() const;
  void SetText(const std::string& text);
  // Replaces the selected text with `text` (inserts it at a collapsed selection) and leaves
  // the selection collapsed after it.
  void TypeText(const std::string& text);
  std::int32_t MoveEnd(std::int32_t unit = wdCharacter, std::int32_t count = 1);
  std::int32_t MoveStart(std::int32_t unit = wdCharacter, std::int32_t count = 1);
  void Collapse(std::int32_t direction = wdCollapseStart);

  word::Font Font() const;
  word::ParagraphFormat ParagraphFormat() const;
  Border Borders(std::int32_t kind) { return Border(this, kind); }
  bool Information(std::int32_t type) const;
  word::Tables Tables() const;

  // The model's own entry points for Range::Select, Cell::Select, Column::Select.
  void SetRange(const word::Range& range);
  void SetCells(std::vector<Cell> cells);
  // The selected cells of a cell selection (empty otherwise).
  const std::vector<Cell>& Cells() const { return cells_; }
  // The ranges the selection covers: the one range, or one per selected cell.
  std::vector<word::Range> Parts() const;

 private:
  const word::Range& Checked() const;
  word::Range range_;
  std::vector<Cell> cells_;
};

}  // namespace tarvo::word
