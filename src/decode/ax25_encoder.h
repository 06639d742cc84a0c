// Builds an AX.25 frame to send: the bytes from the destination address to
// the end of the information field (no flags, no FCS, no KISS framing).
//
// Layout (offsets from the first byte):
//   0..6     destination: 6 callsign characters shifted left one bit (blank
//            padded), then the SSID byte
//   7..13    source, the same way
//   14..     0 to 8 digipeaters of 7 bytes each
//   next     control: 1 byte, or 2 (low byte first) for modulo-128 I and S
//   next     PID, when the frame has one (I and UI)
//   rest     information
// SSID byte: C R R S S S S E. C is the command/response bit in the
// destination and source (the H bit, has-been-repeated, in a digipeater);
// R R are reserved and sent as 1; E is set on the last address only.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "decode/ax25_address.h"

namespace vorlink {

inline constexpr std::size_t kMaxEncodedDigipeaters = 8;

// The C bits: a v2 command sets the destination's, a v2 response the
// source's; stations before v2 set neither.
enum class Ax25CommandResponse { Command, Response, Legacy };

struct Ax25FrameFields {
  Ax25Address destination;
  Ax25Address source;
  std::vector<Ax25Address> digipeaters;  // 0..8, in path order
  Ax25CommandResponse commandResponse = Ax25CommandResponse::Command;
  // Sent low byte first; the high byte only when twoByteControl.
  std::uint16_t control = 0x03;
  bool twoByteControl = false;
  std::optional<std::uint8_t> pid;
  std::span<const std::uint8_t> info;
};

// The frame's bytes; nothing when an address is not valid (see
// IsValidAddress) or more than 8 digipeaters are given.
std::optional<std::vector<std::uint8_t>> EncodeAx25Frame(const Ax25FrameFields& fields);

// The encoded frame as a KISS data frame for port 0, escaped, both FENDs.
std::vector<std::uint8_t> WrapInKiss(std::span<const std::uint8_t> frame);

}  // namespace vorlink
