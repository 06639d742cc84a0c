// The information field of the own station's position beacon:
//   uncompressed  !DDMM.mmN/DDDMM.mmW>comment   (table between the two
//                 halves, symbol code after them)
//   compressed    !/YYYYXXXX>  !comment        (table, base-91 latitude and
//                 longitude, symbol code, "  " for no course, speed or
//                 range, and the compression type byte)
// with YYYY = 380926 x (90 - latitude) and XXXX = 190463 x (180 +
// longitude), each four base-91 digits ("!" is 0). A comment is printable
// ASCII without "|" and "~" (which start telemetry and are reserved), at
// most 43 characters; what is past that is cut.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "aprs/aprs_report.h"
#include "geo/geo_point.h"

namespace vorlink {

inline constexpr std::size_t kMaxBeaconComment = 43;
inline constexpr AprsSymbol kDefaultBeaconSymbol{'/', '-'};  // House QTH (VHF)

// "/-": a table ("/", "\" or an overlay A-Z, 0-9) and a code "!".."~".
std::optional<AprsSymbol> ParseSymbolText(std::string_view text);
std::string SymbolText(AprsSymbol symbol);

// The comment as it can be sent.
std::string BeaconComment(std::string_view typed);

// "4903.50N/07201.75W>" or its compressed form "/5L!!<*e7>  !" (see above):
// the position part that reports and objects share.
std::string PositionField(GeoPoint point, AprsSymbol symbol, bool compressed);

// The whole information field of a position beacon without time stamp.
std::string BeaconInfo(GeoPoint point, AprsSymbol symbol, std::string_view comment,
                       bool compressed);

}  // namespace vorlink
