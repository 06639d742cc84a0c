#include "ui/map_track_lines.h"

#include <algorithm>
#include <cmath>

namespace vorlink {
namespace {

// Cell numbers are biased to stay positive: a track unwound across the
// date line reaches a world's width beyond either edge.
constexpr int kTrackCellBits = 28;
constexpr std::int64_t kTrackCellBias = std::int64_t{1} << (kTrackCellBits - 1);
constexpr std::uint64_t kTrackCellMask = (std::uint64_t{1} << kTrackCellBits) - 1;

std::uint64_t TrackCellOf(QPoint at, int band) {
  const auto number = [](int pixels) {
    const auto cell = static_cast<std::int64_t>(std::floor(static_cast<double>(pixels) / kTrackCellPixels));
    return static_cast<std::uint64_t>(cell + kTrackCellBias) & kTrackCellMask;
  };
  const auto age = static_cast<std::uint64_t>(kTrackFadeBands - 1 - band);
  return age << (2 * kTrackCellBits) | number(at.y()) << kTrackCellBits | number(at.x());
}

}  // namespace

void MapTrackLines::Clear() {
  pending_.clear();
  lines_.clear();
  cells_.clear();
}

void MapTrackLines::Add(QPoint from, QPoint to, int band) {
  band = std::clamp(band, 0, kTrackFadeBands - 1);
  // Either way round is the same line.
  if (std::pair(to.x(), to.y()) < std::pair(from.x(), from.y())) std::swap(from, to);
  pending_.insert({TrackCellOf(from, band), from.x(), from.y(), to.x(), to.y()});
}

std::size_t MapTrackLines::SegmentHash::operator()(const Segment& s) const {
  std::uint64_t h = s.cell * 0x9E3779B97F4A7C15ULL;
  for (const std::int32_t v : {s.x1, s.y1, s.x2, s.y2}) {
    h = (h ^ static_cast<std::uint32_t>(v)) * 0x100000001B3ULL;
  }
  return static_cast<std::size_t>(h ^ (h >> 29));
}

void MapTrackLines::Finish() {
  std::vector<Segment> sorted(pending_.begin(), pending_.end());
  pending_ = {};
  std::sort(sorted.begin(), sorted.end());
  lines_.clear();
  lines_.reserve(sorted.size());
  cells_.clear();
  for (std::size_t k = 0; k < sorted.size(); ++k) {
    const Segment& s = sorted[k];
    const QRect bounds = QRect(QPoint(std::min(s.x1, s.x2), std::min(s.y1, s.y2)),
                               QPoint(std::max(s.x1, s.x2), std::max(s.y1, s.y2)));
    if (k == 0 || s.cell != sorted[k - 1].cell) {
      const auto age = static_cast<int>(s.cell >> (2 * kTrackCellBits));
      cells_.push_back({bounds, kTrackFadeBands - 1 - age, static_cast<std::uint32_t>(k), 0});
    }
    MapTrackCell& cell = cells_.back();
    cell.bounds |= bounds;
    ++cell.count;
    lines_.emplace_back(s.x1, s.y1, s.x2, s.y2);
  }
}

}  // namespace vorlink
