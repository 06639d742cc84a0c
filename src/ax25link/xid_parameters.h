// The XID information field of parameter negotiation, as far as the link
// uses it: FI 0x82, GI 0x80, a two-byte group length (high byte first),
// then PI PL PV sets in ascending PI order:
//   2  classes of procedures  bit 0 balanced mode, bit 5 half, bit 6 full duplex
//   3  optional functions     bit 1 REJ, bit 2 SREJ, bit 10 modulo 8, bit 11 modulo 128
//   6  I field length Rx      in bits
//   8  window size Rx         frames
//   9  T1                     milliseconds
//   10 retries N2
// Numbers are high byte first; bit fields (classes, optional functions)
// hold bits 0..7 in their first byte. Unknown PIs are skipped.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vorlink {

// What one side offers; an unset field was not in the frame.
struct XidParameters {
  std::optional<bool> selectiveReject;
  std::optional<bool> modulo128;
  std::optional<std::uint32_t> maxInfoBytes;
  std::optional<int> window;
  std::optional<std::uint32_t> t1Milliseconds;
  std::optional<int> retries;
};

std::vector<std::uint8_t> EncodeXid(const XidParameters& parameters);

// Nothing when the field is not a parameter group or a set runs past it.
std::optional<XidParameters> ParseXid(std::span<const std::uint8_t> info);

}  // namespace vorlink
