// The KISS server's setting: whether other programs get the frames over TCP,
// where it listens and whether its clients may send frames to the TNC. Saved
// in vorlink.conf ([kiss_server]); --kiss-server switches it on for one run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "link/kiss_tcp_address.h"

namespace vorlink {

inline constexpr std::uint16_t kDefaultKissServerPort = 8100;

struct KissServerChoice {
  bool on = false;
  // Only this machine unless the operator names another address.
  KissTcpAddress address{std::string(kDefaultKissTcpHost), kDefaultKissServerPort};
  bool clientsTransmit = false;

  friend bool operator==(const KissServerChoice&, const KissServerChoice&) = default;
};

// --kiss-server for this run switches the server on at its address; whether
// clients may transmit stays as saved.
inline KissServerChoice ChosenKissServer(const KissServerChoice& saved,
                                         const std::optional<KissTcpAddress>& forThisRun) {
  if (!forThisRun) return saved;
  KissServerChoice chosen = saved;
  chosen.on = true;
  chosen.address = *forThisRun;
  return chosen;
}

}  // namespace vorlink
