// Setting the system clock from the answer of an RFC 868 time server: four
// bytes, most significant first, counting the seconds since 1900-01-01
// 00:00:00 UTC.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "link/status_line.h"
#include "time/clock.h"

namespace vorlink {

// The answer of a time server is exactly this long.
inline constexpr std::size_t kTimeProtocolLength = 4;

// The UTC fields for a time protocol value, with day of week and milliseconds
// 0; nothing for a value whose distance from 1990-01-01 does not fit 32 bits
// signed (before 1921-12-13 20:45:52).
std::optional<SystemTimeFields> FieldsFromTimeProtocol(std::uint32_t secondsSince1900);

// Converts the received bytes and sets the clock, reporting each step in the
// status line; host names the server in the success text.
void SynchroniseClock(std::span<const std::uint8_t> received, std::string_view host,
                      Clock& clock, StatusLine& status);

}  // namespace vorlink
