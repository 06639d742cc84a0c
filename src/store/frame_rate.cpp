#include "store/frame_rate.h"

#include <algorithm>

namespace vorlink {
namespace {

constexpr std::int64_t kMinute = 60'000;
constexpr std::int64_t kHour = 60 * kMinute;

}  // namespace

FrameRate CountFrameRate(const FrameStore& store, bool wholeSpan) {
  FrameRate rate;
  // The hour before the newest frame. Times need not rise: the clock may be
  // set back while frames arrive, so the chart spans the earliest to the latest.
  std::int64_t newest = kNoArrivalTime;
  std::int64_t first = 0;
  std::int64_t last = 0;
  FrameIndex from = store.FirstIndex();
  for (FrameIndex i = store.EndIndex(); i > store.FirstIndex(); --i) {
    const StoredFrame frame = store.Frame(i - 1);
    const std::int64_t at = frame.arrival;
    if (at == kNoArrivalTime || frame.sent) continue;
    if (newest == kNoArrivalTime) newest = first = last = at;
    if (!wholeSpan && at < newest - kHour) {
      from = i;
      break;
    }
    first = std::min(first, at);
    last = std::max(last, at);
  }
  if (newest == kNoArrivalTime) return rate;
  const std::int64_t span = last - first;
  rate.barMilliseconds = std::max(kMinute, (span + kChartBars - 1) / kChartBars);
  rate.barMilliseconds = (rate.barMilliseconds + kMinute - 1) / kMinute * kMinute;
  const auto bars =
      static_cast<std::size_t>(std::min<std::int64_t>(kChartBars, span / rate.barMilliseconds + 1));
  rate.start = first;
  rate.bars.assign(bars, 0);
  for (FrameIndex i = from; i < store.EndIndex(); ++i) {
    const StoredFrame frame = store.Frame(i);
    const std::int64_t at = frame.arrival;
    if (at == kNoArrivalTime || frame.sent) continue;
    const auto bar = static_cast<std::size_t>((at - rate.start) / rate.barMilliseconds);
    ++rate.bars[std::min(bar, bars - 1)];
  }
  return rate;
}

}  // namespace vorlink
