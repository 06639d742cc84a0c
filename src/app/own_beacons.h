// When the own station's beacon and objects go, and what they say. Pure:
// fed monotonic times and the UTC time, it hands the information fields due
// to a sender (own_sender.h), which the 2 s bucket then paces.
//
// The beacon: the first 10 s after the port opened, then one per interval
// (30 min unless chosen, never under 10 min). An object: at once when
// placed, then at gaps that double from 10 s up to 10 min; a killed object
// goes three times, 10 s and 20 s apart, and is then forgotten. At most 50
// objects are kept; one more is refused.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "aprs/aprs_report.h"
#include "aprs/beacon_text.h"
#include "aprs/object_report.h"
#include "base/clock.h"
#include "geo/geo_point.h"

namespace vorlink {

inline constexpr int kDefaultBeaconMinutes = 30;
inline constexpr int kLeastBeaconMinutes = 10;
inline constexpr int kMostBeaconMinutes = 24 * 60;
inline constexpr std::chrono::seconds kFirstBeaconDelay{10};
inline constexpr std::chrono::seconds kFirstObjectGap{10};
inline constexpr std::chrono::minutes kLongestObjectGap{10};
inline constexpr int kKilledSends = 3;
inline constexpr std::size_t kMostObjects = 50;

struct BeaconSettings {
  bool enabled = false;
  AprsSymbol symbol = kDefaultBeaconSymbol;
  std::string comment;
  int intervalMinutes = kDefaultBeaconMinutes;
  bool compressed = false;

  friend bool operator==(const BeaconSettings&, const BeaconSettings&) = default;
};

// The interval as it is used: within 10 min and a day.
int UsableBeaconMinutes(int minutes);

class OwnBeacons {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  // An information field due now.
  using Send = std::function<void(const std::string& info)>;

  void SetBeacon(const BeaconSettings& settings) { beacon_ = settings; }
  void SetPosition(std::optional<GeoPoint> position) { position_ = position; }
  // The port opened: the beacon starts over, objects go again soon.
  void Start(TimePoint now);

  // False when 50 objects are kept already or the name is taken by a live one.
  bool Place(const OwnObject& object, TimePoint now);
  // False for a name not placed.
  bool Kill(std::string_view name, TimePoint now);
  // The live objects, for vorlink.conf.
  std::vector<OwnObject> LiveObjects() const;

  // Hands over everything due by now, beacon first.
  void Tick(TimePoint now, const DateTime& utc, const Send& send);

 private:
  struct Placed {
    OwnObject object;
    TimePoint next;
    std::chrono::steady_clock::duration gap;
    bool killed = false;
    int killsLeft = 0;  // sends of the killed object still to go
  };

  BeaconSettings beacon_;
  std::optional<GeoPoint> position_;
  std::optional<TimePoint> nextBeacon_;
  std::vector<Placed> objects_;
};

}  // namespace vorlink
