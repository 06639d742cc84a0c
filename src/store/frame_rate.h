// Frames per bar over the time of the held frames, for the chart beside the
// stations heard: the hour before the last arrival, or the span when the
// frames take less (one minute per bar then); a capture's chart may span all
// of it.
#pragma once

#include <cstdint>
#include <vector>

#include "store/frame_store.h"

namespace vorlink {

inline constexpr int kChartBars = 60;

struct FrameRate {
  std::vector<std::uint64_t> bars;
  std::int64_t start = kNoArrivalTime;  // UTC milliseconds
  std::int64_t barMilliseconds = 60'000;
};

FrameRate CountFrameRate(const FrameStore& store, bool wholeSpan);

}  // namespace vorlink
