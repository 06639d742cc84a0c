#include "geo/track_jump.h"

#include <cmath>

namespace vorlink {
namespace {

constexpr double kKmPerDegree = Radians(kEarthRadiusKm);
constexpr double kMillisecondsPerHour = 3'600'000;

// Degrees of longitude east, the short way round.
double EastDegrees(GeoPoint a, GeoPoint b) {
  const double east = b.longitude - a.longitude;
  return std::abs(east) > 180 ? std::remainder(east, 360.0) : east;
}

}  // namespace

// Asked for every position of every track, so the cosine of a flat-earth
// distance is left to the few moves that the degrees alone cannot tell,
// which is close enough to tell a journey from a jump.
bool PlausibleMove(const TrackPoint& from, const TrackPoint& to) {
  const double hours = std::abs(static_cast<double>(to.time - from.time)) / kMillisecondsPerHour;
  const double reach = (kTrackJumpSlackKm + kFastestStationKmh * hours) / kKmPerDegree;
  const double north = std::abs(to.position.latitude - from.position.latitude);
  if (north > reach) return false;
  double east = std::abs(EastDegrees(from.position, to.position));
  if (north + east <= reach) return true;
  east *= std::cos(Radians((from.position.latitude + to.position.latitude) / 2));
  return north * north + east * east <= reach * reach;
}

}  // namespace vorlink
