// RasterModell: a QAbstractTableModel over a Grid model, so a QTableView can show it. It holds
// nothing of its own: rows, columns, texts, headings, alignment ("Ausrichtung" 0 left, 1 centre,
// 2 right), editability ("Bearbeitbar" 0 makes a column read-only) and the selected rows (shown
// highlighted) are read from the grid whenever the view asks. An edit committed by the view goes
// to the grid's UserEditCell; an edit the grid refuses is logged under "RasterModell" and the
// cell shows what the grid holds. Cells with an input hint are marked. Abgleichen tells the view
// what changed after the grid announced a change.
#pragma once

#include <QAbstractTableModel>
#include <map>
#include <utility>

#include "platform/controls/Grid.h"

namespace tarvo::qt {

class RasterModell : public QAbstractTableModel {
  Q_OBJECT
 public:
  RasterModell(controls::Grid& grid, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  // After the grid changed: a reset when rows or columns came or went, else every cell and
  // heading announced as changed (the view repaints what it shows, nothing more).
  void Abgleichen();

  controls::Grid& Raster() const { return grid_; }

  // The input hints on cells, by (row, column) from 1: such a cell shows a light red
  // background and the hint as its tooltip.
  void Hinweise(std::map<std::pair<std::int32_t, std::int32_t>, QString> hinweise);
  const std::map<std::pair<std::int32_t, std::int32_t>, QString>& Hinweise() const {
    return hinweise_;
  }

 private:
  controls::Grid& grid_;
  std::map<std::pair<std::int32_t, std::int32_t>, QString> hinweise_;
  int zeilen_ = 0;
  int spalten_ = 0;
};

}  // namespace tarvo::qt
