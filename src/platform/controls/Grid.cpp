#include "platform/controls/Grid.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "errors/Laufzeitfehler.h"

namespace tarvo::controls {
namespace {

[[noreturn]] void UngueltigerIndex() {
  throw Laufzeitfehler(steuerfehler::UngueltigerIndex, "Ungültiger Index für Eigenschaftsfeld");
}

[[noreturn]] void UngueltigerWert() {
  throw Laufzeitfehler(steuerfehler::UngueltigerWert, "Ungültiger Eigenschaftswert");
}

std::size_t Index(std::int32_t wert) {
  return static_cast<std::size_t>(wert);
}

}  // namespace

void Grid::PruefeZeile(std::int32_t row, bool kopfErlaubt) const {
  if (row < (kopfErlaubt ? 0 : 1) || row > Rows()) UngueltigerIndex();
}

void Grid::PruefeSpalte(std::int32_t col) const {
  if (col < 1 || col > cols_) UngueltigerIndex();
}

void Grid::AktuelleZelle(std::int32_t row, std::int32_t col, bool geaendert) {
  const std::int32_t alteZeile = row_;
  const std::int32_t alteSpalte = col_;
  row_ = row;
  col_ = col;
  if (geaendert || row != alteZeile || col != alteSpalte) Geaendert();
  if (row != alteZeile) RowChange(row);
  // A RowChange handler that moved the column has raised its own ColChange.
  if (col != alteSpalte && col_ == col) ColChange(col);
}

void Grid::SetRows(std::int32_t anzahl) {
  if (anzahl < 0) UngueltigerWert();
  if (anzahl == Rows()) return;
  zellen_.resize(Index(anzahl) + 1, std::vector<std::string>(Index(cols_)));
  hoehen_.resize(Index(anzahl) + 1, StandardHoehe);
  HoehenGeaendert(anzahl + 1);
  std::erase_if(selektion_, [anzahl](std::int32_t r) { return r > anzahl; });
  const std::int32_t zeile = anzahl == 0 ? 0 : std::clamp(row_, 1, anzahl);
  AktuelleZelle(zeile, col_, true);
}

void Grid::SetCols(std::int32_t anzahl) {
  if (anzahl < 0) UngueltigerWert();
  if (anzahl == cols_) return;
  cols_ = anzahl;
  for (auto& zeile : zellen_) zeile.resize(Index(anzahl));
  breiten_.resize(Index(anzahl), StandardBreite);
  spalten_einstellungen_.resize(Index(anzahl));
  const std::int32_t spalte = anzahl == 0 ? 0 : std::clamp(col_, 1, anzahl);
  AktuelleZelle(row_, spalte, true);
}

void Grid::SetRow(std::int32_t row) {
  PruefeZeile(row, false);
  AktuelleZelle(row, col_, false);
}

void Grid::SetCol(std::int32_t col) {
  PruefeSpalte(col);
  AktuelleZelle(row_, col, false);
}

std::string Grid::Text() const {
  if (row_ == 0 || col_ == 0) return {};
  return zellen_[Index(row_)][Index(col_ - 1)];
}

void Grid::SetText(std::string text) {
  if (row_ == 0 || col_ == 0) UngueltigerIndex();
  SetTextMatrix(row_, col_, std::move(text));
}

const std::string& Grid::TextMatrix(std::int32_t row, std::int32_t col) const {
  PruefeZeile(row, true);
  PruefeSpalte(col);
  return zellen_[Index(row)][Index(col - 1)];
}

void Grid::SetTextMatrix(std::int32_t row, std::int32_t col, std::string text) {
  PruefeZeile(row, true);
  PruefeSpalte(col);
  auto& zelle = zellen_[Index(row)][Index(col - 1)];
  if (zelle == text) return;
  zelle = std::move(text);
  Geaendert();
}

float Grid::ColWidth(std::int32_t col) const {
  PruefeSpalte(col);
  return breiten_[Index(col - 1)];
}

void Grid::SetColWidth(std::int32_t col, float twips) {
  PruefeSpalte(col);
  if (!(twips >= 0)) UngueltigerWert();
  if (breiten_[Index(col - 1)] == twips) return;
  breiten_[Index(col - 1)] = twips;
  Geaendert();
}

float Grid::RowHeight(std::int32_t row) const {
  PruefeZeile(row, true);
  return hoehen_[Index(row)];
}

void Grid::SetRowHeight(std::int32_t row, float twips) {
  PruefeZeile(row, true);
  if (!(twips >= 0)) UngueltigerWert();
  if (hoehen_[Index(row)] == twips) return;
  hoehen_[Index(row)] = twips;
  HoehenGeaendert(row);
  Geaendert();
}

std::int32_t Grid::ColSetting(std::int32_t col, const std::string& schluessel) const {
  PruefeSpalte(col);
  const auto& einstellungen = spalten_einstellungen_[Index(col - 1)];
  auto it = einstellungen.find(schluessel);
  return it == einstellungen.end() ? 0 : it->second;
}

void Grid::SetColSetting(std::int32_t col, const std::string& schluessel, std::int32_t wert) {
  PruefeSpalte(col);
  auto& einstellungen = spalten_einstellungen_[Index(col - 1)];
  // A setting switched to its default is kept as switched: views tell it from an unset one.
  const auto alt = einstellungen.find(schluessel);
  if (alt != einstellungen.end() && alt->second == wert) return;
  einstellungen[schluessel] = wert;
  Geaendert();
}

const std::map<std::string, std::int32_t>& Grid::ColSettings(std::int32_t col) const {
  PruefeSpalte(col);
  return spalten_einstellungen_[Index(col - 1)];
}

std::int32_t Grid::Setting(const std::string& schluessel) const {
  auto it = einstellungen_.find(schluessel);
  return it == einstellungen_.end() ? 0 : it->second;
}

void Grid::SetSetting(const std::string& schluessel, std::int32_t wert) {
  const auto alt = einstellungen_.find(schluessel);
  if (alt != einstellungen_.end() && alt->second == wert) return;
  einstellungen_[schluessel] = wert;
  Geaendert();
}

void Grid::InsertRow(std::int32_t position) {
  if (position < 1 || position > Rows() + 1) UngueltigerIndex();
  zellen_.insert(zellen_.begin() + position, std::vector<std::string>(Index(cols_)));
  hoehen_.insert(hoehen_.begin() + position, StandardHoehe);
  HoehenGeaendert(position);
  for (auto& r : selektion_) {
    if (r >= position) ++r;
  }
  AktuelleZelle(row_ == 0 ? 1 : row_, col_, true);
}

void Grid::RemoveRow(std::int32_t row) {
  PruefeZeile(row, false);
  zellen_.erase(zellen_.begin() + row);
  hoehen_.erase(hoehen_.begin() + row);
  HoehenGeaendert(row);
  std::erase(selektion_, row);
  for (auto& r : selektion_) {
    if (r > row) --r;
  }
  AktuelleZelle(std::min(row_, Rows()), col_, true);
}

void Grid::ClearSelection() {
  if (selektion_.empty()) return;
  selektion_.clear();
  Geaendert();
}

float Grid::CellLeft(std::int32_t row, std::int32_t col) const {
  PruefeZeile(row, true);
  PruefeSpalte(col);
  return std::accumulate(breiten_.begin(), breiten_.begin() + (col - 1), 0.0f);
}

float Grid::CellTop(std::int32_t row, std::int32_t col) const {
  PruefeZeile(row, true);
  PruefeSpalte(col);
  // Summed in row order, as one sum over the rows above would be.
  while (oben_.size() <= static_cast<std::size_t>(row))
    oben_.push_back(oben_.back() + hoehen_[oben_.size() - 1]);
  return oben_[static_cast<std::size_t>(row)];
}

void Grid::HoehenGeaendert(std::int32_t row) const {
  const auto erhalten = static_cast<std::size_t>(std::max(row, 0)) + 1;
  if (oben_.size() > erhalten) oben_.resize(erhalten);
}

void Grid::EndEdit() {
  EditEnd();
}

void Grid::UserClickCell(std::int32_t row, std::int32_t col) {
  PruefeZeile(row, false);
  PruefeSpalte(col);
  if (!Visible() || !Enabled()) return;
  SetFocus();
  // The LostFocus handler of the control left may have reshaped the grid.
  if (row > Rows() || col > cols_) return;
  AktuelleZelle(row, col, false);
  CellClick(row, col);
}

void Grid::UserEditCell(std::int32_t row, std::int32_t col, std::string text) {
  PruefeZeile(row, false);
  PruefeSpalte(col);
  if (!Visible() || !Enabled()) return;
  if (row != row_ || col != col_ || !HasFocus()) {
    UserClickCell(row, col);
    if (row > Rows() || col > cols_) return;
  }
  auto& zelle = zellen_[Index(row)][Index(col - 1)];
  if (zelle == text) return;
  zelle = std::move(text);
  Geaendert();
  std::int16_t flag = -1;
  CellIsDirty(flag);
}

void Grid::UserPressKey(std::int16_t keyCode, std::int16_t shift) {
  if (!Visible() || !Enabled()) return;
  SetFocus();
  std::int16_t taste = keyCode;
  KeyDown(taste, shift);
  if (taste == 0 || row_ == 0 || col_ == 0) return;
  const bool mitShift = (shift & umschalt::Shift) != 0;
  if ((taste == taste::Tab && !mitShift) || taste == taste::Rechts) {
    if (col_ < cols_) SetCol(col_ + 1);
  } else if ((taste == taste::Tab && mitShift) || taste == taste::Links) {
    if (col_ > 1) SetCol(col_ - 1);
  } else if (taste == taste::Runter) {
    if (row_ < Rows()) SetRow(row_ + 1);
  } else if (taste == taste::Hoch) {
    if (row_ > 1) SetRow(row_ - 1);
  }
}

void Grid::UserSelectRows(std::vector<std::int32_t> rows) {
  for (auto r : rows) PruefeZeile(r, false);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  if (rows == selektion_) return;
  selektion_ = std::move(rows);
  Geaendert();
}

}  // namespace tarvo::controls
