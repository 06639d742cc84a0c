// A track breaks where a station could not have got to its next position in
// the time between the two reports.
#include "geo/track_jump.h"

#include <gtest/gtest.h>

namespace vorlink {
namespace {

constexpr std::int64_t kMinute = 60'000;

TEST(TrackJumpTest, AMoveBeyondTheFastestStationBreaksTheTrack) {
  const struct {
    const char* what;
    GeoPoint from, to;
    std::int64_t minutes;
    bool plausible;
  } rows[] = {
      {"a car's minute", {48.0, 11.0}, {48.01, 11.01}, 1, true},
      {"the same spot heard twice at once", {48.0, 11.0}, {48.0, 11.0}, 0, true},
      {"an ambiguous position against a precise one", {48.0, 11.0}, {48.3, 11.3}, 0, true},
      {"an airliner's five minutes (100 km)", {48.0, 11.0}, {48.0, 12.35}, 5, true},
      {"across the date line, a few kilometres", {0.0, 179.99}, {0.0, -179.99}, 1, true},
      {"Munich to Sydney in a minute", {48.0, 11.0}, {-33.9, 151.2}, 1, false},
      {"500 km in ten minutes", {48.0, 11.0}, {52.5, 11.0}, 10, false},
      {"500 km in an hour, flown", {48.0, 11.0}, {52.5, 11.0}, 60, true},
      {"far north, a short hop over many meridians", {89.99, 0.0}, {89.99, 120.0}, 1, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const TrackPoint from{row.from, 0}, to{row.to, row.minutes * kMinute};
    EXPECT_EQ(PlausibleMove(from, to), row.plausible);
    EXPECT_EQ(PlausibleMove(to, from), row.plausible);  // either way round
  }
}

}  // namespace
}  // namespace vorlink
