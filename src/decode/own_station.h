// The operator's own station as the APRS views see it: the point distance
// and bearing are measured from (blank while there is none) and the
// callsign whose messages are marked. A plain value the owner hands down.
#pragma once

#include <optional>
#include <string>

#include "decode/aprs_geo.h"

namespace vorlink {

struct OwnStation {
  std::optional<GeoPoint> position;
  std::string callsign;  // as shown, SSID included; empty: none

  bool operator==(const OwnStation&) const = default;
};

}  // namespace vorlink
