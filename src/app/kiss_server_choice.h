// The KISS server's setting: whether other programs get the frames over TCP,
// where it listens and whether its clients may send frames to the TNC. Saved
// in vorlink.conf ([kiss_server]); --kiss-server switches it on for one run.
// Beside it, how much the server takes on: read from the same group, never
// written, so an operator who needs more clients or memory edits the file.
#pragma once

#include <algorithm>
#include <cstddef>
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

inline constexpr std::size_t kDefaultKissServerClients = 32;
inline constexpr std::size_t kMostKissServerClients = 1000;
inline constexpr std::size_t kDefaultKissServerBudget = std::size_t{8} << 20;
inline constexpr std::size_t kLeastKissServerBudget = std::size_t{64} << 10;
inline constexpr std::size_t kMostKissServerBudget = std::size_t{1} << 30;

struct KissServerLimits {
  std::size_t maxClients = kDefaultKissServerClients;
  // Bytes waiting for all clients together.
  std::size_t queueBudget = kDefaultKissServerBudget;

  friend bool operator==(const KissServerLimits&, const KissServerLimits&) = default;
};

// Within what the server can live with: at least one client, and a budget
// between 64 KiB and 1 GiB.
inline KissServerLimits SaneKissServerLimits(KissServerLimits limits) {
  limits.maxClients = std::clamp<std::size_t>(limits.maxClients, 1, kMostKissServerClients);
  limits.queueBudget =
      std::clamp(limits.queueBudget, kLeastKissServerBudget, kMostKissServerBudget);
  return limits;
}

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
