#include "time/clock_sync.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "fake_clock.h"
#include "fake_status_line.h"
#include "hex.h"

namespace vorlink {
namespace {

using namespace std::chrono_literals;
using testing::Hex;
using Texts = std::vector<std::string>;

SystemTimeFields Utc(int year, int month, int day, int hour, int minute, int second,
                     int milliseconds = 0) {
  return {year, month, 0, day, hour, minute, second, milliseconds};
}

// 2026-12-07 00:00:00 UTC, a build day for the floor cases.
constexpr std::int64_t kBuildDay = 1796601600;

struct ConversionCase {
  const char* name;
  std::uint32_t value;
  std::chrono::milliseconds age;
  SystemTimeFields fields;
};

class TimeProtocolConversionTest : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(TimeProtocolConversionTest, GivesUtcFields) {
  EXPECT_EQ(FieldsFromTimeProtocol(GetParam().value, GetParam().age), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Values, TimeProtocolConversionTest,
    ::testing::Values(
        ConversionCase{"TenOClock", 0xEEBFB0A0, 0ms, Utc(2026, 12, 6, 10, 0, 0)},
        ConversionCase{"EightSecondsBefore", 0xEEBFB020, 0ms, Utc(2026, 12, 6, 9, 57, 52)},
        ConversionCase{"Base1990", 2840140800u, 0ms, Utc(1990, 1, 1, 0, 0, 0)},
        ConversionCase{"LeapDay", 3791923200u, 0ms, Utc(2020, 2, 29, 0, 0, 0)},
        ConversionCase{"FirstOfTheFirstEraWeRead", 0x80000000, 0ms, Utc(1968, 1, 20, 3, 14, 8)},
        ConversionCase{"LastOfTheFirstEra", 0xFFFFFFFF, 0ms, Utc(2036, 2, 7, 6, 28, 15)},
        ConversionCase{"FirstOfTheNextEra", 0x00000000, 0ms, Utc(2036, 2, 7, 6, 28, 16)},
        ConversionCase{"LeapDayOfTheNextEra", 0x07A2C580, 0ms, Utc(2040, 2, 29, 0, 0, 0)},
        ConversionCase{"TopBitClearIsNoLongerBefore1922", 692657152u, 0ms,
                       Utc(2058, 1, 19, 3, 14, 8)},
        ConversionCase{"LastOfTheNextEra", 0x7FFFFFFF, 0ms, Utc(2104, 2, 26, 9, 42, 23)},
        ConversionCase{"HeldFor25Seconds", 0xEEBFB0A0, 25s, Utc(2026, 12, 6, 10, 0, 25)},
        ConversionCase{"AgeWithMilliseconds", 0xEEBFB0A0, 1500ms, Utc(2026, 12, 6, 10, 0, 1, 500)},
        ConversionCase{"AgeAcrossTheEraEnd", 0xFFFFFFFF, 1001ms, Utc(2036, 2, 7, 6, 28, 16, 1)},
        ConversionCase{"AgeAcrossTheYearEnd", 0xEEE16AFF, 2s, Utc(2027, 1, 1, 0, 0, 1)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TimeProtocolConversionTest, UnixTimeCountsFrom1970InBothEras) {
  EXPECT_EQ(UnixTimeFromTimeProtocol(2208988800u), 0);
  EXPECT_EQ(UnixTimeFromTimeProtocol(0xFFFFFFFF), 2085978495);
  EXPECT_EQ(UnixTimeFromTimeProtocol(0x00000000), 2085978496);
}

class SynchroniseClockTest : public ::testing::Test {
 protected:
  void Synchronise(const char* hex) {
    SynchroniseClock(Hex(hex), arrivedAt, "time.example", clock, status);
  }

  testing::FakeClock clock;
  testing::FakeStatusLine status;
  std::chrono::steady_clock::time_point arrivedAt{};
};

const Texts kSucceeded{"   beginning system clock synchronization",
                       "clock synchronised succesfully with NTP server time.example"};
const Texts kNotValid{"Time passed not valid. Clock not synchronised"};

TEST_F(SynchroniseClockTest, SetsTheClockAndNamesTheServer) {
  Synchronise("EE BF B0 A0");
  EXPECT_EQ(clock.setCalls, (std::vector{Utc(2026, 12, 6, 10, 0, 0)}));
  EXPECT_EQ(status.texts, kSucceeded);
}

TEST_F(SynchroniseClockTest, RefusedClockChangeIsReported) {
  clock.setSucceeds = false;
  Synchronise("EE BF B0 20");
  EXPECT_EQ(clock.setCalls, (std::vector{Utc(2026, 12, 6, 9, 57, 52)}));
  EXPECT_EQ(status.texts, (Texts{"   beginning system clock synchronization",
                                 "SetSystemTime failed. Clock not synchronised"}));
}

TEST_F(SynchroniseClockTest, AnyOtherLengthIsNotValid) {
  for (const char* hex : {"", "EE", "EE BF B0", "EE BF B0 A0 00", "00 EE BF B0 A0"}) {
    status.texts.clear();
    Synchronise(hex);
    EXPECT_EQ(status.texts, kNotValid) << hex;
  }
  EXPECT_TRUE(clock.setCalls.empty());
}

TEST_F(SynchroniseClockTest, AddsTheTimeSinceTheFourthByteArrived) {
  arrivedAt += 3s;
  clock.monotonic = arrivedAt + 25s + 250ms;
  Synchronise("EE BF B0 A0");
  EXPECT_EQ(clock.setCalls, (std::vector{Utc(2026, 12, 6, 10, 0, 25, 250)}));
}

struct FloorCase {
  const char* name;
  const char* answer;
  bool believed;
};

class BuildDayFloorTest : public SynchroniseClockTest,
                          public ::testing::WithParamInterface<FloorCase> {};

TEST_P(BuildDayFloorTest, TimesBeforeTheBuildDayAreNotBelieved) {
  clock.earliestPlausibleTime = kBuildDay;
  Synchronise(GetParam().answer);
  EXPECT_EQ(status.texts, GetParam().believed ? kSucceeded : kNotValid);
  EXPECT_EQ(clock.setCalls.size(), GetParam().believed ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, BuildDayFloorTest,
    ::testing::Values(FloorCase{"TheDayBefore", "EE BF B0 A0", false},
                      FloorCase{"OneSecondBefore", "EE C0 75 7F", false},
                      FloorCase{"MidnightOfTheBuildDay", "EE C0 75 80", true},
                      FloorCase{"After2036", "00 00 00 01", true},
                      FloorCase{"Before1970", "80 00 00 00", false},
                      FloorCase{"AllZeroIsTheNextEra", "00 00 00 00", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SynchroniseClockTest, ClockKeptByTheSystemIsLeftAlone) {
  clock.synchronisedBySystem = true;
  Synchronise("EE BF B0 A0");
  EXPECT_EQ(status.texts, (Texts{"clock synchronised by the system, not changed"}));
  EXPECT_TRUE(clock.setCalls.empty());
  // A bad answer is still called so.
  status.texts.clear();
  Synchronise("EE BF B0");
  EXPECT_EQ(status.texts, kNotValid);
}

}  // namespace
}  // namespace vorlink
