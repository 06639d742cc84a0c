// The AX.25 header of a received KISS frame, after KISS de-escaping.
//
// DecodedFrame as the decoder reads it (offsets from its first byte):
//   0        opening FEND
//   1        KISS command byte (not examined)
//   2..7     destination callsign, each character shifted left one bit
//   8        destination SSID byte
//   9..14    source callsign
//   15       source SSID byte
//   16..     k digipeaters of 7 bytes each (k = 0..9)
//   16+7k    control byte
//   17+7k    PID byte (I and UI frames only)
//   next     payload up to the closing FEND
// SSID byte: bit 0 last address, bits 4..1 the SSID, bit 7 of a digipeater's
// byte has-been-repeated.
//
// A frame too short for its header is decoded from whatever DecodedFrame
// holds at those offsets (left over from earlier frames, zero at first):
// every read goes through At(), which stays inside the buffer.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "link/kiss.h"

namespace vorlink {

// Both run a few dozen times for every frame: defined here to be inlined.
// value >> count, zeros entering; a count below 1 returns value unchanged.
constexpr std::uint8_t ShiftRight(std::uint8_t value, int count) {
  if (count < 1) return value;
  if (count > 7) return 0;
  return static_cast<std::uint8_t>(value >> count);
}
// True when the bit (0 = least significant) is set; false outside 0..7.
constexpr bool IsBitSet(std::uint8_t value, int bit) {
  if (bit < 0 || bit > 7) return false;
  return (value >> bit) & 1U;
}

class Ax25Decoder {
 public:
  static constexpr int kMaxDigipeaters = 9;

  // De-escapes the frame (as received, both FENDs) into DecodedFrame and
  // decodes its header into the results below.
  void DecodeAx25Header(std::span<const std::uint8_t> frameBuffer);

  // Payload: DecodedFrame from PayloadOffset up to the closing FEND.
  int PayloadLength() const { return DecodedLength - PayloadOffset - 1; }
  std::span<const std::uint8_t> Payload() const;

  std::array<std::uint8_t, kFrameBufferCapacity> DecodedFrame{};
  int DecodedLength = 0;
  bool EscapePending = false;
  std::string DestinationText;
  std::string SourceText;
  std::array<std::string, kMaxDigipeaters> DigipeaterText;  // slot 1 is [0]
  std::array<std::uint8_t, kMaxDigipeaters> DigipeaterSsid{};
  // Slots decoded, and which of them carry the has-been-repeated bit.
  int DigipeaterCount = 0;
  std::array<bool, kMaxDigipeaters> DigipeaterRepeated{};
  std::uint8_t ControlByte = 0;
  bool PollFinal = false;
  // Written only for frames that carry a PID (I and UI); HasPid tells which.
  std::uint8_t PidByte = 0;
  bool HasPid = false;
  std::string FrameTypeText;
  std::string AddressLine;
  int PayloadOffset = 0;

 private:
  std::uint8_t At(int offset) const {
    if (offset < 0 || offset >= static_cast<int>(DecodedFrame.size())) return 0;
    return DecodedFrame[static_cast<std::size_t>(offset)];
  }
  void Deescape(std::span<const std::uint8_t> frameBuffer);
  // Appends the callsign at offset and its SSID suffix; returns the SSID.
  int AppendAddress(std::string& out, int offset) const;
  void DecodeControl(int controlOffset);
  void BuildAddressLine();
};

}  // namespace vorlink
