// A KISS frame as sent to a TNC: FEND, the command byte, the data with every
// FEND and FESC escaped (FESC TFEND, FESC TFESC), FEND. The inverse of
// UnescapeFrame in kiss_unescape.h.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vorlink {

// Appends the whole frame to out; out may already hold earlier frames.
void AppendKissFrame(std::vector<std::uint8_t>& out, std::uint8_t command,
                     std::span<const std::uint8_t> data);

}  // namespace vorlink
