// The columns of the stations-heard table, one row of this table each: its
// title, its side, the text a station shows in it and the key it sorts by.
// A new column is one more row here (and a field of HeardStation to read).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "decode/heard_list.h"

namespace vorlink {

enum class HeardAlign { Left, Right };

struct HeardColumn {
  const char* title;
  HeardAlign align;
  std::string (*text)(const HeardStation&);
  // Numbers and times sort by value; null: by the text.
  std::int64_t (*key)(const HeardStation&);
};

inline constexpr std::array<HeardColumn, 6> kHeardColumns{{
    {"Callsign", HeardAlign::Left, [](const HeardStation& s) { return s.callsign; }, nullptr},
    {"Frames", HeardAlign::Right, [](const HeardStation& s) { return std::to_string(s.frames); },
     [](const HeardStation& s) { return static_cast<std::int64_t>(s.frames); }},
    {"First heard (UTC)", HeardAlign::Left,
     [](const HeardStation& s) { return HeardTimeText(s.firstHeard); },
     [](const HeardStation& s) { return s.firstHeard; }},
    {"Last heard (UTC)", HeardAlign::Left,
     [](const HeardStation& s) { return HeardTimeText(s.lastHeard); },
     [](const HeardStation& s) { return s.lastHeard; }},
    {"Direct", HeardAlign::Right, [](const HeardStation& s) { return std::to_string(s.direct); },
     [](const HeardStation& s) { return static_cast<std::int64_t>(s.direct); }},
    {"Via", HeardAlign::Right, [](const HeardStation& s) { return std::to_string(s.via); },
     [](const HeardStation& s) { return static_cast<std::int64_t>(s.via); }},
}};

inline constexpr int kHeardCallsignColumn = 0;
inline constexpr int kHeardFramesColumn = 1;

}  // namespace vorlink
