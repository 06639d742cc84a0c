#include "ax25link/xid_parameters.h"

#include <algorithm>

namespace vorlink {
namespace {

constexpr std::uint8_t kFormatIdentifier = 0x82;
constexpr std::uint8_t kGroupIdentifier = 0x80;
constexpr std::size_t kGroupHeaderLength = 4;
constexpr std::uint8_t kPiClasses = 2;
constexpr std::uint8_t kPiOptionalFunctions = 3;
constexpr std::uint8_t kPiInfoLengthRx = 6;
constexpr std::uint8_t kPiWindowRx = 8;
constexpr std::uint8_t kPiT1 = 9;
constexpr std::uint8_t kPiRetries = 10;
// Balanced mode, half duplex.
constexpr std::uint32_t kClassesHalfDuplex = 0x0021;
constexpr std::uint32_t kRejBit = 1U << 1;
constexpr std::uint32_t kSrejBit = 1U << 2;
constexpr std::uint32_t kModulo8Bit = 1U << 10;
constexpr std::uint32_t kModulo128Bit = 1U << 11;
// Extended address, TEST, 16-bit FCS, synchronous transmit: always set.
constexpr std::uint32_t kAlwaysSetFunctions = (1U << 7) | (1U << 13) | (1U << 15) | (1U << 17);
constexpr std::size_t kOptionalFunctionsLength = 3;
constexpr std::size_t kClassesLength = 2;
constexpr std::size_t kMaxValueLength = 4;
constexpr int kBitsPerByte = 8;

void AppendNumber(std::vector<std::uint8_t>& out, std::uint8_t pi, std::uint32_t value,
                  std::size_t length) {
  out.push_back(pi);
  out.push_back(static_cast<std::uint8_t>(length));
  for (std::size_t i = length; i-- > 0;) {
    out.push_back(static_cast<std::uint8_t>(value >> (i * kBitsPerByte)));
  }
}

// Bit fields go lowest bits first, as the example XID frame of AX.25 2.2 has them.
void AppendBits(std::vector<std::uint8_t>& out, std::uint8_t pi, std::uint32_t bits,
                std::size_t length) {
  out.push_back(pi);
  out.push_back(static_cast<std::uint8_t>(length));
  for (std::size_t i = 0; i < length; ++i) {
    out.push_back(static_cast<std::uint8_t>(bits >> (i * kBitsPerByte)));
  }
}

std::size_t LengthOf(std::uint32_t value) {
  std::size_t n = 1;
  while (n < kMaxValueLength && (value >> (n * kBitsPerByte)) != 0) ++n;
  return n;
}

std::uint32_t HighFirst(std::span<const std::uint8_t> bytes) {
  std::uint32_t v = 0;
  for (const auto b : bytes.first(std::min(bytes.size(), kMaxValueLength))) v = v << 8 | b;
  return v;
}

std::uint32_t LowFirst(std::span<const std::uint8_t> bytes) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < std::min(bytes.size(), kMaxValueLength); ++i) {
    v |= static_cast<std::uint32_t>(bytes[i]) << (i * kBitsPerByte);
  }
  return v;
}

void Apply(XidParameters& p, std::uint8_t pi, std::span<const std::uint8_t> value) {
  if (value.empty()) return;
  switch (pi) {
    case kPiOptionalFunctions: {
      const std::uint32_t bits = LowFirst(value);
      if (bits & (kSrejBit | kRejBit)) p.selectiveReject = (bits & kSrejBit) != 0;
      if (bits & (kModulo8Bit | kModulo128Bit)) p.modulo128 = (bits & kModulo128Bit) != 0;
      break;
    }
    case kPiInfoLengthRx: p.maxInfoBytes = HighFirst(value) / kBitsPerByte; break;
    case kPiWindowRx: p.window = static_cast<int>(HighFirst(value) & 0x7F); break;
    case kPiT1: p.t1Milliseconds = HighFirst(value); break;
    case kPiRetries: p.retries = static_cast<int>(std::min<std::uint32_t>(HighFirst(value), 255)); break;
    default: break;
  }
}

}  // namespace

std::vector<std::uint8_t> EncodeXid(const XidParameters& p) {
  std::vector<std::uint8_t> sets;
  AppendBits(sets, kPiClasses, kClassesHalfDuplex, kClassesLength);
  std::uint32_t functions = kAlwaysSetFunctions;
  functions |= p.selectiveReject.value_or(false) ? kSrejBit : kRejBit;
  functions |= p.modulo128.value_or(false) ? kModulo128Bit : kModulo8Bit;
  AppendBits(sets, kPiOptionalFunctions, functions, kOptionalFunctionsLength);
  if (p.maxInfoBytes) {
    const std::uint32_t bits = *p.maxInfoBytes * kBitsPerByte;
    AppendNumber(sets, kPiInfoLengthRx, bits, LengthOf(bits));
  }
  if (p.window) AppendNumber(sets, kPiWindowRx, static_cast<std::uint32_t>(*p.window), 1);
  if (p.t1Milliseconds) AppendNumber(sets, kPiT1, *p.t1Milliseconds, LengthOf(*p.t1Milliseconds));
  if (p.retries) AppendNumber(sets, kPiRetries, static_cast<std::uint32_t>(*p.retries), 1);
  std::vector<std::uint8_t> out{kFormatIdentifier, kGroupIdentifier,
                                static_cast<std::uint8_t>(sets.size() >> kBitsPerByte),
                                static_cast<std::uint8_t>(sets.size())};
  out.insert(out.end(), sets.begin(), sets.end());
  return out;
}

std::optional<XidParameters> ParseXid(std::span<const std::uint8_t> info) {
  if (info.size() < kGroupHeaderLength || info[0] != kFormatIdentifier ||
      info[1] != kGroupIdentifier) {
    return std::nullopt;
  }
  const std::size_t length = static_cast<std::size_t>(info[2]) << kBitsPerByte | info[3];
  if (length > info.size() - kGroupHeaderLength) return std::nullopt;
  const auto sets = info.subspan(kGroupHeaderLength, length);
  XidParameters p;
  for (std::size_t at = 0; at < sets.size();) {
    if (at + 2 > sets.size()) return std::nullopt;
    const std::uint8_t pi = sets[at];
    const std::size_t pl = sets[at + 1];
    if (at + 2 + pl > sets.size()) return std::nullopt;
    Apply(p, pi, sets.subspan(at + 2, pl));
    at += 2 + pl;
  }
  return p;
}

}  // namespace vorlink
