// Grid: the model of a fee grid. Data rows are numbered 1..Rows, columns 1..Cols; the heading
// row is separate (row 0 of TextMatrix) and not counted. It owns the cell texts, headings, column
// widths and row heights (twips), per-column and grid display settings, the current cell and the
// selected rows. The current cell is always valid: Row in 1..Rows and Col in 1..Cols, or 0 when
// there are no rows / columns. Every change of the current row raises RowChange and every change
// of the current column ColChange, once, whoever caused it (the user, the program, or a shrinking
// grid); nothing is raised without a change. Indexes outside the grid throw 381.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/controls/Control.h"

namespace tarvo::controls {

// Key codes of KeyDown.
namespace taste {
constexpr std::int16_t Tab = 9;
constexpr std::int16_t Return = 13;
constexpr std::int16_t Links = 37;
constexpr std::int16_t Hoch = 38;
constexpr std::int16_t Rechts = 39;
constexpr std::int16_t Runter = 40;
constexpr std::int16_t Entf = 46;
}  // namespace taste
// Shift states of KeyDown (bits).
namespace umschalt {
constexpr std::int16_t Keine = 0;
constexpr std::int16_t Shift = 1;
constexpr std::int16_t Strg = 2;
constexpr std::int16_t Alt = 4;
}  // namespace umschalt

class Grid : public Control {
 public:
  static constexpr float StandardBreite = 960;  // column width of a new column, twips
  static constexpr float StandardHoehe = 255;   // height of a new row and the heading row

  using Control::Control;

  std::int32_t Rows() const { return static_cast<std::int32_t>(zellen_.size()) - 1; }
  std::int32_t Cols() const { return cols_; }
  // Grows with empty rows (standard height) or drops rows from the end (and their selection);
  // negative values throw 380.
  void SetRows(std::int32_t anzahl);
  // Grows with empty columns (standard width) or drops columns from the end; negative → 380.
  void SetCols(std::int32_t anzahl);

  std::int32_t Row() const { return row_; }
  std::int32_t Col() const { return col_; }
  // Makes row 1..Rows current (RowChange when it changes); else 381.
  void SetRow(std::int32_t row);
  // Makes column 1..Cols current (ColChange when it changes); else 381.
  void SetCol(std::int32_t col);

  // Text of the current cell; "" (read) or 381 (write) when there is no current cell.
  std::string Text() const;
  void SetText(std::string text);
  // Text of cell (row 0..Rows, col 1..Cols); row 0 is the heading row.
  const std::string& TextMatrix(std::int32_t row, std::int32_t col) const;
  void SetTextMatrix(std::int32_t row, std::int32_t col, std::string text);
  // Column heading (TextMatrix(0, col)).
  const std::string& ColHeading(std::int32_t col) const { return TextMatrix(0, col); }
  void SetColHeading(std::int32_t col, std::string text) { SetTextMatrix(0, col, std::move(text)); }

  // Width of column 1..Cols and height of row 0..Rows (0 = heading row), twips; negative → 380.
  float ColWidth(std::int32_t col) const;
  void SetColWidth(std::int32_t col, float twips);
  float RowHeight(std::int32_t row) const;
  void SetRowHeight(std::int32_t row, float twips);

  // Opaque display settings the forms switch (a per-column one by key, and grid-wide ones);
  // an unset setting reads 0. The view decides what a key means. Switching a setting to 0 for
  // the first time is a change too (the view may read "Bearbeitbar" 0 otherwise than unset).
  std::int32_t ColSetting(std::int32_t col, const std::string& schluessel) const;
  void SetColSetting(std::int32_t col, const std::string& schluessel, std::int32_t wert);
  // Every setting switched so far (for views), by key.
  const std::map<std::string, std::int32_t>& ColSettings(std::int32_t col) const;
  const std::map<std::string, std::int32_t>& Settings() const { return einstellungen_; }
  std::int32_t Setting(const std::string& schluessel) const;
  void SetSetting(const std::string& schluessel, std::int32_t wert);

