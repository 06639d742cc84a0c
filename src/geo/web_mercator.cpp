#include "geo/web_mercator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "geo/geo_point.h"

namespace vorlink {
double WorldPixels(int zoom) {
  return std::ldexp(double{kTilePixels}, std::clamp(zoom, kMinMapZoom, kMaxMapZoom));
}

double WrapLongitude(double longitude) {
  if (!std::isfinite(longitude)) return 0;
  double wrapped = std::fmod(longitude + 180.0, 360.0);
  if (wrapped < 0) wrapped += 360.0;
  return wrapped - 180.0;
}

double ClampLatitude(double latitude) {
  if (std::isnan(latitude)) return 0;
  return std::clamp(latitude, -kMercatorMaxLatitude, kMercatorMaxLatitude);
}

WorldPoint ToWorld(GeoPoint point, int zoom) {
  const double size = WorldPixels(zoom);
  const double lat = Radians(ClampLatitude(point.latitude));
  const double x = (WrapLongitude(point.longitude) + 180.0) / 360.0 * size;
  const double y = (1.0 - std::asinh(std::tan(lat)) / std::numbers::pi) / 2.0 * size;
  return {x, std::clamp(y, 0.0, size)};
}

GeoPoint FromWorld(WorldPoint point, int zoom) {
  const double size = WorldPixels(zoom);
  const double y = std::clamp(point.y, 0.0, size);
  const double n = std::numbers::pi * (1.0 - 2.0 * y / size);
  return {std::atan(std::sinh(n)) * kDegreesPerRadian, WrapLongitude(point.x / size * 360.0 - 180.0)};
}

TileId TileAt(GeoPoint point, int zoom) {
  zoom = std::clamp(zoom, kMinMapZoom, kMaxMapZoom);
  const WorldPoint w = ToWorld(point, zoom);
  const int last = (1 << zoom) - 1;
  return {zoom, std::min(static_cast<int>(w.x / kTilePixels), last),
          std::min(static_cast<int>(w.y / kTilePixels), last)};
}

std::vector<TileId> TilesCovering(WorldPoint topLeft, double width, double height, int zoom) {
  zoom = std::clamp(zoom, kMinMapZoom, kMaxMapZoom);
  const std::int64_t count = std::int64_t{1} << zoom;
  const auto first = [](double v) { return static_cast<std::int64_t>(std::floor(v / kTilePixels)); };
  const std::int64_t x0 = first(topLeft.x);
  const std::int64_t y0 = std::max<std::int64_t>(first(topLeft.y), 0);
  // A view wider than the world shows each column once.
  const std::int64_t x1 = std::min(first(topLeft.x + width - 1), x0 + count - 1);
  const std::int64_t y1 = std::min(first(topLeft.y + height - 1), count - 1);
  std::vector<TileId> tiles;
  for (std::int64_t y = y0; y <= y1; ++y) {
    for (std::int64_t x = x0; x <= x1; ++x) {
      const std::int64_t column = ((x % count) + count) % count;
      tiles.push_back({zoom, static_cast<int>(column), static_cast<int>(y)});
    }
  }
  return tiles;
}

double MetresPerPixel(double latitude, int zoom) {
  return 2.0 * std::numbers::pi * kWebMercatorSphereRadiusM * std::cos(Radians(ClampLatitude(latitude))) /
         WorldPixels(zoom);
}

int ZoomToFit(GeoPoint southWest, GeoPoint northEast, double width, double height) {
  for (int zoom = kMaxMapZoom; zoom > kMinMapZoom; --zoom) {
    const WorldPoint a = ToWorld({northEast.latitude, southWest.longitude}, zoom);
    const WorldPoint b = ToWorld({southWest.latitude, northEast.longitude}, zoom);
    double spanX = b.x - a.x;
    if (spanX < 0) spanX += WorldPixels(zoom);  // across the date line
    if (spanX <= width && b.y - a.y <= height) return zoom;
  }
  return kMinMapZoom;
}

}  // namespace vorlink
