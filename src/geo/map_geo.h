// What the map asks of the locator and great-circle helpers, which live with
// the APRS decoder: the cursor's Maidenhead locator, the labels of the
// locator grid, and a station's distance and bearing from the own position.
#pragma once

#include <optional>
#include <string>

#include "geo/web_mercator.h"

namespace vorlink {

// The locator of a point, 2 to 10 characters.
std::string MapLocator(LatLon point, int characters);
// Great-circle kilometres and initial bearing (degrees from true north).
std::optional<double> MapDistanceKm(LatLon from, LatLon to);
std::optional<double> MapBearingDegrees(LatLon from, LatLon to);

}  // namespace vorlink
