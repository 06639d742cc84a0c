// Setting the system clock from the answer of an RFC 868 time server: four
// bytes, most significant first, counting the seconds since 1900-01-01
// 00:00:00 UTC. The count wraps in 2036; as NTP reads it, a value with its
// top bit clear lies in the era that begins at 2036-02-07 06:28:16 UTC, so
// the values cover 1968-01-20 03:14:08 to 2104-02-26 09:42:23.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string_view>

#include "base/status_line.h"
#include "base/clock.h"

namespace vorlink {

// The answer of a time server is exactly this long.
inline constexpr std::size_t kTimeProtocolLength = 4;

// Shown for any answer that is not believed; the clock is left alone.
inline constexpr std::string_view kTimeNotValid = "Time passed not valid. Clock not synchronised";

// Seconds since 1970-01-01 00:00:00 UTC for a time protocol value.
std::int64_t UnixTimeFromTimeProtocol(std::uint32_t secondsSince1900);

// The UTC fields for a time protocol value that arrived age ago (day of week
// 0; milliseconds from the age, since the value itself has whole seconds).
SystemTimeFields FieldsFromTimeProtocol(std::uint32_t secondsSince1900,
                                        std::chrono::milliseconds age = {});

// Checks the received bytes and sets the clock from them, reporting each step
// in the status line; host names the server in the success text. arrivedAt
// is the monotonic time at which the fourth byte came: the time taken since
// is added, so a server holding the connection does not leave the clock slow.
void SynchroniseClock(std::span<const std::uint8_t> received,
                      std::chrono::steady_clock::time_point arrivedAt, std::string_view host,
                      Clock& clock, StatusLine& status);

}  // namespace vorlink
