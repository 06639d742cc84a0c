#include "ui/map_track_lines.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <numeric>
#include <tuple>
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


int BandOf(std::uint64_t cell) { return kTrackFadeBands - 1 - static_cast<int>(cell >> (2 * kTrackCellBits)); }

QRect BoundsOf(const QLine& line) {
  return {QPoint(std::min(line.x1(), line.x2()), std::min(line.y1(), line.y2())),
          QPoint(std::max(line.x1(), line.x2()), std::max(line.y1(), line.y2()))};
}

// Entries sorted so far run this long each; a step sorts one or merges two.
constexpr std::size_t kSortRun = 16'384;
constexpr std::uint32_t kFreeSlot = ~std::uint32_t{0};
constexpr std::size_t kFirstSlots = 1'024;
// Lines laid out between looks at the clock.
constexpr std::size_t kLayOutStride = 4'096;

}  // namespace

void MapTrackLines::Clear() {
  entries_ = {};
  slots_ = {};
  sorting_ = {};
  merged_ = {};
  run_ = at_ = left_ = right_ = 0;
  copied_ = sorted_ = laidOut_ = false;
  fresh_.clear();
  raised_.clear();
  lines_.clear();
  times_.clear();
  costs_.clear();
  cells_.clear();
  keys_.clear();
}

void MapTrackLines::Add(QPoint from, QPoint to, int band, std::int64_t time) {
  band = std::clamp(band, 0, kTrackFadeBands - 1);
  // Either way round is the same line.
  if (std::pair(to.x(), to.y()) < std::pair(from.x(), from.y())) std::swap(from, to);
  const Segment segment{TrackCellOf(from, band), from.x(), from.y(), to.x(), to.y()};
  if ((entries_.size() + 1) * 2 > slots_.size()) Grow();
  std::uint32_t& slot = SlotOf(segment);
  if (slot == kFreeSlot) {
    slot = static_cast<std::uint32_t>(entries_.size());
    entries_.emplace_back(segment, time);
    if (laidOut_) fresh_.emplace_back(segment, time);
    return;
  }
  std::int64_t& known = entries_[slot].second;
  if (time <= known) return;
  if (laidOut_) {
    raised_.push_back({segment, known});
    fresh_.emplace_back(segment, time);
  }
  known = time;
}

std::size_t MapTrackLines::SegmentHash::operator()(const Segment& s) const {
  std::uint64_t h = s.cell * 0x9E3779B97F4A7C15ULL;
  for (const std::int32_t v : {s.x1, s.y1, s.x2, s.y2}) {
    h = (h ^ static_cast<std::uint32_t>(v)) * 0x100000001B3ULL;
  }
  return static_cast<std::size_t>(h ^ (h >> 29));
}

std::uint32_t& MapTrackLines::SlotOf(const Segment& segment) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = SegmentHash{}(segment) & mask;
  while (slots_[at] != kFreeSlot && !(entries_[slots_[at]].first == segment)) at = (at + 1) & mask;
  return slots_[at];
}

void MapTrackLines::Reserve(std::size_t lines) {
  entries_.reserve(lines);
  if (lines * 2 > slots_.size()) Rehash(std::bit_ceil(lines * 2));
}

void MapTrackLines::Grow() { Rehash(std::max(kFirstSlots, slots_.size() * 2)); }

void MapTrackLines::Rehash(std::size_t count) {
  slots_.assign(count, kFreeSlot);
  for (std::size_t k = 0; k < entries_.size(); ++k) SlotOf(entries_[k].first) = static_cast<std::uint32_t>(k);
}

// Cell by cell, the newest first in each.
static bool Before(const std::pair<std::uint64_t, std::int64_t>& a, const std::pair<std::uint64_t, std::int64_t>& b) {
  return a.first != b.first ? a.first < b.first : a.second > b.second;
}

