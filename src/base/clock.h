// The platform's clock as the core sees it: local time with milliseconds,
// the offset of local time from UTC for the period in force, a monotonic
// reading for intervals, whether the system keeps the clock itself, the
// earliest time it can rightly show, and setting the system clock from UTC.
// Real and fake implementations stand behind it.
#pragma once

#include <chrono>
#include <cstdint>

namespace vorlink {

// A calendar date and time of day; which zone it is in depends on who made it.
struct DateTime {
  int year = 0;
  int month = 0;   // 1..12
  int day = 0;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;
  int second = 0;
  int millisecond = 0;  // 0..999; 0 where only whole seconds matter

  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// The eight 16-bit fields handed to the system clock, all UTC.
struct SystemTimeFields {
  int year = 0;
  int month = 0;
  int dayOfWeek = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int milliseconds = 0;

  friend bool operator==(const SystemTimeFields&, const SystemTimeFields&) = default;
};

// Local time and its offset from UTC, taken together.
struct LocalReading {
  DateTime local;
  int offsetMinutes = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // The local date-time of the system clock, milliseconds from the same reading.
  virtual DateTime LocalNow() = 0;
  // Local time minus UTC, in minutes, for the period in force now.
  virtual int LocalOffsetMinutes() = 0;
  // Sets the system clock; false when the system refused.
  virtual bool SetSystemTime(const SystemTimeFields& utc) = 0;
  // A clock that never jumps, for measuring intervals; its origin means nothing.
  virtual std::chrono::steady_clock::time_point MonotonicNow() = 0;
  // True when the system disciplines the clock itself (NTP and the like), so
  // setting it from a whole second would only make it worse.
  virtual bool SynchronisedBySystem() = 0;
  // Seconds since 1970-01-01 00:00:00 UTC before which the clock cannot
  // rightly be: a time server naming an earlier time is not believed.
  virtual std::int64_t EarliestPlausibleTime() = 0;
  // Both at once; a clock that can read them in one go says so here.
  virtual LocalReading Read() { return {LocalNow(), LocalOffsetMinutes()}; }
};

}  // namespace vorlink
