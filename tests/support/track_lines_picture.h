// What a set of track lines draws, told apart from how it was made: each
// cell's band, bounds and lines (in one order, lines of one time being in
// any), and how many of each cell's newest a few budgets afford.
#pragma once

#include <QLine>
#include <QRect>

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <vector>

#include "ui/map_track_lines.h"

namespace vorlink::testing {

struct TrackPicture {
  std::vector<std::tuple<int, int, int, int, int, int>> cells;  // band, bounds, count
  std::vector<std::tuple<std::size_t, int, int, int, int>> lines;  // cell, ends
  std::vector<std::vector<std::uint32_t>> newest;  // per budget
  bool operator==(const TrackPicture&) const = default;
};

inline TrackPicture PictureOf(const MapTrackLines& lines) {
  TrackPicture picture;
  std::vector<const MapTrackCell*> all;
  for (const MapTrackCell& cell : lines.Cells()) {
    const QRect& b = cell.bounds;
    picture.cells.emplace_back(cell.band, b.left(), b.top(), b.right(), b.bottom(), static_cast<int>(cell.count));
    for (const QLine& line : lines.Lines(cell)) {
      picture.lines.emplace_back(all.size(), line.x1(), line.y1(), line.x2(), line.y2());
    }
    all.push_back(&cell);
  }
  std::sort(picture.lines.begin(), picture.lines.end());
  for (const std::uint64_t budget : {0ULL, 100ULL, 1'000ULL, 10'000ULL, ~0ULL}) {
    picture.newest.push_back(lines.Newest(all, budget));
  }
  return picture;
}

}  // namespace vorlink::testing
