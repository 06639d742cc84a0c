// Web Mercator and slippy-map tiles at known points, the poles' clamp and the
// date line.
#include "geo/web_mercator.h"

#include <gtest/gtest.h>

namespace vorlink {
namespace {

struct WorldRow {
  const char* name;
  GeoPoint point;
  int zoom;
  WorldPoint world;
  TileId tile;
};

const WorldRow kWorldRows[] = {
    {"null island, zoom 0", {0, 0}, 0, {128, 128}, {0, 0, 0}},
    {"Berlin", {52.52, 13.405}, 10, {140833.2231, 85971.4777}, {10, 550, 335}},
    {"Sydney", {-33.8688, 151.2093}, 12, {964717.0082, 629242.3327}, {12, 3768, 2457}},
    {"Greenwich, just west", {51.4779, -0.0015}, 15, {4194269.0475, 2790530.3120}, {15, 16383, 10900}},
    {"north pole clamped to the top edge", {90, 0}, 1, {256, 0}, {1, 1, 0}},
    {"south pole clamped to the bottom edge", {-90, 0}, 1, {256, 512}, {1, 1, 1}},
    {"just west of the date line", {0, 179.999}, 3, {2047.9943, 1024}, {3, 7, 4}},
    {"the date line itself is its west side", {0, 180}, 3, {0, 1024}, {3, 0, 4}},
    {"longitudes beyond it wrap", {0, 540}, 3, {0, 1024}, {3, 0, 4}},
    {"zoom beyond the last is the last", {0, -180}, 25, {0, 67108864}, {19, 0, 262144}},
};

TEST(WebMercatorTest, KnownPointsProjectAndLieInTheirTiles) {
  for (const WorldRow& row : kWorldRows) {
    SCOPED_TRACE(row.name);
    const WorldPoint w = ToWorld(row.point, row.zoom);
    EXPECT_NEAR(w.x, row.world.x, 1e-3);
    EXPECT_NEAR(w.y, row.world.y, 1e-3);
    EXPECT_EQ(TileAt(row.point, row.zoom), row.tile);
    const GeoPoint back = FromWorld(w, row.zoom);
    EXPECT_NEAR(back.latitude, ClampLatitude(row.point.latitude), 1e-9);
    EXPECT_NEAR(back.longitude, WrapLongitude(row.point.longitude), 1e-9);
  }
}

TEST(WebMercatorTest, WrapsAndClamps) {
  const struct {
    double in, wrapped;
  } rows[] = {{180, -180}, {-180, -180}, {190, -170}, {-190, 170}, {720.5, 0.5}, {0, 0}};
  for (const auto& row : rows) EXPECT_DOUBLE_EQ(WrapLongitude(row.in), row.wrapped) << row.in;
  EXPECT_DOUBLE_EQ(ClampLatitude(89), kMercatorMaxLatitude);
  EXPECT_DOUBLE_EQ(ClampLatitude(-89), -kMercatorMaxLatitude);
  EXPECT_DOUBLE_EQ(FromWorld({0, -50}, 2).latitude, FromWorld({0, 0}, 2).latitude);
}

struct CoverRow {
  const char* name;
  WorldPoint topLeft;
  double width, height;
  int zoom;
  std::vector<TileId> tiles;
};

TEST(WebMercatorTest, TilesCoveringAViewWrapAtTheDateLineAndStopAtThePoles) {
  const CoverRow rows[] = {
      {"one tile exactly", {256, 256}, 256, 256, 2, {{2, 1, 1}}},
      {"one pixel into the next", {255, 0}, 2, 1, 2, {{2, 0, 0}, {2, 1, 0}}},
      {"across the date line", {768, 0}, 512, 256, 2, {{2, 3, 0}, {2, 0, 0}}},
      {"left of the world wraps east", {-256, 256}, 256, 256, 1, {{1, 1, 1}}},
      {"above and below the poles left out", {0, -300}, 256, 1200, 1, {{1, 0, 0}, {1, 0, 1}}},
      {"a view wider than the world shows each column once", {0, 0}, 2000, 256, 1,
       {{1, 0, 0}, {1, 1, 0}}},
  };
  for (const CoverRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(TilesCovering(row.topLeft, row.width, row.height, row.zoom), row.tiles);
  }
}

TEST(WebMercatorTest, ScaleAndFit) {
  EXPECT_NEAR(MetresPerPixel(0, 0), 156543.034, 1e-3);
  EXPECT_NEAR(MetresPerPixel(60, 1), 156543.034 / 4, 1e-3);
  // Europe, about 40 by 30 degrees, in an 800 x 600 view.
  EXPECT_EQ(ZoomToFit({35, -10}, {65, 30}, 800, 600), 4);
  // One point fits at the closest zoom; a span across the date line is narrow.
  EXPECT_EQ(ZoomToFit({10, 10}, {10, 10}, 800, 600), kMaxMapZoom);
  EXPECT_EQ(ZoomToFit({-20, 175}, {-10, -175}, 800, 600), ZoomToFit({-20, -5}, {-10, 5}, 800, 600));
}

}  // namespace
}  // namespace vorlink