bool MapTrackLines::FinishBy(Deadline deadline) {
  if (laidOut_) {
    if (!fresh_.empty()) Merge();
    return true;
  }
  if (!copied_) {
    // Filled as the steps go, so no step copies or clears them whole.
    sorting_.reserve(entries_.size());
    merged_.reserve(entries_.size());
    copied_ = true;
  }
  while (!sorted_) {
    if (SortStep()) break;
    if (std::chrono::steady_clock::now() >= deadline) return false;
  }
  return LayOutStep(deadline);
}

bool MapTrackLines::SortStep() {
  const auto before = [](const Entry& a, const Entry& b) {
    return Before({a.first.cell, a.second}, {b.first.cell, b.second});
  };
  const std::size_t size = entries_.size();
  if (run_ == 0) {
    const auto from = entries_.begin() + static_cast<std::ptrdiff_t>(std::min(at_, size));
    sorting_.insert(sorting_.end(), from, from + static_cast<std::ptrdiff_t>(std::min(kSortRun, size - std::min(at_, size))));
    std::sort(sorting_.begin() + static_cast<std::ptrdiff_t>(std::min(at_, size)), sorting_.end(), before);
    at_ += kSortRun;
    if (at_ >= size) run_ = kSortRun, at_ = left_ = 0, right_ = std::min(run_, size);
  } else {
    // Two runs merged from at_ into merged_, kSortRun lines a step.
    const std::size_t middle = std::min(at_ + run_, size), end = std::min(at_ + 2 * run_, size);
    for (std::size_t n = 0; n < kSortRun && (left_ < middle || right_ < end); ++n) {
      const bool left = right_ >= end || (left_ < middle && !before(sorting_[right_], sorting_[left_]));
      merged_.push_back(sorting_[left ? left_++ : right_++]);
    }
    if (left_ == middle && right_ == end) {
      at_ = end;
      if (at_ >= size) {
        std::swap(sorting_, merged_);
        merged_.clear();
        run_ *= 2;
        at_ = 0;
      }
      left_ = at_;
      right_ = std::min(at_ + run_, size);
    }
  }
  if (run_ != 0 && run_ >= size) {
    sorted_ = true;
    at_ = 0;
    merged_ = {};
  }
  return sorted_;
}

bool MapTrackLines::LayOutStep(Deadline deadline) {
  if (at_ == 0) {
    lines_.clear();
    lines_.reserve(sorting_.size());
    times_.clear();
    times_.reserve(sorting_.size());
    costs_.clear();
    costs_.reserve(sorting_.size());
    cells_.clear();
    keys_.clear();
  }
  for (const std::size_t from = at_; at_ < sorting_.size(); ++at_) {
    if (at_ % kLayOutStride == 0 && at_ > from && std::chrono::steady_clock::now() >= deadline) return false;
    const Segment& s = sorting_[at_].first;
    Put(s.cell, QLine(s.x1, s.y1, s.x2, s.y2), sorting_[at_].second, lines_, times_, costs_);
  }
  sorting_ = {};
  at_ = 0;
  laidOut_ = true;
  return true;
}

void MapTrackLines::Put(std::uint64_t key, const QLine& line, std::int64_t time, std::vector<QLine>& lines,
                        std::vector<std::int64_t>& times, std::vector<std::uint64_t>& costs) {
  if (keys_.empty() || keys_.back() != key) {
    cells_.push_back({BoundsOf(line), BandOf(key), static_cast<std::uint32_t>(lines.size()), 0});
    keys_.push_back(key);
  }
  MapTrackCell& cell = cells_.back();
  cell.bounds |= BoundsOf(line);
  ++cell.count;
  lines.push_back(line);
  times.push_back(time);
  costs.push_back((cell.count > 1 ? costs.back() : 0) + Cost(line));
}

