// The tracks' lines of one zoom, in whole world pixels: each line kept once
// however many stations drove it, and gathered by fading band (oldest
// first, so newer lines are drawn over older ones) and by square cell of
// the world, so a frame draws only the cells it shows. Within a cell the
// newest lines come first, so a frame short of time draws a prefix of each.
#pragma once

#include <QLine>
#include <QRect>

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

namespace vorlink {

inline constexpr int kTrackFadeBands = 4;
inline constexpr int kTrackCellPixels = 256;
// A line's setup costs about as much as drawing this many of its pixels.
inline constexpr std::uint64_t kTrackLineSetupPixels = 8;

struct MapTrackCell {
  QRect bounds;  // of its lines, which may reach out of the cell
  int band = 0;  // 0 newest
  std::uint32_t first = 0;
  std::uint32_t count = 0;
};

class MapTrackLines {
 public:
  using Deadline = std::chrono::steady_clock::time_point;

  void Clear();
  // A line of band 0 (newest) to kTrackFadeBands - 1, driven at `time`
  // (the latest of its drives counts); Finish sorts them in. Lines added
  // after a Finish are merged into what it laid out, the rest only moved.
  // No Add while a FinishBy is under way.
  void Add(QPoint from, QPoint to, int band, std::int64_t time);
  // Room for this many lines without growing on the way.
  void Reserve(std::size_t lines);
  void Finish() { while (!FinishBy(Deadline::max())) {} }
  // As Finish, in steps: stops after the step that passes `deadline`,
  // true once everything added is laid out.
  bool FinishBy(Deadline deadline);

  // Band by band, the oldest band first.
  const std::vector<MapTrackCell>& Cells() const { return cells_; }
  std::span<const QLine> Lines(const MapTrackCell& cell) const {
    return {lines_.data() + cell.first, cell.count};
  }
  std::size_t Size() const { return lines_.size(); }
  // What drawing a line costs, in pixels: its length along its longer
  // axis and what setting any line up costs.
  static std::uint64_t Cost(const QLine& line);
  // How many lines of each cell (a cell may be named again, for another
  // copy of the world) to draw so that they cost no more than `budget` in
  // all: the newest, those of one time all or none.
  std::vector<std::uint32_t> Newest(std::span<const MapTrackCell* const> cells, std::uint64_t budget) const;

 private:
  struct Segment {
    std::uint64_t cell;  // band, oldest first, then the cell's row and column
    std::int32_t x1, y1, x2, y2;
    bool operator==(const Segment&) const = default;
  };
  struct SegmentHash {
    std::size_t operator()(const Segment& s) const;
  };
  using Entry = std::pair<Segment, std::int64_t>;
  struct Raised {
    Segment segment;
    std::int64_t was;  // its time as laid out
  };
  std::uint32_t& SlotOf(const Segment& segment);
  void Grow();
  void Rehash(std::size_t count);  // a power of two
  bool SortStep();
  bool LayOutStep(Deadline deadline);
  void Merge();
  // A line at the end of the cell `key`, which starts when the last cell is another.
  void Put(std::uint64_t key, const QLine& line, std::int64_t time, std::vector<QLine>& lines,
           std::vector<std::int64_t>& times, std::vector<std::uint64_t>& costs);
  std::uint32_t CountSince(const MapTrackCell& cell, std::int64_t since) const;
  // What the lines with at least `since` as their time cost, summed over the cells.
  std::uint64_t CostSince(std::span<const MapTrackCell* const> cells, std::int64_t since) const;

  // Told apart as they come, so many stations on one road cost one line:
  // every line added since Clear, found by its hash in slots_ (open
  // addressing: a million lines cost a few arrays, freed at once).
  std::vector<Entry> entries_;
  std::vector<std::uint32_t> slots_;  // places in entries_, a power of two of them
  // A whole lay-out: entries_ sorted in runs of doubling width, a bounded
  // step at a time, then laid out.
  std::vector<Entry> sorting_, merged_;
  std::size_t run_ = 0, at_ = 0, left_ = 0, right_ = 0;
  bool copied_ = false, sorted_ = false, laidOut_ = false;
  // Since the last lay-out: lines new to it, and those driven again later.
  std::vector<Entry> fresh_;
  std::vector<Raised> raised_;
  std::vector<std::uint64_t> keys_;  // of cells_
  std::vector<QLine> lines_;
  std::vector<std::int64_t> times_;  // of lines_
  std::vector<std::uint64_t> costs_;  // of lines_, summed from their cell's first
  std::vector<MapTrackCell> cells_;
};

}  // namespace vorlink
