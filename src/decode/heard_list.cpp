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
  auto it = stations_.find(callsign);
  if (it == stations_.end()) {
    if (stations_.size() >= kMaxHeardStations) {
      ++overflow_;
      return;
    }
    it = stations_.emplace(callsign, HeardStation{callsign}).first;
  }
  HeardStation& s = it->second;
  ++s.frames;
  ++(inspector_.AnyRepeated() ? s.via : s.direct);
  if (frame.HasArrival()) {
    if (s.firstHeard == kNoArrivalTime || frame.arrival < s.firstHeard) s.firstHeard = frame.arrival;
    if (s.lastHeard == kNoArrivalTime || frame.arrival > s.lastHeard) s.lastHeard = frame.arrival;
  }
}

void HeardList::CatchUp(const FrameStore& store) {
  for (FrameIndex i = std::max(next_, store.FirstIndex()); i < store.EndIndex(); ++i) {
    Add(store.Frame(i));
  }
  next_ = store.EndIndex();
}

void HeardList::Compute(const FrameStore& store) {
  Clear();
  CatchUp(store);
}

void HeardList::Clear() {
  stations_.clear();
  next_ = 0;
  overflow_ = 0;
}

std::vector<HeardStation> HeardList::Sorted() const {
  std::vector<HeardStation> list;
  list.reserve(stations_.size());
  for (const auto& [callsign, station] : stations_) list.push_back(station);
  std::sort(list.begin(), list.end(), [](const HeardStation& a, const HeardStation& b) {
    if (a.frames != b.frames) return a.frames > b.frames;
    return a.callsign < b.callsign;
  });
  return list;
}

}  // namespace vorlink
