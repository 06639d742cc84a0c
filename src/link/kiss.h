// KISS special bytes and the receive buffer's capacity.
//
// A KISS frame on the wire: FEND, command byte, data with FEND and FESC
// escaped (FESC TFEND for a data 0xC0, FESC TFESC for a data 0xDB), FEND.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorlink {

inline constexpr std::uint8_t kFend = 0xC0;
inline constexpr std::uint8_t kFesc = 0xDB;
inline constexpr std::uint8_t kTfend = 0xDC;
inline constexpr std::uint8_t kTfesc = 0xDD;

// The KISS "return" command: FEND, command 0xFF, FEND.
inline constexpr std::uint8_t kReturnCommand[] = {kFend, 0xFF, kFend};

// Capacity of FrameBuffer, as received (FENDs and escapes counted). A legal
// AX.25 frame with a 256-byte information field, fully escaped, fits.
inline constexpr std::size_t kFrameBufferCapacity = 1100;

// KISS command bytes that name a protocol.
inline constexpr std::uint8_t kCommandData = 0x00;
inline constexpr std::uint8_t kCommandSmack = 0x80;
inline constexpr std::uint8_t kCommandTime = 0x09;

}  // namespace vorlink
