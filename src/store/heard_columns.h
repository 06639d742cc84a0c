// The columns of the stations-heard table, one row of this table each: its
// title, its side, the text a station shows in it and the key it sorts by.
// A new column is one more row here (and a field of HeardStation to read).
// Distance and bearing are measured from the station's own position, and
// are blank without one.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "geo/geo_point.h"
#include "store/heard_list.h"

namespace vorlink {

enum class HeardAlign { Left, Right };

using HeardFrom = std::optional<GeoPoint>;

struct HeardColumn {
  const char* title;
  HeardAlign align;
  std::string (*text)(const HeardStation&, const HeardFrom&);
  // Numbers and times sort by value; null: by the text.
  std::int64_t (*key)(const HeardStation&, const HeardFrom&);
};

// The APRS cells: "" when the station sent nothing of the kind.
std::string HeardSymbolText(const HeardStation& s);
std::string HeardPositionText(const HeardStation& s);
std::string HeardLocatorText(const HeardStation& s);
std::string HeardDistanceText(const HeardStation& s, const HeardFrom& from);
std::string HeardBearingText(const HeardStation& s, const HeardFrom& from);
std::string HeardMotionText(const HeardStation& s);
std::string HeardAltitudeText(const HeardStation& s);
std::string HeardWeatherText(const HeardStation& s);
// Keys: metres, degrees, tenths of km/h; blank cells sort before all.
std::int64_t HeardDistanceKey(const HeardStation& s, const HeardFrom& from);
std::int64_t HeardBearingKey(const HeardStation& s, const HeardFrom& from);
std::int64_t HeardSpeedKey(const HeardStation& s);
std::int64_t HeardAltitudeKey(const HeardStation& s);

inline constexpr std::array<HeardColumn, 15> kHeardColumns{{
    {"Callsign", HeardAlign::Left,
     [](const HeardStation& s, const HeardFrom&) { return s.callsign; }, nullptr},
    {"Frames", HeardAlign::Right,
     [](const HeardStation& s, const HeardFrom&) { return std::to_string(s.frames); },
     [](const HeardStation& s, const HeardFrom&) { return static_cast<std::int64_t>(s.frames); }},
    {"First heard (UTC)", HeardAlign::Left,
     [](const HeardStation& s, const HeardFrom&) { return HeardTimeText(s.firstHeard); },
     [](const HeardStation& s, const HeardFrom&) { return s.firstHeard; }},
    {"Last heard (UTC)", HeardAlign::Left,
     [](const HeardStation& s, const HeardFrom&) { return HeardTimeText(s.lastHeard); },
     [](const HeardStation& s, const HeardFrom&) { return s.lastHeard; }},
    {"Direct", HeardAlign::Right,
     [](const HeardStation& s, const HeardFrom&) { return std::to_string(s.direct); },
     [](const HeardStation& s, const HeardFrom&) { return static_cast<std::int64_t>(s.direct); }},
    {"Via", HeardAlign::Right,
     [](const HeardStation& s, const HeardFrom&) { return std::to_string(s.via); },
     [](const HeardStation& s, const HeardFrom&) { return static_cast<std::int64_t>(s.via); }},
    {"Symbol", HeardAlign::Left,
     [](const HeardStation& s, const HeardFrom&) { return HeardSymbolText(s); }, nullptr},
    {"Position", HeardAlign::Left,
     [](const HeardStation& s, const HeardFrom&) { return HeardPositionText(s); }, nullptr},
    {"Locator", HeardAlign::Left,
     [](const HeardStation& s, const HeardFrom&) { return HeardLocatorText(s); }, nullptr},
    {"Distance", HeardAlign::Right, HeardDistanceText, HeardDistanceKey},
    {"Bearing", HeardAlign::Right, HeardBearingText, HeardBearingKey},
    {"Course/speed", HeardAlign::Right,
     [](const HeardStation& s, const HeardFrom&) { return HeardMotionText(s); },
     [](const HeardStation& s, const HeardFrom&) { return HeardSpeedKey(s); }},
    {"Altitude", HeardAlign::Right,
     [](const HeardStation& s, const HeardFrom&) { return HeardAltitudeText(s); },
     [](const HeardStation& s, const HeardFrom&) { return HeardAltitudeKey(s); }},
    {"Comment or status", HeardAlign::Left,
     [](const HeardStation& s, const HeardFrom&) { return s.aprs.comment; }, nullptr},
    {"Weather", HeardAlign::Left,
     [](const HeardStation& s, const HeardFrom&) { return HeardWeatherText(s); }, nullptr},
}};

inline constexpr int kHeardCallsignColumn = 0;
inline constexpr int kHeardFramesColumn = 1;
inline constexpr int kHeardDistanceColumn = 9;
inline constexpr int kHeardBearingColumn = 10;

}  // namespace vorlink
