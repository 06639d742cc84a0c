// The one point on the earth of every folder (the heard list, the map, the
// --within filter): Maidenhead locators, great-circle distance and bearing,
// and the units they are measured in.
#pragma once

#include <numbers>
#include <optional>
#include <string>
#include <string_view>

namespace vorlink {

inline constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
constexpr double Radians(double degrees) { return degrees / kDegreesPerRadian; }

// The earth's mean radius (IUGG), for great circles and distances on the ground.
inline constexpr double kEarthRadiusKm = 6371.0088;
inline constexpr double kKnotsToKmh = 1.852;
// A locator's usual length, a square of about 5 by 2.5 km.
inline constexpr int kLocatorCharacters = 6;
// Decimal degrees shown for a position: about a metre.
inline constexpr int kPositionDecimals = 5;

struct GeoPoint {
  double latitude = 0;   // degrees, north positive
  double longitude = 0;  // degrees, east positive

  bool operator==(const GeoPoint&) const = default;
};

// The locator of a point, 2 to 10 characters (pairs); "JO62QM" for Berlin.
std::string MaidenheadFromPoint(GeoPoint point, int characters = kLocatorCharacters);
// The centre of the square a locator of 2 to 10 characters names, any case.
std::optional<GeoPoint> PointFromMaidenhead(std::string_view locator);

// Great circle on a sphere of the mean earth radius.
double DistanceKm(GeoPoint from, GeoPoint to);
// Initial bearing from `from` towards `to`, 0..360 degrees from true north.
double BearingDegrees(GeoPoint from, GeoPoint to);

// "LAT,LON" in decimal degrees, as --near takes it.
std::optional<GeoPoint> ParseGeoPoint(std::string_view text);

}  // namespace vorlink