void MapTrackLines::Merge() {
  // Each fresh line once, at its latest time.
  for (Entry& e : fresh_) e.second = entries_[SlotOf(e.first)].second;
  const auto order = [](const Entry& e) { return std::tie(e.first.cell, e.first.x1, e.first.y1, e.first.x2, e.first.y2); };
  std::sort(fresh_.begin(), fresh_.end(), [&](const Entry& a, const Entry& b) { return order(a) < order(b); });
  fresh_.erase(std::unique(fresh_.begin(), fresh_.end(), [](const Entry& a, const Entry& b) { return a.first == b.first; }),
               fresh_.end());
  std::sort(fresh_.begin(), fresh_.end(), [](const Entry& a, const Entry& b) {
    return Before({a.first.cell, a.second}, {b.first.cell, b.second});
  });
  // Where the lines driven again were laid out: they go.
  std::vector<std::uint32_t> gone;
  for (const Raised& r : raised_) {
    const auto key = std::lower_bound(keys_.begin(), keys_.end(), r.segment.cell);
    if (key == keys_.end() || *key != r.segment.cell) continue;
    const MapTrackCell& cell = cells_[static_cast<std::size_t>(key - keys_.begin())];
    const auto begin = times_.begin() + cell.first;
    const auto [from, to] = std::equal_range(begin, begin + cell.count, r.was, std::greater<>());
    const QLine line(r.segment.x1, r.segment.y1, r.segment.x2, r.segment.y2);
    for (auto k = from; k != to; ++k) {
      const auto index = static_cast<std::uint32_t>(k - times_.begin());
      if (lines_[index] == line) gone.push_back(index);
    }
  }
  std::sort(gone.begin(), gone.end());
  std::vector<QLine> lines;
  std::vector<std::int64_t> times;
  std::vector<std::uint64_t> costs;
  lines.reserve(lines_.size() + fresh_.size());
  times.reserve(lines.capacity());
  costs.reserve(lines.capacity());
  const std::vector<MapTrackCell> old = std::move(cells_);
  const std::vector<std::uint64_t> oldKeys = std::move(keys_);
  cells_.clear();
  keys_.clear();
  std::size_t f = 0, g = 0;
  const auto putFresh = [&] {
    const Segment& s = fresh_[f].first;
    Put(s.cell, QLine(s.x1, s.y1, s.x2, s.y2), fresh_[f].second, lines, times, costs);
    ++f;
  };
  for (std::size_t c = 0; c < old.size(); ++c) {
    const std::uint64_t key = oldKeys[c];
    while (f < fresh_.size() && fresh_[f].first.cell < key) putFresh();
    const std::uint32_t end = old[c].first + old[c].count;
    const bool touched = (f < fresh_.size() && fresh_[f].first.cell == key) || (g < gone.size() && gone[g] < end);
    if (!touched) {
      // Moved whole: its costs count from its own first line.
      cells_.push_back(old[c]);
      cells_.back().first = static_cast<std::uint32_t>(lines.size());
      keys_.push_back(key);
      lines.insert(lines.end(), lines_.begin() + old[c].first, lines_.begin() + end);
      times.insert(times.end(), times_.begin() + old[c].first, times_.begin() + end);
      costs.insert(costs.end(), costs_.begin() + old[c].first, costs_.begin() + end);
      continue;
    }
    for (std::uint32_t k = old[c].first; k < end || (f < fresh_.size() && fresh_[f].first.cell == key);) {
      if (g < gone.size() && k < end && gone[g] == k) {
        ++g, ++k;
        continue;
      }
      if (k < end && !(f < fresh_.size() && fresh_[f].first.cell == key && fresh_[f].second > times_[k])) {
        Put(key, lines_[k], times_[k], lines, times, costs);
        ++k;
      } else {
        putFresh();
      }
    }
  }
  while (f < fresh_.size()) putFresh();
  lines_ = std::move(lines);
  times_ = std::move(times);
  costs_ = std::move(costs);
  fresh_.clear();
  raised_.clear();
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
