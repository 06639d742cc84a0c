// The map's settings, kept in vorlink.conf [map]: how long tracks stay, the
// range rings, the tile server and its disk cache, and whether online tiles
// are on. Missing or unusable values read as the defaults.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlink {

inline constexpr double kDefaultTrackHours = 2;
inline constexpr std::int64_t kDefaultTileCacheMib = 200;
inline constexpr std::size_t kMaxRangeRings = 16;
inline constexpr double kMaxTrackHours = 24 * 31;
inline constexpr std::int64_t kMaxTileCacheMib = std::int64_t{1} << 20;

struct MapSettings {
  double trackHours = kDefaultTrackHours;
  std::vector<double> ringsKm{10, 25, 50, 100};
  std::string tileUrl = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
  bool onlineTiles = false;
  std::int64_t tileCacheMib = kDefaultTileCacheMib;

  friend bool operator==(const MapSettings&, const MapSettings&) = default;
};

// "10, 25,50" into distances; nothing when any is no positive number.
std::optional<std::vector<double>> ParseRangeRings(std::string_view text);
// The distances as ParseRangeRings reads them back: "10,25,50".
std::string RangeRingsText(const std::vector<double>& rings);
// A URL template with {z}, {x} and {y}, over http or https.
bool UsableTileUrl(std::string_view url);

}  // namespace vorlink
