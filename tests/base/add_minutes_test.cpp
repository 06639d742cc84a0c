// AddMinutes moves the time of day directly while the date stays; the result
// must be what the calendar arithmetic gives, for every case.
#include <gtest/gtest.h>

#include "base/utc.h"

namespace vorlink {
namespace {

DateTime ByCalendar(const DateTime& t, int minutes) {
  DateTime out = FromEpochSeconds(ToEpochSeconds(t) + std::int64_t{minutes} * 60);
  out.millisecond = t.millisecond;
  return out;
}

TEST(AddMinutesTest, AgreesWithTheCalendarAcrossDayMonthAndYearEnds) {
  const DateTime dates[] = {
      {2026, 12, 6, 9, 58, 20, 345}, {2026, 12, 31, 23, 59, 59, 999}, {2027, 1, 1, 0, 0, 0, 0},
      {2024, 2, 28, 22, 30, 0, 1},   {2024, 2, 29, 1, 15, 30, 500},   {2023, 2, 28, 23, 45, 0, 0},
      {2026, 3, 28, 0, 0, 59, 7},    {2026, 6, 30, 12, 0, 0, 0},      {2026, 1, 1, 0, 29, 0, 0}};
  for (const DateTime& t : dates) {
    for (int minutes = -3 * 1440; minutes <= 3 * 1440; minutes += 13) {
      ASSERT_EQ(AddMinutes(t, minutes), ByCalendar(t, minutes))
          << t.year << "-" << t.month << "-" << t.day << " " << t.hour << ":" << t.minute
          << " plus " << minutes;
    }
  }
}

TEST(AddMinutesTest, ZoneOffsetsWithinTheDayMoveOnlyTheTime) {
  EXPECT_EQ(AddMinutes({2026, 12, 6, 9, 58, 20, 345}, -60), (DateTime{2026, 12, 6, 8, 58, 20, 345}));
  EXPECT_EQ(AddMinutes({2026, 12, 6, 9, 58, 20, 345}, 330), (DateTime{2026, 12, 6, 15, 28, 20, 345}));
  EXPECT_EQ(AddMinutes({2026, 12, 6, 0, 0, 0, 0}, 0), (DateTime{2026, 12, 6, 0, 0, 0, 0}));
}

TEST(AddMinutesTest, FieldsOutOfRangeAreNormalisedAsBefore) {
  const DateTime odd{2026, 2, 30, 10, 0, 75, 0};
  EXPECT_EQ(AddMinutes(odd, 5), ByCalendar(odd, 5));
}

}  // namespace
}  // namespace vorlink
