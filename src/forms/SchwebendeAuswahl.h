// SchwebendeAuswahl: a combo box that floats over one column of a fee grid (the category of
// frmKat1, the sub-item and density class of frmKat3). It is shown over the cell of a row, with
// its selection taken from that cell, and remembers that row (ComboZeile). Taking it back
// writes its text into that same row, never into whichever row has become current meanwhile,
// hides it and lets the form recompute the row; so the order in which the grid raises its
// click, row and column events cannot move a value into another row. Every step runs under the
// trap it is given: a failing control call is reported under the calling procedure's name.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "errors/Falle.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Grid.h"

namespace tarvo::formulare {

class SchwebendeAuswahl {
 public:
  // `index` gives the item to select for a cell text; `übernommen` runs after the combo's text
  // was written into a row (the form recomputes that row).
  SchwebendeAuswahl(controls::Grid& grid, controls::ComboBox& combo, std::int32_t spalte,
                    std::function<std::int32_t(const std::string&)> index,
                    std::function<void(std::int32_t zeile)> übernommen);

  std::int32_t Spalte() const { return spalte_; }
  // The row the combo box is shown for; 0 while it is hidden.
  std::int32_t Zeile() const { return combo_.Visible() ? zeile_ : 0; }

  // Shows the combo box over cell (zeile, Spalte()) with the item of the cell's text selected.
  // Shown for another row, it is taken back into that row first.
  void Zeigen(Falle& falle, std::int32_t zeile);
  // While shown: writes its text into column Spalte() of the row it was shown for, hides it and
  // runs `übernommen` for that row. Hidden: nothing.
  void Übernehmen(Falle& falle);
  // A cell (zeile, spalte) was reached: in the combo's column it is shown over that row, in any
  // other column it is taken back.
  void TestComboEdit(Falle& falle, std::int32_t zeile, std::int32_t spalte);

 private:
  controls::Grid& grid_;
  controls::ComboBox& combo_;
  std::int32_t spalte_;
  std::function<std::int32_t(const std::string&)> index_;
  std::function<void(std::int32_t)> übernommen_;
  std::int32_t zeile_ = 0;
};

}  // namespace tarvo::formulare
