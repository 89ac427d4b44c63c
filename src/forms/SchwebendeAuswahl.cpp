#include "forms/SchwebendeAuswahl.h"

namespace tarvo::formulare {

SchwebendeAuswahl::SchwebendeAuswahl(controls::Grid& grid, controls::ComboBox& combo,
                                     std::int32_t spalte,
                                     std::function<std::int32_t(const std::string&)> index,
                                     std::function<void(std::int32_t zeile)> übernommen)
    : grid_(grid),
      combo_(combo),
      spalte_(spalte),
      index_(std::move(index)),
      übernommen_(std::move(übernommen)) {}

void SchwebendeAuswahl::Zeigen(Falle& falle, std::int32_t zeile) {
  if (combo_.Visible() && zeile_ != zeile) Übernehmen(falle);
  zeile_ = zeile;
  falle([&] { combo_.SetListIndex(index_(grid_.TextMatrix(zeile, spalte_))); });
  falle([&] {
    combo_.Move(grid_.Left() + grid_.CellLeft(zeile, spalte_),
                grid_.Top() + grid_.CellTop(zeile, spalte_), grid_.ColWidth(spalte_),
                combo_.Height());
  });
  falle([&] { combo_.SetVisible(true); });
}

void SchwebendeAuswahl::Übernehmen(Falle& falle) {
  if (!combo_.Visible()) return;
  const std::int32_t zeile = zeile_;
  // Hidden first: what the write and the recalculation raise finds the combo box taken back.
  falle([&] { combo_.SetVisible(false); });
  if (zeile < 1 || zeile > grid_.Rows()) return;  // the row was deleted meanwhile
  falle([&] { grid_.SetTextMatrix(zeile, spalte_, combo_.Text()); });
  übernommen_(zeile);
}

void SchwebendeAuswahl::TestComboEdit(Falle& falle, std::int32_t zeile, std::int32_t spalte) {
  if (spalte == spalte_)
    Zeigen(falle, zeile);
  else
    Übernehmen(falle);
}

}  // namespace tarvo::formulare
