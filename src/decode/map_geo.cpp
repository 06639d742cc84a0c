#include "decode/map_geo.h"

namespace vorlink {

// TODO(map): answer through MaidenheadFromPoint, DistanceKm and
// BearingDegrees of decode/aprs_geo.h once the APRS decoder is in.

std::string MapLocator(LatLon, int) { return {}; }

std::optional<double> MapDistanceKm(LatLon, LatLon) { return std::nullopt; }

std::optional<double> MapBearingDegrees(LatLon, LatLon) { return std::nullopt; }

}  // namespace vorlink
