#include "base/utc.h"

#include <gtest/gtest.h>

#include "fake_clock.h"

namespace vorlink {
namespace {

struct UtcCase {
  const char* name;
  DateTime local;
  int offsetMinutes;
  DateTime utc;
};

void PrintTo(const UtcCase& c, std::ostream* os) { *os << c.name; }

class UtcNowTest : public ::testing::TestWithParam<UtcCase> {};

TEST_P(UtcNowTest, SubtractsTheOffsetAcrossCalendarEnds) {
  testing::FakeClock clock;
  clock.local = GetParam().local;
  clock.offsetMinutes = GetParam().offsetMinutes;
  EXPECT_EQ(UtcNow(clock), GetParam().utc);
}

INSTANTIATE_TEST_SUITE_P(
    Zones, UtcNowTest,
    ::testing::Values(
        UtcCase{"SummerInCentralEurope", {2010, 6, 1, 1, 30, 0, 0}, 120, {2010, 5, 31, 23, 30, 0, 0}},
        UtcCase{"WinterInCentralEurope", {2010, 11, 28, 15, 3, 12, 0}, 60, {2010, 11, 28, 14, 3, 12, 0}},
        UtcCase{"WestOfUtc", {2010, 12, 31, 21, 0, 0, 0}, -300, {2011, 1, 1, 2, 0, 0, 0}},
        UtcCase{"LeapDay", {2024, 3, 1, 0, 15, 0, 0}, 60, {2024, 2, 29, 23, 15, 0, 0}},
        UtcCase{"NotALeapCentury", {2100, 3, 1, 0, 0, 0, 0}, 30, {2100, 2, 28, 23, 30, 0, 0}},
        UtcCase{"UtcItself", {2026, 12, 6, 9, 58, 20, 0}, 0, {2026, 12, 6, 9, 58, 20, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UtcTimestampTest, PadsEveryFieldAndTakesMillisecondsFromTheSameReading) {
  testing::FakeClock clock;
  clock.local = {2010, 1, 2, 4, 4, 5, 6};
  clock.offsetMinutes = 60;
  const auto stamp = [&clock] {
    std::string text(kTimestampLength, ' ');
    FormatTimestamp(UtcNowPrecise(clock), text.data());
    return text;
  };
  EXPECT_EQ(stamp(), "2010-01-02 03:04:05.006");
  clock.local = {2010, 11, 28, 23, 59, 59, 999};
  clock.offsetMinutes = -60;
  EXPECT_EQ(stamp(), "2010-11-29 00:59:59.999");
}

TEST(UtcNowTest, DropsTheMilliseconds) {
  testing::FakeClock clock;
  clock.local = {2026, 12, 6, 9, 58, 20, 345};
  EXPECT_EQ(UtcNow(clock).millisecond, 0);
}

TEST(EpochSecondsTest, RoundTripsAndCountsFrom1970) {
  EXPECT_EQ(ToEpochSeconds({1970, 1, 1, 0, 0, 0, 0}), 0);
  EXPECT_EQ(ToEpochSeconds({2026, 12, 6, 10, 0, 0, 0}), 1796551200);
  EXPECT_EQ(FromEpochSeconds(-1), (DateTime{1969, 12, 31, 23, 59, 59, 0}));
  for (std::int64_t s : {0LL, 951782400LL, 4102444799LL, -2208988800LL}) {
    EXPECT_EQ(ToEpochSeconds(FromEpochSeconds(s)), s);
  }
}

}  // namespace
}  // namespace vorlink
