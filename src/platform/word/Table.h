// Table, Cell, Rows, Columns and Tables: handles on the tables of a document story. A handle is a
// cheap value naming one table of the DOM; once that table is deleted every call on any handle to
// it throws Laufzeitfehler 5825 ("Das Objekt wurde gelöscht."). A cell, row or column that does
// not exist throws 5941, an index outside a collection 5941 as well. Tables written by the model
// carry w:tblGrid and w:tcW and end every cell with a paragraph.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/word/Range.h"
#include "platform/word/WdConstants.h"

namespace tarvo::word {

namespace detail {
struct TableState;
}  // namespace detail

class Table;

class Cell {
 public:
  // The cell's range: its text followed by its end-of-cell mark ("\r\a").
  word::Range Range() const;
  // Makes the cell (with its end mark) the selection.
  void Select() const;
  // Sets this cell's width in points (w:tcW); the other cells keep theirs, so a row may span
  // the grid differently from the others (the grid is rebuilt when the document is written).
  void SetWidth(float points, std::int32_t rulerStyle = wdAdjustNone);
  float Width() const;
  std::int32_t RowIndex() const { return row_; }
  std::int32_t ColumnIndex() const { return column_; }

  Cell(std::shared_ptr<detail::TableState> table, std::int32_t row, std::int32_t column)
      : table_(std::move(table)), row_(row), column_(column) {}

 private:
  std::shared_ptr<detail::TableState> table_;
  std::int32_t row_;
  std::int32_t column_;
};

class Rows {
 public:
  explicit Rows(std::shared_ptr<detail::TableState> table) : table_(std::move(table)) {}
  std::int32_t Count() const;
  // Appends a row shaped like the last one (same cells and widths, empty paragraphs).
  void Add();

 private:
  std::shared_ptr<detail::TableState> table_;
};

class Column {
 public:
  Column(std::shared_ptr<detail::TableState> table, std::int32_t index)
      : table_(std::move(table)), index_(index) {}
  // Sets the width (w:tcW) of the column's cell in every row (rows with fewer cells are left
  // alone); other columns keep their widths. The grid (w:tblGrid, w:gridSpan) is rebuilt from
  // the cells' widths when the document is written.
  void SetWidth(float points, std::int32_t rulerStyle = wdAdjustNone);
  float Width() const;
  // Selects the column's cells; formatting through the selection then touches only them.
  void Select() const;

 private:
  std::shared_ptr<detail::TableState> table_;
  std::int32_t index_;
};

class Columns {
 public:
  explicit Columns(std::shared_ptr<detail::TableState> table) : table_(std::move(table)) {}
  // The number of grid columns (cells of the first row when the grid is missing).
  std::int32_t Count() const;
  Column Item(std::int32_t index) const;

 private:
  std::shared_ptr<detail::TableState> table_;
};

class Table {
 public:
  Table() = default;  // unset: every call throws 91

  word::Cell Cell(std::int32_t row, std::int32_t column) const;
  word::Rows Rows() const { return word::Rows(Checked()); }
  word::Columns Columns() const { return word::Columns(Checked()); }
  word::Column Columns(std::int32_t index) const { return Columns().Item(index); }
  // From the table's first position to after its last end-of-row mark.
  word::Range Range() const;
  void Select() const;
  // Removes the table and every comment anchored inside it; the handle then counts as deleted.
  void Delete();
  bool IsDeleted() const;

  // Same table of the same document.
  bool operator==(const Table& other) const;

  explicit Table(std::shared_ptr<detail::TableState> state) : state_(std::move(state)) {}
  const std::shared_ptr<detail::TableState>& State() const { return state_; }

 private:
  const std::shared_ptr<detail::TableState>& Checked() const;
  std::shared_ptr<detail::TableState> state_;
};

// The top-level tables of a document (or those a range overlaps), in document order.
class Tables {
 public:
  Tables(std::shared_ptr<detail::Core> core, std::vector<Table> items)
      : core_(std::move(core)), items_(std::move(items)) {}
  std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
  // 1-based; throws 5941 outside 1..Count.
  Table Item(std::int32_t index) const;
  // Adds a table of `rows` × `columns` empty cells at `range`: a collapsed range at a paragraph's
  // start puts it before that paragraph, at a paragraph's end after it, inside a paragraph it
  // splits the paragraph; a range with text has its text replaced. The columns share the text
  // width evenly; borders are single lines. Throws 5 for rows outside 1..32767 or columns
  // outside 1..63.
  Table Add(const word::Range& range, std::int32_t rows, std::int32_t columns);

 private:
  std::shared_ptr<detail::Core> core_;
  std::vector<Table> items_;
};

}  // namespace tarvo::word
