// The operator's own station as the APRS views see it: the point distance
// and bearing are measured from (blank while there is none) and the
// callsign whose messages are marked, and whether and how it transmits. A
// plain value the owner hands down.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "aprs/station_call.h"
#include "geo/geo_point.h"

namespace vorlink {

struct OwnStation {
  std::optional<GeoPoint> position;
  std::string callsign;  // as shown, SSID included; empty: none
  bool transmit = false;  // the operator's choice; off until made
  std::string path = std::string(kDefaultPath);  // as typed, see ParsePath

  bool operator==(const OwnStation&) const = default;
};

// The position as an operator types it: "LAT,LON" in decimal degrees (north
// and east positive) or a Maidenhead locator of 2 to 10 characters (its
// square's centre); blanks around it aside. None for anything else.
std::optional<GeoPoint> ParseOwnPosition(std::string_view text);
// "49.05833,-72.02917": what ParseOwnPosition reads back to the same point
// (within a metre).
std::string OwnPositionText(GeoPoint point);

}  // namespace vorlink
