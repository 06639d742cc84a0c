// Whether a station can have got from one of its reports to the next, or the
// later one is a jump no station makes (a wrong or spoofed position, two
// stations sharing a callsign): a track is broken there, for a line across
// it would only cross the map from nowhere, and a flood of such lines is
// what a hostile peer would send to stall the map.
#pragma once

#include "geo/track_store.h"

namespace vorlink {

// Faster than an airliner with the jet stream behind it.
inline constexpr double kFastestStationKmh = 1'200;
// What two honest reports of one spot may differ by: positions rounded or
// made ambiguous, and a report repeated at once from an older fix.
inline constexpr double kTrackJumpSlackKm = 50;

bool PlausibleMove(const TrackPoint& from, const TrackPoint& to);

}  // namespace vorlink
