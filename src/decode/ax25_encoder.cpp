#include "decode/ax25_encoder.h"

#include "link/kiss.h"
#include "link/kiss_escape.h"

namespace vorlink {
namespace {

constexpr std::uint8_t kReservedBits = 0x60;
constexpr std::uint8_t kCommandResponseBit = 0x80;  // the H bit in a digipeater
constexpr std::uint8_t kLastAddressBit = 0x01;
constexpr int kSsidShift = 1;
constexpr int kCharacterShift = 1;
constexpr char kPadding = ' ';
constexpr int kByteBits = 8;
constexpr std::uint8_t kLowByte = 0xFF;

void AppendAddress(std::vector<std::uint8_t>& out, const Ax25Address& address, bool highBit,
                   bool last) {
  for (std::size_t i = 0; i < kMaxCallsignLength; ++i) {
    const char c = i < address.callsign.size() ? address.callsign[i] : kPadding;
    out.push_back(static_cast<std::uint8_t>(static_cast<std::uint8_t>(c) << kCharacterShift));
  }
  std::uint8_t ssid = kReservedBits | static_cast<std::uint8_t>(address.ssid << kSsidShift);
  if (highBit) ssid |= kCommandResponseBit;
  if (last) ssid |= kLastAddressBit;
  out.push_back(ssid);
}

bool AllValid(const Ax25FrameFields& fields) {
  if (fields.digipeaters.size() > kMaxEncodedDigipeaters) return false;
  if (!IsValidAddress(fields.destination) || !IsValidAddress(fields.source)) return false;
  for (const auto& d : fields.digipeaters) {
    if (!IsValidAddress(d)) return false;
  }
  return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodeAx25Frame(const Ax25FrameFields& fields) {
  if (!AllValid(fields)) return std::nullopt;
  std::vector<std::uint8_t> out;
  out.reserve((2 + fields.digipeaters.size()) * (kMaxCallsignLength + 1) + 3 + fields.info.size());
  const bool noDigipeaters = fields.digipeaters.empty();
  AppendAddress(out, fields.destination,
                fields.commandResponse == Ax25CommandResponse::Command, false);
  AppendAddress(out, fields.source, fields.commandResponse == Ax25CommandResponse::Response,
                noDigipeaters);
  for (std::size_t i = 0; i < fields.digipeaters.size(); ++i) {
    const auto& d = fields.digipeaters[i];
    AppendAddress(out, d, d.repeated, i + 1 == fields.digipeaters.size());
  }
  out.push_back(static_cast<std::uint8_t>(fields.control & kLowByte));
  if (fields.twoByteControl) out.push_back(static_cast<std::uint8_t>(fields.control >> kByteBits));
  if (fields.pid) out.push_back(*fields.pid);
  out.insert(out.end(), fields.info.begin(), fields.info.end());
  return out;
}

std::vector<std::uint8_t> WrapInKiss(std::span<const std::uint8_t> frame) {
  std::vector<std::uint8_t> out;
  out.reserve(frame.size() + 4);
  AppendKissFrame(out, kCommandData, frame);
  return out;
}

}  // namespace vorlink
