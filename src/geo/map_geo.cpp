#include "geo/map_geo.h"

#include "geo/geo_point.h"

namespace vorlink {
namespace {

GeoPoint Geo(LatLon point) { return {point.latitude, point.longitude}; }

}  // namespace

std::string MapLocator(LatLon point, int characters) { return MaidenheadFromPoint(Geo(point), characters); }

std::optional<double> MapDistanceKm(LatLon from, LatLon to) { return DistanceKm(Geo(from), Geo(to)); }

std::optional<double> MapBearingDegrees(LatLon from, LatLon to) {
  return BearingDegrees(Geo(from), Geo(to));
}

}  // namespace vorlink
