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

void SchwebendeAuswahl::Zeigen(std::int32_t zeile) {
  if (combo_.Visible() && zeile_ != 0 && zeile_ != zeile) Übernehmen();
  combo_.SetListIndex(index_(grid_.TextMatrix(zeile, spalte_)));
  combo_.Move(grid_.Left() + grid_.CellLeft(zeile, spalte_),
              grid_.Top() + grid_.CellTop(zeile, spalte_), grid_.ColWidth(spalte_),
              combo_.Height());
  zeile_ = zeile;
  combo_.SetVisible(true);
}

void SchwebendeAuswahl::Übernehmen() {
  const std::int32_t zeile = zeile_;
  zeile_ = 0;
  const bool sichtbar = combo_.Visible();
  combo_.SetVisible(false);
  if (!sichtbar || zeile < 1 || zeile > grid_.Rows()) return;
  grid_.SetTextMatrix(zeile, spalte_, combo_.Text());
  übernommen_(zeile);
}

void SchwebendeAuswahl::TestComboEdit(std::int32_t zeile, std::int32_t spalte) {
  if (spalte == spalte_)
    Zeigen(zeile);
  else if (combo_.Visible())
    Übernehmen();
}

}  // namespace tarvo::formulare
