// What a station must have to transmit: its own callsign and the path its
// frames ask digipeaters to take. One rule for every sender of VORLINK's (the
// window, the beacon, the message program): a callsign is 1 to 6 letters and
// digits with at least one digit (every amateur callsign has one; "APRS" or
// "WIDE" is no station) and an SSID of 0 to 15.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "decode/ax25_address.h"

namespace vorlink {

inline constexpr std::string_view kDefaultPath = "WIDE1-1,WIDE2-1";
// The AX.25 address field takes no more digipeaters.
inline constexpr std::size_t kMaxPathHops = 8;
// The experimental group of APRS destinations, as the tocall of own frames.
inline constexpr std::string_view kOwnDestination = "APZVOR";

// Nothing for a callsign that could not be sent as the own station's.
std::optional<Ax25Address> ParseStationCallsign(std::string_view text);

// "WIDE1-1,WIDE2-1": 0 to 8 hops, each a callsign with SSID 0 to 15 (a hop
// need not hold a digit); blanks around hops aside; empty: direct. Nothing
// when a hop is not usable or there are more than 8.
std::optional<std::vector<Ax25Address>> ParsePath(std::string_view text);
// The hops as ParsePath reads them back.
std::string PathText(const std::vector<Ax25Address>& hops);

}  // namespace vorlink
