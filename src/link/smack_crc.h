// The checksum of SMACK frames: a KISS data frame whose command byte has bit 7
// set carries, after its data, a CRC-16 over the command byte and the data
// (both unescaped), low byte first:
//
//   command (bit 7 set) | data ... | CRC low | CRC high
//
// The CRC is the one also known as CRC-16/ARC: polynomial 0x8005 taken
// bit-reversed (0xA001), initial value 0, no final XOR. Run over a whole
// frame with its CRC it leaves 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vorlink {

inline constexpr std::uint8_t kSmackFlag = 0x80;
inline constexpr std::size_t kSmackCrcLength = 2;

std::uint16_t SmackCrc(std::span<const std::uint8_t> bytes);

// True when an unescaped SMACK frame (command byte, data, CRC) checks out.
bool SmackCrcGood(std::span<const std::uint8_t> frame);

}  // namespace vorlink
