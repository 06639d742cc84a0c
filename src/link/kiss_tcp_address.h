// Where a KISS-over-TCP peer listens (a software TNC, usually on port
// 8001), as the operator writes it ("HOST:PORT" or "HOST") and as the
// window names it ("KISS TCP 127.0.0.1:8001").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorlink {

inline constexpr std::uint16_t kDefaultKissTcpPort = 8001;
inline constexpr std::string_view kDefaultKissTcpHost = "127.0.0.1";

struct KissTcpAddress {
  std::string host = std::string(kDefaultKissTcpHost);
  std::uint16_t port = kDefaultKissTcpPort;

  friend bool operator==(const KissTcpAddress&, const KissTcpAddress&) = default;
};

// "HOST:PORT", "HOST" (port 8001) or "[::1]:PORT"; nothing for an empty
// host or a port that is not 1 to 65535.
std::optional<KissTcpAddress> ParseKissTcpAddress(std::string_view text);

// "KISS TCP 127.0.0.1:8001": how pane lines, labels and the log name it.
std::string KissTcpName(const KissTcpAddress& address);

}  // namespace vorlink
