#include "ui/map_track_lines.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

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
  times_.clear();
  costs_.clear();
  cells_.clear();
}

void MapTrackLines::Add(QPoint from, QPoint to, int band, std::int64_t time) {
  band = std::clamp(band, 0, kTrackFadeBands - 1);
  // Either way round is the same line.
  if (std::pair(to.x(), to.y()) < std::pair(from.x(), from.y())) std::swap(from, to);
  const auto [at, added] = pending_.try_emplace({TrackCellOf(from, band), from.x(), from.y(), to.x(), to.y()}, time);
  if (!added) at->second = std::max(at->second, time);
}

std::size_t MapTrackLines::SegmentHash::operator()(const Segment& s) const {
  std::uint64_t h = s.cell * 0x9E3779B97F4A7C15ULL;
  for (const std::int32_t v : {s.x1, s.y1, s.x2, s.y2}) {
    h = (h ^ static_cast<std::uint32_t>(v)) * 0x100000001B3ULL;
  }
  return static_cast<std::size_t>(h ^ (h >> 29));
}

void MapTrackLines::Finish() {
  std::vector<std::pair<Segment, std::int64_t>> sorted(pending_.begin(), pending_.end());
  pending_ = {};
  // Cell by cell, the newest first in each.
  std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
    if (a.first.cell != b.first.cell) return a.first.cell < b.first.cell;
    return a.second > b.second;
  });
  lines_.clear();
  lines_.reserve(sorted.size());
  times_.clear();
  times_.reserve(sorted.size());
  costs_.clear();
  costs_.reserve(sorted.size());
  cells_.clear();
  for (std::size_t k = 0; k < sorted.size(); ++k) {
    const Segment& s = sorted[k].first;
    const QRect bounds = QRect(QPoint(std::min(s.x1, s.x2), std::min(s.y1, s.y2)),
                               QPoint(std::max(s.x1, s.x2), std::max(s.y1, s.y2)));
    if (k == 0 || s.cell != sorted[k - 1].first.cell) {
      const auto age = static_cast<int>(s.cell >> (2 * kTrackCellBits));
      cells_.push_back({bounds, kTrackFadeBands - 1 - age, static_cast<std::uint32_t>(k), 0});
    }
    MapTrackCell& cell = cells_.back();
    cell.bounds |= bounds;
    ++cell.count;
    lines_.emplace_back(s.x1, s.y1, s.x2, s.y2);
    times_.push_back(sorted[k].second);
    costs_.push_back((cell.count > 1 ? costs_.back() : 0) + Cost(lines_.back()));
  }
}

std::uint64_t MapTrackLines::Cost(const QLine& line) {
  const auto along = [](int from, int to) { return static_cast<std::uint64_t>(std::abs(std::int64_t{to} - from)); };
  return kTrackLineSetupPixels + std::max(along(line.x1(), line.x2()), along(line.y1(), line.y2()));
}

std::uint32_t MapTrackLines::CountSince(const MapTrackCell& cell, std::int64_t since) const {
  const auto begin = times_.begin() + cell.first;
  return static_cast<std::uint32_t>(
      std::partition_point(begin, begin + cell.count, [since](std::int64_t t) { return t >= since; }) - begin);
}

std::uint64_t MapTrackLines::CostSince(std::span<const MapTrackCell* const> cells, std::int64_t since) const {
  std::uint64_t cost = 0;
  for (const MapTrackCell* cell : cells) {
    const std::uint32_t count = CountSince(*cell, since);
    if (count > 0) cost += costs_[cell->first + count - 1];
  }
  return cost;
}

std::vector<std::uint32_t> MapTrackLines::Newest(std::span<const MapTrackCell* const> cells,
                                                 std::uint64_t budget) const {
  std::vector<std::uint32_t> counts;
  counts.reserve(cells.size());
  std::uint64_t total = 0;
  std::int64_t oldest = 0, newest = 0;
  for (const MapTrackCell* cell : cells) {
    if (cell->count == 0) continue;
    const std::int64_t first = times_[cell->first], last = times_[cell->first + cell->count - 1];
    oldest = total == 0 ? last : std::min(oldest, last);
    newest = total == 0 ? first : std::max(newest, first);
    total += costs_[cell->first + cell->count - 1];
  }
  if (total <= budget) {
    for (const MapTrackCell* cell : cells) counts.push_back(cell->count);
    return counts;
  }
  if (CostSince(cells, newest) > budget) {
    counts.assign(cells.size(), 0);  // the newest alone are too many
    return counts;
  }
  // The earliest time from which the lines fit, found by halving between
  // the oldest shown (too many) and the newest (fit). Times come from
  // untrusted files: the distance is taken without overflow.
  std::int64_t tooMany = oldest, fits = newest;
  while (static_cast<std::uint64_t>(fits) - static_cast<std::uint64_t>(tooMany) > 1) {
    const std::int64_t middle = std::midpoint(tooMany, fits);
    (CostSince(cells, middle) <= budget ? fits : tooMany) = middle;
  }
  for (const MapTrackCell* cell : cells) counts.push_back(CountSince(*cell, fits));
  return counts;
}

}  // namespace vorlink
