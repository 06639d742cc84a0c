#include "ax25link/link_frame.h"

#include <algorithm>
#include <array>

namespace vorlink {
namespace {

constexpr std::size_t kAddressLength = 7;
constexpr std::size_t kMinAddresses = 2;
constexpr std::size_t kMaxAddresses = 2 + kMaxEncodedDigipeaters;
constexpr std::uint8_t kLastAddressBit = 0x01;
constexpr std::uint8_t kHighBit = 0x80;  // C in destination and source, H in a digipeater
constexpr std::uint8_t kSsidMask = 0x0F;
constexpr std::uint8_t kPollFinal8 = 0x10;
constexpr std::uint8_t kPollFinal128 = 0x01;
constexpr std::uint8_t kNotIFrameBit = 0x01;
constexpr std::uint8_t kUFrameBits = 0x03;
constexpr std::uint8_t kSKindMask = 0x0C;
constexpr int kSKindShift = 2;
constexpr int kModulo8Mask = 0x07;
constexpr int kModulo128Mask = 0x7F;
constexpr int kNrShift8 = 5;
constexpr int kNsShift = 1;
constexpr int kSecondByteShift = 8;

constexpr std::array<FrameKind, 4> kSKinds{FrameKind::RR, FrameKind::RNR, FrameKind::REJ,
                                           FrameKind::SREJ};

struct UCode {
  std::uint8_t control;  // P/F clear
  FrameKind kind;
  bool command;  // the sense a station before v2 means by it
};
constexpr std::array<UCode, 9> kUCodes{{
    {0x6F, FrameKind::SABME, true},
    {0x2F, FrameKind::SABM, true},
    {0x43, FrameKind::DISC, true},
    {0x0F, FrameKind::DM, false},
    {0x63, FrameKind::UA, false},
    {0x87, FrameKind::FRMR, false},
    {0x03, FrameKind::UI, true},
    {0xAF, FrameKind::XID, true},
    {0xE3, FrameKind::TEST, true},
}};

bool IsSupervisory(FrameKind kind) {
  return std::find(kSKinds.begin(), kSKinds.end(), kind) != kSKinds.end();
}

std::optional<Ax25Address> ReadAddress(std::span<const std::uint8_t> bytes) {
  Ax25Address address;
  for (std::size_t i = 0; i < kMaxCallsignLength; ++i) {
    const char c = static_cast<char>(bytes[i] >> 1);
    if (c != ' ') address.callsign += c;
  }
  address.ssid = (bytes[kMaxCallsignLength] >> 1) & kSsidMask;
  if (!IsValidAddress(address)) return std::nullopt;
  return address;
}

Ax25CommandResponse SenseOf(std::uint8_t destinationSsid, std::uint8_t sourceSsid) {
  const bool d = destinationSsid & kHighBit;
  const bool s = sourceSsid & kHighBit;
  if (d == s) return Ax25CommandResponse::Legacy;
  return d ? Ax25CommandResponse::Command : Ax25CommandResponse::Response;
}

bool IsCommand(Ax25CommandResponse sense, bool legacyCommand) {
  if (sense == Ax25CommandResponse::Legacy) return legacyCommand;
  return sense == Ax25CommandResponse::Command;
}

std::uint16_t ControlOf(const LinkFrame& frame, bool modulo128) {
  const int mask = modulo128 ? kModulo128Mask : kModulo8Mask;
  const int nr = frame.nr & mask;
  const int ns = frame.ns & mask;
  if (frame.kind == FrameKind::I || IsSupervisory(frame.kind)) {
    int first = frame.kind == FrameKind::I
                    ? ns << kNsShift
                    : (static_cast<int>(std::find(kSKinds.begin(), kSKinds.end(), frame.kind) -
                                        kSKinds.begin())
                       << kSKindShift) |
                          kNotIFrameBit;
    if (modulo128) {
      const int second = nr << 1 | (frame.pollFinal ? kPollFinal128 : 0);
      return static_cast<std::uint16_t>(first | second << kSecondByteShift);
    }
    first |= nr << kNrShift8 | (frame.pollFinal ? kPollFinal8 : 0);
    return static_cast<std::uint16_t>(first);
  }
  const auto* code = std::find_if(kUCodes.begin(), kUCodes.end(),
                                  [&](const UCode& u) { return u.kind == frame.kind; });
  return static_cast<std::uint16_t>(code->control | (frame.pollFinal ? kPollFinal8 : 0));
}

}  // namespace

std::optional<ReceivedAddresses> ReadAddresses(std::span<const std::uint8_t> frame) {
  ReceivedAddresses out;
  std::size_t count = 0;
  for (;;) {
    const std::size_t offset = count * kAddressLength;
    if (count == kMaxAddresses || offset + kAddressLength > frame.size()) return std::nullopt;
    const auto bytes = frame.subspan(offset, kAddressLength);
    auto address = ReadAddress(bytes);
    if (!address) return std::nullopt;
    const std::uint8_t ssid = bytes[kMaxCallsignLength];
    if (count == 0) {
      out.destination = *address;
    } else if (count == 1) {
      out.source = *address;
      out.commandResponse = SenseOf(frame[kMaxCallsignLength], ssid);
    } else {
      address->repeated = ssid & kHighBit;
      out.digipeaters.push_back(*address);
    }
    ++count;
    if (ssid & kLastAddressBit) break;
  }
  if (count < kMinAddresses) return std::nullopt;
  out.controlOffset = count * kAddressLength;
  return out;
}

std::optional<LinkFrame> ReadControl(std::span<const std::uint8_t> frame,
                                     const ReceivedAddresses& addresses, bool modulo128) {
  std::size_t at = addresses.controlOffset;
  if (at >= frame.size()) return std::nullopt;
  const std::uint8_t first = frame[at++];
  LinkFrame out;
  if ((first & kUFrameBits) == kUFrameBits) {
    const auto* code = std::find_if(kUCodes.begin(), kUCodes.end(), [&](const UCode& u) {
      return u.control == (first & ~kPollFinal8);
    });
    if (code == kUCodes.end()) return std::nullopt;
    out.kind = code->kind;
    out.pollFinal = first & kPollFinal8;
    out.command = IsCommand(addresses.commandResponse, code->command);
    if (out.kind == FrameKind::UI) {
      if (at >= frame.size()) return std::nullopt;
      out.pid = frame[at++];
    }
  } else {
    const bool isI = !(first & kNotIFrameBit);
    out.kind = isI ? FrameKind::I : kSKinds[(first & kSKindMask) >> kSKindShift];
    if (modulo128) {
      if (at >= frame.size()) return std::nullopt;
      const std::uint8_t second = frame[at++];
      out.nr = second >> 1;
      out.pollFinal = second & kPollFinal128;
      out.ns = isI ? (first >> kNsShift) & kModulo128Mask : 0;
    } else {
      out.nr = first >> kNrShift8;
      out.pollFinal = first & kPollFinal8;
      out.ns = isI ? (first >> kNsShift) & kModulo8Mask : 0;
    }
    // Before v2, I frames were commands and S frames answers.
    out.command = IsCommand(addresses.commandResponse, isI);
    if (isI) {
      if (at >= frame.size()) return std::nullopt;
      out.pid = frame[at++];
    }
  }
  out.info.assign(frame.begin() + static_cast<std::ptrdiff_t>(at), frame.end());
  return out;
}

std::vector<std::uint8_t> BuildFrame(const LinkRoute& route, const LinkFrame& frame,
                                     bool modulo128) {
  Ax25FrameFields fields;
  fields.destination = route.remote;
  fields.source = route.own;
  fields.digipeaters = route.path;
  for (auto& d : fields.digipeaters) d.repeated = false;
  fields.commandResponse =
      frame.command ? Ax25CommandResponse::Command : Ax25CommandResponse::Response;
  fields.control = ControlOf(frame, modulo128);
  fields.twoByteControl =
      modulo128 && (frame.kind == FrameKind::I || IsSupervisory(frame.kind));
  fields.pid = frame.pid;
  fields.info = frame.info;
  return EncodeAx25Frame(fields).value_or(std::vector<std::uint8_t>{});
}

std::vector<Ax25Address> ReversePath(const std::vector<Ax25Address>& received) {
  std::vector<Ax25Address> path(received.rbegin(), received.rend());
  for (auto& d : path) d.repeated = false;
  return path;
}

}  // namespace vorlink
