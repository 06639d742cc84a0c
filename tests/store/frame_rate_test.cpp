// The chart's frames per bar: the hour before the newest frame, or a
// capture's whole span, with arrival times that may go back.
#include "store/frame_rate.h"

#include <gtest/gtest.h>

namespace vorlink {
namespace {

TEST(FrameRateTest, CountsFramesPerMinuteOverTheLastHour) {
  FrameStore store;
  const std::uint8_t bytes[] = {0x00, 0x82, 0x84, 0x86};
  const std::int64_t hour = 3'600'000;
  // One frame two hours back (left out), one just within the hour, three in its last minute.
  for (const std::int64_t at : {std::int64_t{0}, hour + 1, 2 * hour - 1000, 2 * hour - 500, 2 * hour}) {
    store.Append(bytes, at, DisplayOptions{}, {}, 1);
  }
  const FrameRate rate = CountFrameRate(store, false);
  ASSERT_EQ(rate.bars.size(), static_cast<std::size_t>(kChartBars));
  EXPECT_EQ(rate.start, hour + 1);
  EXPECT_EQ(rate.barMilliseconds, 60'000);
  EXPECT_EQ(rate.bars.back(), 3u);
  EXPECT_EQ(rate.bars.front(), 1u);
  const FrameRate whole = CountFrameRate(store, true);
  EXPECT_EQ(whole.barMilliseconds, 120'000);
  std::uint64_t all = 0;
  for (auto n : whole.bars) all += n;
  EXPECT_EQ(all, 5u);
}

TEST(FrameRateTest, ArrivalTimesThatGoBackAreCountedAll) {
  // The clock set back ten minutes, then three minutes, while frames arrived.
  const std::uint8_t bytes[] = {0x00, 0x82, 0x84, 0x86};
  const std::int64_t minute = 60'000;
  for (const bool wholeSpan : {false, true}) {
    FrameStore store;
    for (const std::int64_t at : {30 * minute, 31 * minute, 21 * minute, 22 * minute, 19 * minute}) {
      store.Append(bytes, at, DisplayOptions{}, {}, 1);
    }
    const FrameRate rate = CountFrameRate(store, wholeSpan);
    EXPECT_EQ(rate.start, 19 * minute);
    EXPECT_EQ(rate.barMilliseconds, minute);
    ASSERT_EQ(rate.bars.size(), 13u);
    EXPECT_EQ(rate.bars.front(), 1u);
    EXPECT_EQ(rate.bars.back(), 1u);
    std::uint64_t all = 0;
    for (auto n : rate.bars) all += n;
    EXPECT_EQ(all, 5u);
  }
}

}  // namespace
}  // namespace vorlink
