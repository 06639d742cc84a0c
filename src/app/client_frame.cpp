#include "app/client_frame.h"

#include <algorithm>

#include "link/kiss.h"
#include "link/kiss_unescape.h"

namespace vorlink {
namespace {
constexpr std::uint8_t kCommandCodeMask = 0x0F;
// FEND, command byte, closing FEND.
constexpr std::size_t kFrameOverhead = 3;
}  // namespace

ClientFrameVerdict JudgeClientFrame(std::span<const std::uint8_t> frame) {
  // Parameter commands would retune the TNC under everyone's feet.
  if (frame.size() < kFrameOverhead || (frame[1] & kCommandCodeMask) != kCommandData) {
    return ClientFrameVerdict::kNotData;
  }
  if (CountBadEscapes(frame) != 0) return ClientFrameVerdict::kMalformed;
  // Without bad escapes every FESC and the byte after it stand for one byte.
  const auto escapes = static_cast<std::size_t>(std::count(frame.begin(), frame.end(), kFesc));
  const std::size_t unescaped = frame.size() - kFrameOverhead - escapes;
  return unescaped < kShortestAx25Header ? ClientFrameVerdict::kMalformed
                                         : ClientFrameVerdict::kData;
}

}  // namespace vorlink
