// A connected-mode frame as the data link sees it: its kind, the
// command/response sense, P/F, N(R), N(S), PID and information, and the
// way between that and the bytes on the air.
//
// Control field, modulo 8 (one byte, bit 7 first):
//   I  N(R) N(R) N(R) P  N(S) N(S) N(S) 0
//   S  N(R) N(R) N(R) PF S    S    0    1   (SS: 00 RR, 01 RNR, 10 REJ, 11 SREJ)
//   U  M    M    M    PF M    M    1    1
// Modulo 128, I and S only (two bytes, the first sent first):
//   I  first N(S)<<1 | 0,       second N(R)<<1 | P
//   S  first 0000 S S 0 1,      second N(R)<<1 | PF
// U frames keep their one byte under either modulus.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "decode/ax25_address.h"
#include "decode/ax25_encoder.h"

namespace vorlink {

enum class FrameKind { I, RR, RNR, REJ, SREJ, SABM, SABME, DISC, DM, UA, FRMR, XID, UI, TEST };

inline constexpr std::uint8_t kPidNoLayer3 = 0xF0;

struct LinkFrame {
  FrameKind kind = FrameKind::RR;
  bool command = true;
  bool pollFinal = false;
  int nr = 0;
  int ns = 0;
  std::optional<std::uint8_t> pid;
  std::vector<std::uint8_t> info;
};

// Who a link's frames go to and come from: our station, the peer, and the
// digipeaters in the order our frames pass them.
struct LinkRoute {
  Ax25Address own;
  Ax25Address remote;
  std::vector<Ax25Address> path;
};

// A received frame's address field, read and checked.
struct ReceivedAddresses {
  Ax25Address destination;
  Ax25Address source;
  std::vector<Ax25Address> digipeaters;
  Ax25CommandResponse commandResponse = Ax25CommandResponse::Legacy;
  std::size_t controlOffset = 0;
};

// Nothing when the field runs past the frame, holds more than 8
// digipeaters, or an address that is not a callsign.
std::optional<ReceivedAddresses> ReadAddresses(std::span<const std::uint8_t> frame);

// The frame after its address field; nothing for a control field that is
// cut short or names no frame the link knows.
std::optional<LinkFrame> ReadControl(std::span<const std::uint8_t> frame,
                                     const ReceivedAddresses& addresses, bool modulo128);

// The bytes of frame along route (destination the remote station).
std::vector<std::uint8_t> BuildFrame(const LinkRoute& route, const LinkFrame& frame,
                                     bool modulo128);

// The path back to the sender of a frame that came along digipeaters.
std::vector<Ax25Address> ReversePath(const std::vector<Ax25Address>& received);

}  // namespace vorlink
