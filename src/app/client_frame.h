// Whether a frame a KISS client sent (both FENDs included, escapes in place)
// may go to the TNC: only data frames, and of those only ones a TNC can put
// on the air as they are. A FESC followed by anything but TFEND or TFESC
// would be read differently by different TNCs, and fewer than 15 bytes after
// the command byte cannot hold the two addresses and the control field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vorlink {

// Destination, source (7 bytes each) and control.
inline constexpr std::size_t kShortestAx25Header = 15;

enum class ClientFrameVerdict {
  kData,       // goes to the TNC
  kNotData,    // a parameter or other command, or no frame at all: ignored
  kMalformed,  // a data frame refused: a bad escape, or too short
};

ClientFrameVerdict JudgeClientFrame(std::span<const std::uint8_t> frame);

}  // namespace vorlink
