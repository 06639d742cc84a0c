#include "decode/ax25_address.h"

namespace vorlink {
namespace {

constexpr char kSsidSeparator = '-';
constexpr std::size_t kMaxSsidDigits = 2;

bool IsCallsignCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::optional<int> ParseSsid(std::string_view digits) {
  if (digits.empty() || digits.size() > kMaxSsidDigits) return std::nullopt;
  int value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > kMaxSsid) return std::nullopt;
  return value;
}

}  // namespace

std::optional<Ax25Address> ParseCallsign(std::string_view text) {
  const auto separator = text.find(kSsidSeparator);
  Ax25Address address;
  for (const char c : text.substr(0, separator)) address.callsign += Upper(c);
  if (separator != std::string_view::npos) {
    const auto ssid = ParseSsid(text.substr(separator + 1));
    if (!ssid) return std::nullopt;
    address.ssid = *ssid;
  }
  if (!IsValidAddress(address)) return std::nullopt;
  return address;
}

std::string CallsignText(const Ax25Address& address) {
  if (address.ssid == 0) return address.callsign;
  return address.callsign + kSsidSeparator + std::to_string(address.ssid);
}

bool IsValidAddress(const Ax25Address& address) {
  if (address.callsign.empty() || address.callsign.size() > kMaxCallsignLength) return false;
  for (const char c : address.callsign) {
    if (!IsCallsignCharacter(c)) return false;
  }
  return address.ssid >= 0 && address.ssid <= kMaxSsid;
}

}  // namespace vorlink
