// What feeds the incoming side beyond the four lines of vorlink.ini: the
// serial port of line 1 (the default) or a KISS-over-TCP peer. Saved in
// vorlink.conf beside vorlink.ini, and only when it is not the default.
#pragma once

#include <optional>

#include "link/kiss_tcp_address.h"

namespace vorlink {

struct LinkChoice {
  bool kissTcp = false;
  KissTcpAddress address;

  friend bool operator==(const LinkChoice&, const LinkChoice&) = default;
};

// The peer to use: --kiss-tcp for this run wins over the saved choice;
// nothing for the serial port.
inline std::optional<KissTcpAddress> ChosenKissTcp(
    const LinkChoice& saved, const std::optional<KissTcpAddress>& forThisRun) {
  if (forThisRun) return forThisRun;
  if (saved.kissTcp) return saved.address;
  return std::nullopt;
}

}  // namespace vorlink
