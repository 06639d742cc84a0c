// Web Mercator, the projection of slippy-map tiles: at zoom z the world is a
// square of 256 * 2^z pixels, x growing east from longitude -180 and y south
// from the latitude where the square closes (about 85.0511 degrees; the poles
// beyond it are clamped onto its edge). Tile (z, x, y) is the 256-pixel square
// at column x and row y of that square. Longitudes wrap at the date line.
#pragma once

#include <cstdint>
#include <vector>

#include "geo/geo_point.h"

namespace vorlink {

inline constexpr double kMercatorMaxLatitude = 85.05112877980659;  // atan(sinh(pi))
inline constexpr int kTilePixels = 256;
inline constexpr int kMinMapZoom = 0;
inline constexpr int kMaxMapZoom = 19;
// The projection's own sphere (the WGS 84 equatorial radius), not the earth's mean radius.
inline constexpr double kWebMercatorSphereRadiusM = 6'378'137.0;

// A point of the world square at some zoom, in pixels.
struct WorldPoint {
  double x = 0;
  double y = 0;
};

struct TileId {
  int zoom = 0;
  int x = 0;
  int y = 0;
  friend bool operator==(TileId, TileId) = default;
};

// The world square's side at a zoom, in pixels.
double WorldPixels(int zoom);
// Into -180 <= longitude < 180.
double WrapLongitude(double longitude);
double ClampLatitude(double latitude);

WorldPoint ToWorld(GeoPoint point, int zoom);
// x outside the square wraps; y outside it clamps to the edge's latitude.
GeoPoint FromWorld(WorldPoint point, int zoom);

// The tile holding a point.
TileId TileAt(GeoPoint point, int zoom);
// The tiles a view of width x height pixels with its top left corner at
// topLeft touches, row by row; columns wrap round the date line, rows beyond
// the poles are left out. At most a view's worth: never an area ahead.
std::vector<TileId> TilesCovering(WorldPoint topLeft, double width, double height, int zoom);

// Ground metres one pixel spans at a latitude, for the scale bar and rings.
double MetresPerPixel(double latitude, int zoom);

// The zoom (rounded down, within the map's zooms) at which a span of
// degrees fits into a view, for "fit all stations".
int ZoomToFit(GeoPoint southWest, GeoPoint northEast, double width, double height);

}  // namespace vorlink
