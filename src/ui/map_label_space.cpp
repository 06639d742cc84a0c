#include "ui/map_label_space.h"

#include <algorithm>

namespace vorlink {

MapLabelSpace::MapLabelSpace(QSize view)
    : columns_(std::max(1, view.width() / kLabelCellWidth + 1)),
      rows_(std::max(1, view.height() / kLabelCellHeight + 1)),
      cells_(static_cast<std::size_t>(columns_ * rows_)) {}

QRect MapLabelSpace::CellsOf(const QRect& box) const {
  const auto clampColumn = [this](int x) { return std::clamp(x / kLabelCellWidth, 0, columns_ - 1); };
  const auto clampRow = [this](int y) { return std::clamp(y / kLabelCellHeight, 0, rows_ - 1); };
  return QRect(QPoint(clampColumn(std::max(box.left(), 0)), clampRow(std::max(box.top(), 0))),
               QPoint(clampColumn(std::max(box.right(), 0)), clampRow(std::max(box.bottom(), 0))));
}

bool MapLabelSpace::Overlaps(const QRect& box) const {
  const QRect cells = CellsOf(box);
  for (int row = cells.top(); row <= cells.bottom(); ++row) {
    for (int column = cells.left(); column <= cells.right(); ++column) {
      for (const int k : cells_[CellIndex(column, row)]) {
        if (boxes_[static_cast<std::size_t>(k)].intersects(box)) return true;
      }
    }
  }
  return false;
}

bool MapLabelSpace::Take(const QRect& box) {
  if (Overlaps(box)) return false;
  const QRect cells = CellsOf(box);
  const auto index = static_cast<int>(boxes_.size());
  boxes_.push_back(box);
  for (int row = cells.top(); row <= cells.bottom(); ++row) {
    for (int column = cells.left(); column <= cells.right(); ++column) cells_[CellIndex(column, row)].push_back(index);
  }
  return true;
}

}  // namespace vorlink
