#include "time/clock_sync.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_clock.h"
#include "fake_status_line.h"
#include "hex.h"

namespace vorlink {
namespace {

using testing::Hex;
using Texts = std::vector<std::string>;

SystemTimeFields Utc(int year, int month, int day, int hour, int minute, int second) {
  return {year, month, 0, day, hour, minute, second, 0};
}

struct ConversionCase {
  const char* name;
  std::uint32_t value;
  SystemTimeFields fields;
};

class TimeProtocolConversionTest : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(TimeProtocolConversionTest, GivesUtcFields) {
  const auto fields = FieldsFromTimeProtocol(GetParam().value);
  ASSERT_TRUE(fields.has_value());
  EXPECT_EQ(*fields, GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Values, TimeProtocolConversionTest,
    ::testing::Values(ConversionCase{"TenOClock", 0xEEBFB0A0, Utc(2026, 12, 6, 10, 0, 0)},
                      ConversionCase{"EightSecondsBefore", 0xEEBFB020, Utc(2026, 12, 6, 9, 57, 52)},
                      ConversionCase{"Base1990", 2840140800u, Utc(1990, 1, 1, 0, 0, 0)},
                      ConversionCase{"LeapDay", 3791923200u, Utc(2020, 2, 29, 0, 0, 0)},
                      ConversionCase{"Earliest", 692657152u, Utc(1921, 12, 13, 20, 45, 52)},
                      ConversionCase{"Latest", 0xFFFFFFFF, Utc(2036, 2, 7, 6, 28, 15)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TimeProtocolConversionTest, TooEarlyIsNotConverted) {
  EXPECT_FALSE(FieldsFromTimeProtocol(692657151u).has_value());
  EXPECT_FALSE(FieldsFromTimeProtocol(0).has_value());
}

class SynchroniseClockTest : public ::testing::Test {
 protected:
  void Synchronise(const char* hex) { SynchroniseClock(Hex(hex), "time.example", clock, status); }

  testing::FakeClock clock;
  testing::FakeStatusLine status;
};

TEST_F(SynchroniseClockTest, SetsTheClockAndNamesTheServer) {
  Synchronise("EE BF B0 A0");
  EXPECT_EQ(clock.setCalls, (std::vector{Utc(2026, 12, 6, 10, 0, 0)}));
  EXPECT_EQ(status.texts, (Texts{"   beginning system clock synchronization",
                                 "clock synchronised succesfully with NTP server time.example"}));
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
    EXPECT_EQ(status.texts, (Texts{"Time passed not valid. Clock not synchronised"})) << hex;
  }
  EXPECT_TRUE(clock.setCalls.empty());
}

TEST_F(SynchroniseClockTest, TooEarlyEndsSilently) {
  Synchronise("00 00 00 01");
  EXPECT_TRUE(status.texts.empty());
  EXPECT_TRUE(clock.setCalls.empty());
}

}  // namespace
}  // namespace vorlink
