// The map's viewport without a window: degrees to pixels and back (the date
// line too), panning that wraps east and west and stops at the poles,
// zooming round the pointer, and fitting a box.
#include "geo/map_viewport.h"

#include <gtest/gtest.h>

namespace vorlink {
namespace {

MapViewport Port(GeoPoint centre, int zoom, double width = 400, double height = 300) {
  MapViewport port;
  port.Resize(width, height);
  port.CentreOn(centre);
  port.SetZoom(zoom);
  return port;
}

TEST(MapViewportTest, PointsLieAtTheirPixelsAndBack) {
  const struct {
    const char* name;
    GeoPoint centre;
    int zoom;
    GeoPoint point;
    ViewPixel pixel;
  } rows[] = {
      {"the centre is the view's middle", {50, 8}, 9, {50, 8}, {200, 150}},
      {"a quarter world east at zoom 1", {0, 0}, 1, {0, 90}, {328, 150}},
      {"north of the centre", {0, 0}, 3, {10, 0}, {200, 150 - 57.18}},
      {"across the date line, east of it", {0, 179}, 4, {0, -179}, {200 + 22.76, 150}},
      {"across the date line, west of it", {0, -179}, 4, {0, 179}, {200 - 22.76, 150}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const MapViewport port = Port(row.centre, row.zoom);
    const ViewPixel at = port.PixelOf(row.point);
    EXPECT_NEAR(at.x, row.pixel.x, 0.05);
    EXPECT_NEAR(at.y, row.pixel.y, 0.05);
    const GeoPoint back = port.PointAt(at);
    EXPECT_NEAR(back.latitude, row.point.latitude, 1e-9);
    EXPECT_NEAR(back.longitude, row.point.longitude, 1e-9);
  }
}

TEST(MapViewportTest, PanningMovesTheMapWithThePointerWrapsAndStopsAtThePoles) {
  const struct {
    const char* name;
    GeoPoint centre;
    int zoom;
    double dx, dy;
    GeoPoint after;
  } rows[] = {
      {"dragged right shows the west", {0, 0}, 1, 128, 0, {0, -90}},
      {"dragged left over the date line wraps", {0, 170}, 0, -256 * 20.0 / 360, 0, {0, -170}},
      {"dragged down shows the north", {0, 0}, 0, 0, 128, {kMercatorMaxLatitude, 0}},
      {"dragged past the north edge stops there", {0, 0}, 0, 0, 10'000, {kMercatorMaxLatitude, 0}},
      {"dragged past the south edge stops there", {0, 0}, 0, 0, -10'000, {-kMercatorMaxLatitude, 0}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    MapViewport port = Port(row.centre, row.zoom);
    port.PanBy(row.dx, row.dy);
    EXPECT_NEAR(port.Centre().latitude, row.after.latitude, 1e-6);
    EXPECT_NEAR(port.Centre().longitude, row.after.longitude, 1e-6);
    EXPECT_GE(port.CentreFraction().x, 0);
    EXPECT_LT(port.CentreFraction().x, 1);
  }
}

TEST(MapViewportTest, ZoomingKeepsThePointUnderThePointer) {
  const struct {
    const char* name;
    int from, to;
    ViewPixel pointer;
    bool changed;
  } rows[] = {
      {"in at the middle", 5, 6, {200, 150}, true},
      {"in at a corner", 5, 8, {10, 20}, true},
      {"out at a corner", 9, 4, {390, 290}, true},
      {"past the last zoom is the last", 19, 25, {100, 100}, false},
      {"below the first is the first", 0, -3, {100, 100}, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    MapViewport port = Port({48.1, 11.5}, row.from);
    const GeoPoint under = port.PointAt(row.pointer);
    EXPECT_EQ(port.ZoomAround(row.to, row.pointer), row.changed);
    EXPECT_EQ(port.Zoom(), std::clamp(row.to, kMinMapZoom, kMaxMapZoom));
    const GeoPoint still = port.PointAt(row.pointer);
    EXPECT_NEAR(still.latitude, under.latitude, 1e-9);
    EXPECT_NEAR(still.longitude, under.longitude, 1e-9);
  }
}

TEST(MapViewportTest, FitHoldsTheBoxAtTheClosestZoom) {
  MapViewport port = Port({0, 0}, 2, 800, 600);
  port.Fit({47, 5}, {55, 15}, 32);
  EXPECT_EQ(port.Zoom(), ZoomToFit({47, 5}, {55, 15}, 800 - 32, 600 - 32));
  for (const GeoPoint corner : {GeoPoint{47, 5}, GeoPoint{55, 15}}) {
    const ViewPixel at = port.PixelOf(corner);
    EXPECT_GE(at.x, 16 - 1e-6);
    EXPECT_LE(at.x, 800 - 16 + 1e-6);
    EXPECT_GE(at.y, 16 - 1e-6);
    EXPECT_LE(at.y, 600 - 16 + 1e-6);
  }
  const ViewPixel origin = port.WorldOrigin();
  const WorldPoint topLeft = port.TopLeft();
  EXPECT_DOUBLE_EQ(origin.x, -topLeft.x);
  EXPECT_DOUBLE_EQ(origin.y, -topLeft.y);
}

}  // namespace
}  // namespace vorlink
