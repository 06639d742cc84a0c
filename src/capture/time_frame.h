// Time frames: a KISS frame with command byte 9 written to the raw capture
// ahead of each received frame, carrying its reception time.
//
//   offset 0      FEND
//   offset 1      0x09
//   offset 2..    h header bytes copied from the received frame, from its
//                 offset 2 up to its first 0xF0 or its closing FEND
//   offset 2+h    0xF0
//   offset 3+h    "asy: yyyy-MM-dd HH:nn:ss.mmm UTC" (32 bytes)
//   offset 35+h   FEND
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "base/clock.h"

#include "link/kiss.h"

namespace vorlink {

inline constexpr std::uint8_t kTimeFramePid = 0xF0;
inline constexpr std::size_t kTimeFrameOverhead = 36;  // all but the h header bytes

// The UTC time a time frame carries (both FENDs included); none when the
// frame is not a time frame of the layout above or its stamp is no time.
std::optional<DateTime> ReadTimeFrame(std::span<const std::uint8_t> frame);

class TimeFrameBuilder {
 public:
  // Builds the time frame for a received frame (both FENDs included, at
  // least 3 bytes) and a 23-character UTC timestamp. The view stays valid
  // until the next call.
  std::span<const std::uint8_t> Build(std::span<const std::uint8_t> frame,
                                      std::string_view timestamp);

 private:
  std::array<std::uint8_t, kFrameBufferCapacity + kTimeFrameOverhead> buffer_{};
};

}  // namespace vorlink
