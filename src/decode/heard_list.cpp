#include "decode/heard_list.h"

#include <algorithm>

#include "base/utc.h"
#include "decode/frame_text.h"

namespace vorlink {
namespace {

constexpr std::size_t kHeardTimeLength = 19;  // the timestamp without milliseconds

}  // namespace

std::string HeardTimeText(std::int64_t time) {
  if (time == kNoArrivalTime) return "-";
  char stamp[kTimestampLength];
  FormatTimestamp(FromEpochMilliseconds(time), stamp);
  return std::string(stamp, kHeardTimeLength);
}

void HeardList::Add(const StoredFrame& frame) {
  const Ax25Decoder& d = inspector_.Inspect(frame);
  if (!inspector_.HeaderComplete()) return;
  // As the address line shows it: no control character can reach a table.
  std::string callsign;
  AppendPrintable(callsign, d.SourceText);
  auto it = rows_.find(callsign);
  if (it == rows_.end()) {
    if (stations_.size() >= kMaxHeardStations) {
      ++overflow_;
      return;
    }
    it = rows_.emplace(callsign, stations_.size()).first;
    stations_.push_back(HeardStation{callsign});
    changed_.push_back(false);
  }
  const std::size_t row = it->second;
  if (!changed_[row]) {
    changed_[row] = true;
    changedRows_.push_back(row);
  }
  HeardStation& s = stations_[row];
  ++s.frames;
  ++(inspector_.AnyRepeated() ? s.via : s.direct);
  if (frame.HasArrival()) {
    if (s.firstHeard == kNoArrivalTime || frame.arrival < s.firstHeard) s.firstHeard = frame.arrival;
    if (s.lastHeard == kNoArrivalTime || frame.arrival > s.lastHeard) s.lastHeard = frame.arrival;
  }
}

bool HeardList::CatchUp(const FrameStore& store, std::size_t most) {
  FrameIndex i = std::max(next_, store.FirstIndex());
  const FrameIndex end = store.EndIndex() - i > most ? i + most : store.EndIndex();
  for (; i < end; ++i) Add(store.Frame(i));
  next_ = end;
  return end < store.EndIndex();
}

std::vector<std::size_t> HeardList::TakeChanged() {
  std::vector<std::size_t> rows;
  rows.swap(changedRows_);
  std::sort(rows.begin(), rows.end());
  for (const std::size_t row : rows) changed_[row] = false;
  return rows;
}

void HeardList::Compute(const FrameStore& store) {
  Clear();
  CatchUp(store);
}

void HeardList::Clear() {
  stations_.clear();
  rows_.clear();
  changed_.clear();
  changedRows_.clear();
  next_ = 0;
  overflow_ = 0;
}

std::vector<HeardStation> HeardList::Sorted() const {
  std::vector<HeardStation> list = stations_;
  std::sort(list.begin(), list.end(), [](const HeardStation& a, const HeardStation& b) {
    if (a.frames != b.frames) return a.frames > b.frames;
    return a.callsign < b.callsign;
  });
  return list;
}

}  // namespace vorlink
