// UTC from the local clock: the helpers every timestamp of the program goes
// through, plus the calendar arithmetic they need.
#pragma once

#include <cstdint>
#include <string>

#include "base/clock.h"

namespace vorlink {

// Length of a timestamp text: "yyyy-MM-dd HH:nn:ss.mmm".
inline constexpr std::size_t kTimestampLength = 23;

// The current UTC date-time, whole seconds (millisecond is 0).
DateTime UtcNow(Clock& clock);

// The current UTC date-time with milliseconds, all from one clock reading.
DateTime UtcNowPrecise(Clock& clock);

// Writes the 23 characters of a timestamp for t to out (no allocation).
void FormatTimestamp(const DateTime& t, char* out);

// Seconds since 1970-01-01 00:00:00 of the same zone; ignores milliseconds.
std::int64_t ToEpochSeconds(const DateTime& t);

// The date-time that many seconds after 1970-01-01 00:00:00 (millisecond 0).
DateTime FromEpochSeconds(std::int64_t seconds);

// The clock-setting fields of a UTC date-time (day of week and milliseconds 0), and back.
SystemTimeFields ToSystemTimeFields(const DateTime& utc);
DateTime FromSystemTimeFields(const SystemTimeFields& fields);

// t plus the given number of minutes, across day, month and year ends.
DateTime AddMinutes(const DateTime& t, int minutes);

}  // namespace vorlink
