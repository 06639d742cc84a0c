// The room left for station labels in one paint of the map: a label is
// drawn only where it overlaps none drawn before it, so a dense area
// stays readable. The boxes taken are kept in a coarse grid of the view,
// so each test looks at its neighbours only.
#pragma once

#include <QRect>

#include <vector>

namespace vorlink {

inline constexpr int kLabelCellWidth = 64;
inline constexpr int kLabelCellHeight = 16;

class MapLabelSpace {
 public:
  explicit MapLabelSpace(QSize view);
  // True when the box overlaps one already taken.
  bool Overlaps(const QRect& box) const;
  // Takes the box when it overlaps none taken; false when it does.
  bool Take(const QRect& box);
  int Count() const { return static_cast<int>(boxes_.size()); }

 private:
  // The grid's cells a box touches, clamped to the view.
  QRect CellsOf(const QRect& box) const;
  std::size_t CellIndex(int column, int row) const { return static_cast<std::size_t>(row * columns_ + column); }

  int columns_ = 1;
  int rows_ = 1;
  std::vector<QRect> boxes_;
  std::vector<std::vector<int>> cells_;  // indices into boxes_
};

}  // namespace vorlink
