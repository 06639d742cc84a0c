#include "link/kiss_tcp_address.h"

#include <charconv>

namespace vorlink {
namespace {

std::optional<std::uint16_t> ParsePort(std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value == 0 || value > 65535) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<KissTcpAddress> ParseKissTcpAddress(std::string_view text) {
  KissTcpAddress address;
  std::string_view host = text;
  std::string_view port;
  if (!text.empty() && text.front() == '[') {
    // An IPv6 literal keeps its colons inside the brackets.
    const auto close = text.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = text.substr(1, close - 1);
    const std::string_view rest = text.substr(close + 1);
    if (!rest.empty() && rest.front() != ':') return std::nullopt;
    if (!rest.empty()) port = rest.substr(1);
    if (!rest.empty() && port.empty()) return std::nullopt;
  } else if (const auto colon = text.rfind(':'); colon != std::string_view::npos) {
    host = text.substr(0, colon);
    port = text.substr(colon + 1);
    if (port.empty()) return std::nullopt;
  }
  if (host.empty()) return std::nullopt;
  address.host = std::string(host);
  if (!port.empty()) {
    const auto number = ParsePort(port);
    if (!number) return std::nullopt;
    address.port = *number;
  }
  return address;
}

std::string KissTcpName(const KissTcpAddress& address) {
  const bool ipv6 = address.host.find(':') != std::string::npos;
  const std::string host = ipv6 ? "[" + address.host + "]" : address.host;
  return "KISS TCP " + host + ":" + std::to_string(address.port);
}

}  // namespace vorlink
