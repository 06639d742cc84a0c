#include "time/system_clock.h"

#include <ctime>

#include "time/utc.h"

namespace vorlink {

void SystemClock::Refresh(std::time_t second) {
  if (second == cachedSecond_) return;
  localtime_r(&second, &cachedLocal_);
  cachedSecond_ = second;
}

DateTime SystemClock::LocalNow() { return Read().local; }

LocalReading SystemClock::Read() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  Refresh(now.tv_sec);
  DateTime t;
  t.year = cachedLocal_.tm_year + 1900;
  t.month = cachedLocal_.tm_mon + 1;
  t.day = cachedLocal_.tm_mday;
  t.hour = cachedLocal_.tm_hour;
  t.minute = cachedLocal_.tm_min;
  t.second = cachedLocal_.tm_sec;
  t.millisecond = static_cast<int>(now.tv_nsec / 1000000);
  return {t, static_cast<int>(cachedLocal_.tm_gmtoff / 60)};
}

int SystemClock::LocalOffsetMinutes() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  Refresh(now.tv_sec);
  return static_cast<int>(cachedLocal_.tm_gmtoff / 60);
}

bool SystemClock::SetSystemTime(const SystemTimeFields& utc) {
  timespec target{};
  target.tv_sec = static_cast<std::time_t>(ToEpochSeconds(FromSystemTimeFields(utc)));
  target.tv_nsec = static_cast<long>(utc.milliseconds) * 1000000L;
  cachedSecond_ = -1;
  return clock_settime(CLOCK_REALTIME, &target) == 0;
}

}  // namespace vorlink
