// The map's stations: last reports, tracks of those that moved, and the
// bounds a flood of names or positions meets.
#include "geo/track_store.h"

#include <gtest/gtest.h>

namespace vorlink {
namespace {

StationReport At(const std::string& name, double lat, double lon, std::int64_t time, bool object = false) {
  StationReport r;
  r.name = name;
  r.object = object;
  r.position = {lat, lon};
  r.time = time;
  return r;
}

TEST(TrackStoreTest, KeepsTheLastReportAndTheTrackOfAMovingStation) {
  TrackStore store;
  const struct {
    StationReport report;
    std::size_t stations;
    std::size_t trackOfFirst;
  } rows[] = {
      {At("N0CALL-9", 50, 8, 1000), 1, 1},
      {At("N0CALL-9", 50, 8, 2000), 1, 1},          // stayed put: one position
      {At("N0CALL-9", 50.1, 8, 3000), 1, 2},        // moved
      {At("N0CALL-9", 50.1, 8, 4000, true), 2, 2},  // an object of that name is another
      {At("DB0ABC", 49, 7, 5000), 3, 2},
  };
  for (const auto& row : rows) {
    EXPECT_TRUE(store.Add(row.report));
    EXPECT_EQ(store.Size(), row.stations);
    EXPECT_EQ(store.At(0).track.size(), row.trackOfFirst);
  }
  const MapStation& first = store.At(0);
  EXPECT_EQ(first.last.time, 3000);
  EXPECT_TRUE(first.Moved());
  EXPECT_EQ(first.track.front().time, 1000);
  EXPECT_EQ(store.Find("N0CALL-9", true), std::optional<std::size_t>{1});
  EXPECT_EQ(store.Find("DB0ABC", true), std::nullopt);
  EXPECT_EQ(store.StoredPoints(), 4u);

  store.ForgetBefore(2500);
  EXPECT_EQ(store.At(0).track.size(), 1u);  // the last position stays
  EXPECT_EQ(store.At(0).track.front().time, 3000);
  EXPECT_EQ(store.StoredPoints(), 3u);
}

TEST(TrackStoreTest, BoundsTracksAndNames) {
  TrackStore store;
  for (std::size_t i = 0; i <= kMaxTrackPoints; ++i) {
    store.Add(At("MOVER", 0, static_cast<double>(i) / 1000, static_cast<std::int64_t>(i)));
  }
  EXPECT_EQ(store.At(0).track.size(), kMaxTrackPoints);
  EXPECT_EQ(store.At(0).track.front().time, 1);  // the oldest went
  EXPECT_EQ(store.StoredPoints(), kMaxTrackPoints);

  for (std::size_t i = 1; i < kMaxMapStations; ++i) store.Add(At("S" + std::to_string(i), 0, 0, 0));
  EXPECT_EQ(store.Size(), kMaxMapStations);
  EXPECT_FALSE(store.Add(At("ONEMORE", 0, 0, 0)));
  EXPECT_TRUE(store.Add(At("S1", 1, 1, 1)));  // known names still move
  EXPECT_EQ(store.Overflow(), 1u);
}

TEST(TrackStoreTest, AllPositionsTogetherStayBoundedOldestFirst) {
  TrackStore store;
  const std::size_t stations = kMaxStoredPoints / kMaxTrackPoints + 10;
  // Every station fills its track in turn; the first ones lose theirs to the last.
  for (std::size_t s = 0; s < stations; ++s) {
    for (std::size_t i = 0; i < kMaxTrackPoints; ++i) {
      store.Add(At("S" + std::to_string(s), 0, static_cast<double>(i) / 1000, static_cast<std::int64_t>(i)));
    }
  }
  EXPECT_LE(store.StoredPoints(), kMaxStoredPoints + stations);
  EXPECT_EQ(store.At(0).track.size(), 1u);  // only its last position left
  EXPECT_EQ(store.At(stations - 1).track.size(), kMaxTrackPoints);
}

TEST(TrackStoreTest, TellsWhichRowsChangedOnceEachInRowOrder) {
  TrackStore store;
  const struct {
    std::vector<const char*> heard;
    std::vector<std::size_t> changed;
  } rows[] = {
      {{"A", "B", "C"}, {0, 1, 2}},
      {{"C", "A", "C"}, {0, 2}},  // each row once, in row order
      {{}, {}},                   // taken: nothing left
      {{"D", "B"}, {1, 3}},
  };
  for (const auto& row : rows) {
    for (const char* name : row.heard) store.Add(At(name, 0, 0, 0));
    EXPECT_EQ(store.TakeChanged(), row.changed);
  }
  store.Add(At("A", 1, 1, 1));
  store.Clear();
  EXPECT_TRUE(store.TakeChanged().empty());  // no row of a cleared store
}

}  // namespace
}  // namespace vorlink