  // Inserts an empty row (standard height) at 1..Rows+1; rows from there move down, with their
  // selection. The current row keeps its number, so inserting at the current row makes the new
  // row current; in an empty grid the new row becomes current (RowChange).
  void InsertRow(std::int32_t position);
  // Removes row 1..Rows; rows below move up with their selection. A current row beyond the new
  // end moves to the last row (0 when none is left), raising RowChange.
  void RemoveRow(std::int32_t row);

  // The selected rows, ascending.
  const std::vector<std::int32_t>& SelectedRows() const { return selektion_; }
  // Clears the selection.
  void ClearSelection();

  // Position of a cell relative to the grid's own top left corner (twips): columns and rows
  // before it, the heading row included; the grid does not scroll. Throws 381 outside the grid.
  float CellLeft(std::int32_t row, std::int32_t col) const;
  float CellTop(std::int32_t row, std::int32_t col) const;
  // Shorthands for the current cell.
  float CellLeft() const { return CellLeft(row_, col_); }
  float CellTop() const { return CellTop(row_, col_); }
  float CellWidth() const { return ColWidth(col_); }

  // Ends the current cell edit: raises EditEnd so that a view commits an open editor (through
  // UserEditCell); the model itself holds no pending edit.
  void EndEdit();

  // User action: click cell (row, col): the grid gets the focus, the cell becomes current
  // (RowChange, ColChange as they change), then CellClick(row, col). Throws 381 outside the grid.
  void UserClickCell(std::int32_t row, std::int32_t col);
  // User action: type `text` into cell (row, col). When the cell is not current it is clicked
  // first (UserClickCell). Then the text is set and CellIsDirty raised with its flag at -1 (the
  // form sets it to 0); typing the text the cell already holds raises nothing.
  void UserEditCell(std::int32_t row, std::int32_t col, std::string text);
  // User action: press a key in the grid (focus, then KeyDown). When the handlers leave the key
  // code nonzero the grid handles it: Tab and Right move to the next column, Shift+Tab and Left
  // to the previous one (staying at the first / last column), Down and Up to the next or
  // previous row (staying at the last / first row). Other keys do nothing more.
  void UserPressKey(std::int16_t keyCode, std::int16_t shift = umschalt::Keine);
  // User action: select rows (1..Rows each, else 381 and nothing changes); replaces the old
  // selection. Duplicates count once.
  void UserSelectRows(std::vector<std::int32_t> rows);

  Event<std::int32_t, std::int32_t> CellClick;  // row, col
  Event<std::int32_t> RowChange;                // new current row
  Event<std::int32_t> ColChange;                // new current column
  Event<std::int16_t&> CellIsDirty;             // flag; the form sets it to 0
  Event<std::int16_t&, std::int16_t> KeyDown;   // key code (0 swallows the key), shift state
  Event<> EditEnd;

 private:
  void PruefeZeile(std::int32_t row, bool kopfErlaubt) const;
  void PruefeSpalte(std::int32_t col) const;
  // Sets the current cell, raises StateChanged, then RowChange/ColChange as they changed.
  void AktuelleZelle(std::int32_t row, std::int32_t col, bool geaendert);
  // Forgets the tops of the rows from `row` on; the heights there changed.
  void HoehenGeaendert(std::int32_t row) const;

  std::vector<std::vector<std::string>> zellen_{std::vector<std::string>{}};  // [0] = headings
  std::vector<float> hoehen_{StandardHoehe};                                  // [0] = headings
  // oben_[r] = the sum of the heights of rows 0 … r-1, known as far as it was asked for: a form
  // that places a combo box in every row of a long grid asks for each row's top.
  mutable std::vector<float> oben_{0.0f};
  std::vector<float> breiten_;                                              // [col - 1]
  std::vector<std::map<std::string, std::int32_t>> spalten_einstellungen_;  // [col - 1]
  std::map<std::string, std::int32_t> einstellungen_;
  std::vector<std::int32_t> selektion_;
  std::int32_t cols_ = 0;
  std::int32_t row_ = 0;
  std::int32_t col_ = 0;
};

}  // namespace tarvo::controls
