// An object the operator places on the map, and its information field:
//   ;NAME_____*DDHHMMzDDMM.mmN/DDDMM.mmW$comment
// the name padded with blanks to 9 characters, "*" for a live object and
// "_" for a killed one, the day, hour and minute in UTC, then the position
// as a beacon has it (beacon_text.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "aprs/aprs_report.h"
#include "base/clock.h"
#include "geo/geo_point.h"

namespace vorlink {

inline constexpr std::size_t kMaxObjectName = 9;

struct OwnObject {
  std::string name;  // 1..9 printable characters, see ObjectName
  GeoPoint position;
  AprsSymbol symbol;
  std::string comment;  // as BeaconComment keeps it

  friend bool operator==(const OwnObject&, const OwnObject&) = default;
};

// The name as typed, when it can be an object's: 1 to 9 printable ASCII
// characters (blanks inside allowed, not around it).
std::optional<std::string> ObjectName(std::string_view typed);

std::string ObjectInfo(const OwnObject& object, bool alive, const DateTime& utc);

}  // namespace vorlink
