#include "decode/track_jump.h"

#include <cmath>
#include <numbers>

namespace vorlink {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180;
constexpr double kKmPerDegree = kEarthRadiusMetres / 1000 * kRadiansPerDegree;
constexpr double kMillisecondsPerHour = 3'600'000;

// Flat-earth kilometres: a cosine instead of the great circle's several
// functions, for every position of every track, and close enough to tell a
// journey from a jump.
double RoughKmSquared(LatLon a, LatLon b) {
  const double east = std::remainder(b.longitude - a.longitude, 360.0) *
                      std::cos((a.latitude + b.latitude) / 2 * kRadiansPerDegree);
  const double north = b.latitude - a.latitude;
  return (east * east + north * north) * kKmPerDegree * kKmPerDegree;
}

}  // namespace

bool PlausibleMove(const TrackPoint& from, const TrackPoint& to) {
  const double hours = std::abs(static_cast<double>(to.time - from.time)) / kMillisecondsPerHour;
  const double reach = kTrackJumpSlackKm + kFastestStationKmh * hours;
  return RoughKmSquared(from.position, to.position) <= reach * reach;
}

}  // namespace vorlink
