#include "geo/geo_point.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/number_text.h"

namespace vorlink {
namespace {

constexpr int kMaxLocator = 10;

// Per pair: how many parts each square has, alternating letters and digits.
constexpr int kDivisions[kMaxLocator / 2] = {18, 10, 24, 10, 24};

}  // namespace

std::string MaidenheadFromPoint(GeoPoint point, int characters) {
  characters = std::clamp(characters - characters % 2, 2, kMaxLocator);
  // Shifted to 0..360 and 0..180, kept just inside the last square.
  double lon = std::clamp(point.longitude + 180, 0.0, 359.9999999);
  double lat = std::clamp(point.latitude + 90, 0.0, 179.9999999);
  double lonSize = 360, latSize = 180;
  std::string out;
  for (int pair = 0; pair < characters / 2; ++pair) {
    const int n = kDivisions[pair];
    lonSize /= n;
    latSize /= n;
    const int x = static_cast<int>(lon / lonSize);
    const int y = static_cast<int>(lat / latSize);
    lon -= x * lonSize;
    lat -= y * latSize;
    const char base = n == 10 ? '0' : pair == 0 ? 'A' : 'a';
    out += static_cast<char>(base + x);
    out += static_cast<char>(base + y);
  }
  return out;
}

std::optional<GeoPoint> PointFromMaidenhead(std::string_view locator) {
  if (locator.size() < 2 || locator.size() > kMaxLocator || locator.size() % 2 != 0) {
    return std::nullopt;
  }
  double lon = 0, lat = 0, lonSize = 360, latSize = 180;
  for (std::size_t pair = 0; pair < locator.size() / 2; ++pair) {
    const int n = kDivisions[pair];
    int x = locator[2 * pair], y = locator[2 * pair + 1];
    if (n == 10) {
      x -= '0';
      y -= '0';
    } else {
      x = (x | 0x20) - 'a';  // either case
      y = (y | 0x20) - 'a';
    }
    if (x < 0 || x >= n || y < 0 || y >= n) return std::nullopt;
    lonSize /= n;
    latSize /= n;
    lon += x * lonSize;
    lat += y * latSize;
  }
  return GeoPoint{lat + latSize / 2 - 90, lon + lonSize / 2 - 180};
}

double DistanceKm(GeoPoint from, GeoPoint to) {
  const double p1 = Radians(from.latitude), p2 = Radians(to.latitude);
  const double dp = p2 - p1, dl = Radians(to.longitude - from.longitude);
  const double a = std::sin(dp / 2) * std::sin(dp / 2) +
                   std::cos(p1) * std::cos(p2) * std::sin(dl / 2) * std::sin(dl / 2);
  return 2 * kEarthRadiusKm * std::atan2(std::sqrt(a), std::sqrt(std::max(0.0, 1 - a)));
}

double BearingDegrees(GeoPoint from, GeoPoint to) {
  const double p1 = Radians(from.latitude), p2 = Radians(to.latitude);
  const double dl = Radians(to.longitude - from.longitude);
  const double y = std::sin(dl) * std::cos(p2);
  const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
  const double b = std::atan2(y, x) * kDegreesPerRadian;
  return b < 0 ? b + 360 : b;
}

std::optional<GeoPoint> ParseGeoPoint(std::string_view text) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const auto lat = Decimal(text.substr(0, comma));
  const auto lon = Decimal(text.substr(comma + 1));
  if (!lat || !lon || std::abs(*lat) > 90 || std::abs(*lon) > 180) return std::nullopt;
  return GeoPoint{*lat, *lon};
}

}  // namespace vorlink
