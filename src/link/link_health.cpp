#include "link/link_health.h"

#include "link/kiss.h"
#include "link/kiss_unescape.h"
#include "link/smack_crc.h"

namespace vorlink {
namespace {

constexpr std::size_t kEmptyFrameLength = 2;
constexpr std::uint8_t kLowNibble = 0x0F;
constexpr int kPortShift = 4;
// The KISS return command: bit 7 set, but no SMACK frame.
constexpr std::uint8_t kCommandReturn = 0xFF;

void CountFrame(LinkHealth& health, std::span<const std::uint8_t> frame) {
  health.badEscapes += CountBadEscapes(frame);
  // Only a SMACK frame, or one whose command byte is escaped, needs its copy.
  UnescapedFrame buffer;
  std::span<const std::uint8_t> unescaped;
  std::uint8_t command = frame[1];
  if (command == kFesc) {
    unescaped = UnescapeFrame(frame, buffer);
    if (unescaped.empty()) return;
    command = unescaped[0];
  }
  const bool smack = (command & kSmackFlag) != 0 && command != kCommandReturn;
  ++health.byCommand[command & kLowNibble];
  ++health.byPort[(smack ? command & ~kSmackFlag : command) >> kPortShift];
  if (!smack) return;
  if (unescaped.empty()) unescaped = UnescapeFrame(frame, buffer);
  if (SmackCrcGood(unescaped)) {
    ++health.smackGood;
  } else {
    ++health.smackBad;
  }
}

}  // namespace

void CountUnit(LinkHealth& health, std::span<const std::uint8_t> unit) {
  switch (unit.size()) {
    case 0:
      ++health.oversize;
      return;
    case 1:
      ++health.strays;
      return;
    case kEmptyFrameLength:
      ++health.emptyFrames;
      return;
    default:
      CountFrame(health, unit);
  }
}

}  // namespace vorlink
