// The machine's clock, read only: these tests never set it. The zone comes
// from TZ here, which the tests set and restore.
#include "base/system_clock.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace vorlink {
namespace {

class ScopedZone {
 public:
  explicit ScopedZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    Set(zone);
  }
  ~ScopedZone() {
    if (old_) {
      setenv("TZ", old_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  void Set(const char* zone) { setenv("TZ", zone, 1); }

 private:
  std::optional<std::string> old_;
};

// The clock may keep what it read for the rest of a second, not longer.
void WaitForTheNextSecond() {
  const std::time_t start = std::time(nullptr);
  while (std::time(nullptr) == start) usleep(5000);
}

struct ZoneCase {
  const char* zone;
  int offsetMinutes;
};

TEST(SystemClockTest, ChangeOfZoneIsSeenWithoutRestart) {
  ScopedZone zone("UTC0");
  SystemClock clock;
  ASSERT_EQ(clock.LocalOffsetMinutes(), 0);
  for (const ZoneCase& c : {ZoneCase{"EST5", -300}, ZoneCase{"<+0530>-5:30", 330}, ZoneCase{"UTC0", 0}}) {
    zone.Set(c.zone);
    WaitForTheNextSecond();
    EXPECT_EQ(clock.LocalOffsetMinutes(), c.offsetMinutes) << c.zone;
    EXPECT_EQ(clock.Read().offsetMinutes, c.offsetMinutes) << c.zone;
  }
}

TEST(SystemClockTest, EarliestPlausibleTimeIsTheBuildDayUnlessGiven) {
  constexpr std::int64_t kSecondsPerDay = 86400;
  EXPECT_EQ(SystemClock().EarliestPlausibleTime(), BuildDay());
  EXPECT_EQ(BuildDay() % kSecondsPerDay, 0);
  EXPECT_LE(BuildDay(), std::time(nullptr));
  EXPECT_EQ(SystemClock(1234).EarliestPlausibleTime(), 1234);
}

}  // namespace
}  // namespace vorlink
