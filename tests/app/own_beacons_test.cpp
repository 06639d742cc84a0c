#include "app/own_beacons.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlink {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;

// What went out by each time (seconds from the port's opening) when the
// rig is ticked every second up to it.
struct BeaconRig {
  OwnBeacons beacons;
  std::chrono::steady_clock::time_point start{};
  int at = 0;
  std::vector<std::pair<int, std::string>> sent;

  void RunTo(int second) {
    for (; at <= second; ++at) {
      beacons.Tick(start + seconds(at), DateTime{2026, 12, 8, 12, 0, 0, 0},
                   [&](const std::string& info) { sent.emplace_back(at, info); });
    }
  }
  std::vector<int> Times() const {
    std::vector<int> times;
    for (const auto& s : sent) times.push_back(s.first);
    return times;
  }
};

BeaconSettings On(int minutes) {
  BeaconSettings b;
  b.enabled = true;
  b.intervalMinutes = minutes;
  b.comment = "vorlink";
  return b;
}

struct IntervalRow {
  std::string name;
  BeaconSettings settings;
  bool position;
  std::vector<int> times;
};

TEST(OwnBeaconsTest, FirstBeaconTenSecondsAfterTheOpeningThenAtTheInterval) {
  const std::vector<IntervalRow> rows = {
      {"the default 30 min", On(30), true, {10, 10 + 1800, 10 + 3600}},
      {"never under 10 min", On(2), true, {10, 610, 1210, 1810, 2410, 3010, 3610}},
      {"off", BeaconSettings{}, true, {}},
      {"no position to tell", On(30), false, {}},
  };
  for (const IntervalRow& row : rows) {
    SCOPED_TRACE(row.name);
    BeaconRig rig;
    rig.beacons.SetBeacon(row.settings);
    if (row.position) rig.beacons.SetPosition(GeoPoint{49.5, -72.75});
    rig.RunTo(5);  // before the port opened nothing goes
    rig.beacons.Start(rig.start + seconds(5));
    rig.RunTo(3620);
    std::vector<int> expected;
    for (int t : row.times) expected.push_back(t + 5);
    EXPECT_EQ(rig.Times(), expected);
    if (!rig.sent.empty()) EXPECT_EQ(rig.sent[0].second, "!4930.00N/07245.00W-vorlink");
  }
}

TEST(OwnBeaconsTest, AnObjectDecaysFromTenSecondsToTenMinutesAndGoesKilledThreeTimes) {
  BeaconRig rig;
  const OwnObject object{"NET", {49.5, -72.75}, {'/', 'E'}, "tonight"};
  ASSERT_TRUE(rig.beacons.Place(object, rig.start));
  rig.RunTo(2000);
  EXPECT_EQ(rig.Times(), (std::vector<int>{0, 10, 30, 70, 150, 310, 630, 1230, 1830}));
  EXPECT_EQ(rig.beacons.LiveObjects(), std::vector<OwnObject>{object});

  rig.sent.clear();
  ASSERT_TRUE(rig.beacons.Kill("NET", rig.start + seconds(2001)));
  EXPECT_FALSE(rig.beacons.Kill("NET", rig.start + seconds(2001)));
  rig.RunTo(4000);
  EXPECT_EQ(rig.Times(), (std::vector<int>{2001, 2011, 2031}));
  for (const auto& s : rig.sent) EXPECT_EQ(s.second.substr(10, 1), "_");
  EXPECT_TRUE(rig.beacons.LiveObjects().empty());
}

TEST(OwnBeaconsTest, ObjectsAreBounded) {
  OwnBeacons beacons;
  const std::chrono::steady_clock::time_point now{};
  for (std::size_t k = 0; k < kMostObjects; ++k) {
    ASSERT_TRUE(beacons.Place({"O" + std::to_string(k), {0, 0}, {'/', 'E'}, ""}, now));
  }
  EXPECT_FALSE(beacons.Place({"ONE MORE", {0, 0}, {'/', 'E'}, ""}, now));
  EXPECT_TRUE(beacons.Place({"O1", {1, 1}, {'/', 'E'}, "moved"}, now));  // the same one, moved
  EXPECT_EQ(beacons.LiveObjects().size(), kMostObjects);
}

}  // namespace
}  // namespace vorlink
