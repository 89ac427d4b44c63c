#include "platform/qt/RasterModell.h"

#include <QApplication>
#include <QBrush>
#include <QPalette>
#include <algorithm>

#include "errors/Falle.h"

namespace tarvo::qt {

RasterModell::RasterModell(controls::Grid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), zeilen_(grid.Rows()), spalten_(grid.Cols()) {}

int RasterModell::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : zeilen_;
}

int RasterModell::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : spalten_;
}

QVariant RasterModell::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= grid_.Rows() || index.column() >= grid_.Cols()) return {};
  const std::int32_t zeile = index.row() + 1;
  const std::int32_t spalte = index.column() + 1;
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return QString::fromStdString(grid_.TextMatrix(zeile, spalte));
    case Qt::TextAlignmentRole: {
      const std::int32_t ausrichtung = grid_.ColSetting(spalte, "Ausrichtung");
      const Qt::Alignment waagrecht = ausrichtung == 2   ? Qt::AlignRight
                                      : ausrichtung == 1 ? Qt::AlignHCenter
                                                         : Qt::AlignLeft;
      return QVariant::fromValue(waagrecht | Qt::AlignVCenter);
    }
    case Qt::ToolTipRole: {
      const auto hinweis = hinweise_.find({zeile, spalte});
      return hinweis == hinweise_.end() ? QVariant() : QVariant(hinweis->second);
    }
    case Qt::BackgroundRole:
    case Qt::ForegroundRole: {
      if (role == Qt::BackgroundRole && hinweise_.count({zeile, spalte}))
        return QBrush(QColor(255, 214, 214));
      const auto& auswahl = grid_.SelectedRows();
      if (!std::binary_search(auswahl.begin(), auswahl.end(), zeile)) return {};
      const QPalette palette = QApplication::palette();
      return role == Qt::BackgroundRole ? QBrush(palette.color(QPalette::Highlight))
                                        : QBrush(palette.color(QPalette::HighlightedText));
    }
    default:
      return {};
  }
}

QVariant RasterModell::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  if (orientation == Qt::Horizontal) {
    if (section < 0 || section >= grid_.Cols()) return {};
    return QString::fromStdString(grid_.ColHeading(section + 1)).trimmed();
  }
  return QString::number(section + 1);
}

Qt::ItemFlags RasterModell::flags(const QModelIndex& index) const {
  if (!index.isValid() || index.column() >= grid_.Cols()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  const auto& einstellungen = grid_.ColSettings(index.column() + 1);
  const auto bearbeitbar = einstellungen.find("Bearbeitbar");
  if (bearbeitbar == einstellungen.end() || bearbeitbar->second != 0) flags |= Qt::ItemIsEditable;
  return flags;
}

bool RasterModell::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  Falle falle("RasterModell", "setData");
  return falle([&] {
    grid_.UserEditCell(index.row() + 1, index.column() + 1, value.toString().toStdString());
  });
}

void RasterModell::Hinweise(std::map<std::pair<std::int32_t, std::int32_t>, QString> hinweise) {
  if (hinweise == hinweise_) return;
  hinweise_ = std::move(hinweise);
  if (zeilen_ > 0 && spalten_ > 0)
    emit dataChanged(index(0, 0), index(zeilen_ - 1, spalten_ - 1),
                     {Qt::BackgroundRole, Qt::ToolTipRole});
}

void RasterModell::Abgleichen() {
  if (zeilen_ != grid_.Rows() || spalten_ != grid_.Cols()) {
    beginResetModel();
    zeilen_ = grid_.Rows();
    spalten_ = grid_.Cols();
    endResetModel();
    return;
  }
  if (zeilen_ > 0 && spalten_ > 0) emit dataChanged(index(0, 0), index(zeilen_ - 1, spalten_ - 1));
  if (spalten_ > 0) emit headerDataChanged(Qt::Horizontal, 0, spalten_ - 1);
}

}  // namespace tarvo::qt
