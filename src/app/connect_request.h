// What Terminal > Connect... asks for, read from what the operator typed:
// the station to connect to, the digipeaters on the way (at most 8,
// separated by commas or blanks) and 2.2 or 2.0; and why nothing could be
// sent at all (no own callsign, "Transmit" off).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "aprs/own_station.h"
#include "decode/ax25_address.h"

namespace vorlink {

inline constexpr std::size_t kMaxConnectDigipeaters = 8;

struct ConnectRequest {
  Ax25Address remote;
  std::vector<Ax25Address> path;
  bool version22 = false;
};

// The request, or the reason it is none in problem.
std::optional<ConnectRequest> ReadConnectRequest(std::string_view call, std::string_view path,
                                                 bool version22, std::string& problem);

// The own callsign as an address; none while it is empty or no callsign.
std::optional<Ax25Address> OwnAddress(const OwnStation& station);

// Why no frame of a link could go out; empty when nothing stands in the way.
std::string SendBlocker(const OwnStation& station, bool transmitOn);

}  // namespace vorlink
