// The chart's axes: UTC times on whole steps that fit the labels allowed,
// and a count scale of 1, 2 or 5 times a power of ten reaching the tallest bar.
#include "store/rate_axes.h"

#include <gtest/gtest.h>

namespace vorlink {
namespace {

constexpr std::int64_t kMinute = 60'000;
const std::int64_t kNoon = ToEpochMilliseconds(DateTime{2026, 12, 6, 12, 0, 0, 0});

std::vector<std::string> Labels(const std::vector<AxisTick>& ticks) {
  std::vector<std::string> labels;
  for (const AxisTick& t : ticks) labels.push_back(t.label);
  return labels;
}

struct TimeCase {
  const char* name;
  std::int64_t start;
  std::int64_t barMilliseconds;
  int mostLabels;
  std::vector<std::string> labels;
};

void PrintTo(const TimeCase& c, std::ostream* os) { *os << c.name; }

class TimeAxisTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(TimeAxisTest, LabelsWholeStepsOfUtc) {
  const TimeCase& c = GetParam();
  const FrameRate rate{std::vector<std::uint64_t>(3, 1), c.start, c.barMilliseconds};
  const RateAxes axes = ChartAxes(rate, c.mostLabels, 5);
  EXPECT_EQ(Labels(axes.time), c.labels);
  ASSERT_FALSE(axes.time.empty());
  EXPECT_GE(axes.time.front().at, 0.0);
  EXPECT_LE(axes.time.back().at, 1.0);
  EXPECT_LE(static_cast<int>(axes.time.size()), c.mostLabels);
}

INSTANTIATE_TEST_SUITE_P(
    Spans, TimeAxisTest,
    ::testing::Values(
        TimeCase{"HourByQuarters", kNoon + 3 * kMinute, kMinute, 5, {"12:15", "12:30", "12:45", "13:00"}},
        TimeCase{"HourByTens", kNoon, kMinute, 7, {"12:00", "12:10", "12:20", "12:30", "12:40", "12:50", "13:00"}},
        TimeCase{"TwoLabelsOnly", kNoon + kMinute, kMinute, 2, {"13:00"}},
        TimeCase{"FiveHours", kNoon, 5 * kMinute, 6, {"12:00", "13:00", "14:00", "15:00", "16:00", "17:00"}},
        TimeCase{"Weeks", kNoon, 24 * 60 * kMinute, 10,
                 {"12-10", "12-17", "12-24", "12-31", "01-07", "01-14", "01-21", "01-28", "02-04"}},
        TimeCase{"BeforeTheEpoch", -30 * kMinute, kMinute, 3, {"23:30", "00:00", "00:30"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct CountCase {
  const char* name;
  std::uint64_t tallest;
  int mostLabels;
  std::uint64_t top;
  std::vector<std::string> labels;
};

void PrintTo(const CountCase& c, std::ostream* os) { *os << c.name; }

class CountAxisTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountAxisTest, StepsUpToTheTallestBar) {
  const CountCase& c = GetParam();
  const FrameRate rate{{0, c.tallest, 1}, kNoon, kMinute};
  const RateAxes axes = ChartAxes(rate, 4, c.mostLabels);
  EXPECT_EQ(axes.top, c.top);
  EXPECT_EQ(Labels(axes.count), c.labels);
  EXPECT_EQ(axes.count.front().at, 0.0);
  EXPECT_EQ(axes.count.back().at, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, CountAxisTest,
    ::testing::Values(CountCase{"NoFrames", 0, 5, 1, {"0", "1"}},
                      CountCase{"Three", 3, 5, 3, {"0", "1", "2", "3"}},
                      CountCase{"Seven", 7, 5, 8, {"0", "2", "4", "6", "8"}},
                      CountCase{"FortyTwo", 42, 4, 60, {"0", "20", "40", "60"}},
                      CountCase{"Thousands", 4321, 6, 5000, {"0", "1000", "2000", "3000", "4000", "5000"}},
                      CountCase{"OneLabelAllowed", 9, 1, 10, {"0", "10"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RateAxesTest, NoBarsNoTicks) {
  const RateAxes axes = ChartAxes(FrameRate{}, 6, 5);
  EXPECT_TRUE(axes.time.empty());
  EXPECT_TRUE(axes.count.empty());
}

}  // namespace
}  // namespace vorlink
