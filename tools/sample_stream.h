// Generated KISS traffic for the sample capture, the benchmark and the
// fuzzer's seeds. Everything is drawn from a small seeded generator of our
// own, so the same seed gives the same bytes on every machine and compiler.
//
// An AX.25 frame as built here (before KISS framing):
//   destination  7 bytes: 6 callsign characters shifted left one bit, SSID byte
//   source       7 bytes
//   digipeaters  7 bytes each, 0 to 8 of them
//   control      1 byte
//   PID          1 byte, I and UI frames only
//   information  the rest
// SSID byte: 0b CRR SSSS E (C command/response or has-been-repeated,
// RR reserved and set, SSSS the SSID, E set on the last address).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/kiss_escape.h"

namespace vorlink::sample {

// splitmix64: tiny, fast, and identical everywhere, unlike std distributions.
class SampleRandom {
 public:
  explicit SampleRandom(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // Uniform enough for test traffic: 0 .. bound-1 (bound > 0).
  std::uint32_t Below(std::uint32_t bound) { return static_cast<std::uint32_t>(Next() % bound); }
  bool Chance(std::uint32_t percent) { return Below(100) < percent; }
  template <typename T>
  const T& Pick(std::span<const T> items) {
    return items[Below(static_cast<std::uint32_t>(items.size()))];
  }

 private:
  std::uint64_t state_;
};

// Control bytes (P/F clear; add kPollFinal to set it).
inline constexpr std::uint8_t kPollFinal = 0x10;
inline constexpr std::uint8_t kControlUi = 0x03;
inline constexpr std::uint8_t kControlSabm = 0x2F;
inline constexpr std::uint8_t kControlSabme = 0x6F;
inline constexpr std::uint8_t kControlDisc = 0x43;
inline constexpr std::uint8_t kControlDm = 0x0F;
inline constexpr std::uint8_t kControlUa = 0x63;
inline constexpr std::uint8_t kControlFrmr = 0x87;
inline constexpr std::uint8_t kControlXid = 0xAF;
inline constexpr std::uint8_t kControlTest = 0xE3;
inline constexpr std::uint8_t kControlRr = 0x01;
inline constexpr std::uint8_t kControlRnr = 0x05;
inline constexpr std::uint8_t kControlRej = 0x09;
inline constexpr std::uint8_t kControlSrej = 0x0D;
inline constexpr std::uint8_t kPidNoLayer3 = 0xF0;

// I frame control: N(R) in bits 7..5, P in bit 4, N(S) in bits 3..1, bit 0 clear.
constexpr std::uint8_t IControl(int nr, int ns, bool poll) {
  return static_cast<std::uint8_t>((nr & 7) << 5 | (poll ? kPollFinal : 0) | (ns & 7) << 1);
}
// S frame control: N(R) in bits 7..5, P/F in bit 4, the kind in bits 3..0.
constexpr std::uint8_t SControl(std::uint8_t kind, int nr, bool pollFinal) {
  return static_cast<std::uint8_t>((nr & 7) << 5 | (pollFinal ? kPollFinal : 0) | kind);
}

struct Address {
  Address() = default;
  Address(std::string_view call, int ssidValue = 0, bool hasBeenRepeated = false)
      : callsign(call), ssid(ssidValue), repeated(hasBeenRepeated) {}

  std::string callsign;   // up to 6 characters, upper case and digits
  int ssid = 0;           // 0..15
  bool repeated = false;  // has-been-repeated, digipeaters only
};

struct Ax25Frame {
  Address destination;
  Address source;
  std::vector<Address> digipeaters;  // 0..8
  bool command = true;               // sets the C bits of destination/source
  std::uint8_t control = kControlUi;
  std::optional<std::uint8_t> pid = kPidNoLayer3;  // I and UI frames only
  std::vector<std::uint8_t> info;
};

// The AX.25 frame's bytes, unescaped, without FCS.
std::vector<std::uint8_t> EncodeAx25(const Ax25Frame& frame);

// FEND, the command byte, data with FEND and FESC escaped, FEND.
using vorlink::AppendKissFrame;

// CRC-16 (polynomial 0x8005 reflected, initial value 0) as a SMACK TNC
// computes it over the command byte and the frame.
std::uint16_t Crc16(std::span<const std::uint8_t> bytes, std::uint16_t crc = 0);

// A SMACK frame: command 0x80, the frame, its CRC low byte first, escaped.
void AppendSmackFrame(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> ax25);

// The time frame a station with time frames on writes before a received
// KISS frame (as on the wire): the received bytes from offset 2 up to its
// first 0xF0 or closing FEND, then 0xF0 and "asy: <timestamp> UTC".
void AppendTimeFrame(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> kissFrame,
                     std::string_view timestamp);

std::vector<std::uint8_t> Bytes(std::string_view text);

// One frame of everyday traffic: mostly APRS-style UI frames, plain text,
// connected-mode I, S and U frames, now and then a SMACK frame or a payload
// that needs escaping. Appended KISS-framed to out.
void AppendRandomFrame(std::vector<std::uint8_t>& out, SampleRandom& random);

// The benchmark's seed: vorlink-bench and vorlink-make-sample --frames draw
// the same stream from it.
inline constexpr std::uint64_t kBenchSeed = 0x564F524C494E4B;

// A stream of frameCount frames drawn as above, each with its own two FENDs,
// with an empty frame, a stray byte or a time frame in between now and then.
std::vector<std::uint8_t> GenerateStream(std::size_t frameCount, std::uint64_t seed);

// The committed sample capture, samples/sample.kss: a preamble of TNC text,
// one frame of every kind worth seeing, then ordinary traffic.
std::vector<std::uint8_t> SampleCapture();

}  // namespace vorlink::sample
