// How healthy the TNC and its line look, from the units the deframer hands
// on: frames by KISS command (low nibble of the command byte) and by KISS
// port (high nibble; for a SMACK frame without its flag bit), SMACK frames
// with a good and a bad checksum, bad escapes (FESC not followed by TFEND or
// TFESC), frames dropped as oversize, stray bytes and empty frames.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace vorlink {

inline constexpr std::size_t kKissNibbleValues = 16;

struct LinkHealth {
  std::array<std::uint64_t, kKissNibbleValues> byCommand{};
  std::array<std::uint64_t, kKissNibbleValues> byPort{};
  std::uint64_t smackGood = 0;
  std::uint64_t smackBad = 0;
  std::uint64_t badEscapes = 0;
  std::uint64_t oversize = 0;
  std::uint64_t strays = 0;
  std::uint64_t emptyFrames = 0;

  friend bool operator==(const LinkHealth&, const LinkHealth&) = default;
};

// Counts one unit as the deframer hands it on: a frame (more than two bytes,
// both FENDs), an empty frame (two bytes), a stray byte (one) or a dropped
// oversize frame (none).
void CountUnit(LinkHealth& health, std::span<const std::uint8_t> unit);

}  // namespace vorlink
