// The tracks' lines of a zoom: each line once whichever way and by however
// many stations it was driven, the oldest band first, and gathered in cells
// whose bounds hold every line in them.
#include "ui/map_track_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace vorlink {
namespace {

TEST(MapTrackLinesTest, KeepsEachLineOnceOldestBandFirstInCellsThatHoldThem) {
  const struct {
    QPoint from, to;
    int band;
  } added[] = {
      {{10, 10}, {20, 12}, 0},
      {{20, 12}, {10, 10}, 0},     // the same line driven back
      {{10, 10}, {20, 12}, 0},     // and by another station
      {{10, 10}, {20, 12}, 3},     // older: drawn under it
      {{300, 40}, {280, 60}, 0},   // the next cell east
      {{-5, 7}, {3, 9}, 1},        // west of the date line
      {{10, 10}, {20, 12}, 9},     // no band that old: the oldest
  };
  MapTrackLines lines;
  for (const auto& line : added) lines.Add(line.from, line.to, line.band);
  lines.Finish();
  EXPECT_EQ(lines.Size(), 4u);

  std::vector<int> bands;
  std::size_t counted = 0;
  for (const MapTrackCell& cell : lines.Cells()) {
    bands.push_back(cell.band);
    counted += cell.count;
    for (const QLine& line : lines.Lines(cell)) {
      EXPECT_TRUE(cell.bounds.contains(line.p1()) && cell.bounds.contains(line.p2()));
    }
  }
  EXPECT_EQ(counted, lines.Size());
  EXPECT_TRUE(std::is_sorted(bands.rbegin(), bands.rend()));  // oldest first
  EXPECT_EQ(bands.size(), 4u);  // band 3; band 1; band 0 in two cells

  lines.Clear();
  lines.Finish();
  EXPECT_TRUE(lines.Cells().empty());
}

}  // namespace
}  // namespace vorlink
