#include "base/system_clock.h"

#include <sys/timex.h>

#include <ctime>

#include "base/utc.h"

namespace vorlink {
namespace {

int OffsetMinutes(const std::tm& local) { return static_cast<int>(local.tm_gmtoff / 60); }

}  // namespace

const std::tm& SystemClock::LocalTimeNow(timespec& now) {
  clock_gettime(CLOCK_REALTIME, &now);
  if (now.tv_sec != cachedSecond_) {
    // localtime_r alone keeps the zone it first loaded; tzset() notices a
    // changed TZ or zone file. It asks the file system each time, too dear
    // for every reading of a busy second, so: once a second, and never less.
    tzset();
    localtime_r(&now.tv_sec, &cachedLocal_);
    cachedSecond_ = now.tv_sec;
  }
  return cachedLocal_;
}

DateTime SystemClock::LocalNow() { return Read().local; }

LocalReading SystemClock::Read() {
  timespec now{};
  const std::tm& local = LocalTimeNow(now);
  DateTime t;
  t.year = local.tm_year + 1900;
  t.month = local.tm_mon + 1;
  t.day = local.tm_mday;
  t.hour = local.tm_hour;
  t.minute = local.tm_min;
  t.second = local.tm_sec;
  t.millisecond = static_cast<int>(now.tv_nsec / 1000000);
  return {t, OffsetMinutes(local)};
}

int SystemClock::LocalOffsetMinutes() {
  timespec now{};
  return OffsetMinutes(LocalTimeNow(now));
}

bool SystemClock::SetSystemTime(const SystemTimeFields& utc) {
  timespec target{};
  target.tv_sec = static_cast<std::time_t>(ToEpochSeconds(FromSystemTimeFields(utc)));
  target.tv_nsec = static_cast<long>(utc.milliseconds) * 1000000L;
  cachedSecond_ = -1;
  return clock_settime(CLOCK_REALTIME, &target) == 0;
}

std::chrono::steady_clock::time_point SystemClock::MonotonicNow() {
  return std::chrono::steady_clock::now();
}

bool SystemClock::SynchronisedBySystem() {
  // Modes 0 reads the kernel's state and changes nothing.
  timex state{};
  state.modes = 0;
  const int clockState = ntp_adjtime(&state);
  return clockState != -1 && clockState != TIME_ERROR && (state.status & STA_UNSYNC) == 0;
}

}  // namespace vorlink
