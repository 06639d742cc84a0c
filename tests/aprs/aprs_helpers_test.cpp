// What the UI takes from a report besides its fields: symbol descriptions,
// locators, distance and bearing, and the labelled detail lines.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "aprs/aprs_decoder.h"
#include "aprs/aprs_detail.h"
#include "aprs/aprs_symbols.h"
#include "geo/geo_point.h"

namespace vorlink {
namespace {

TEST(AprsSymbolTest, DescribesBothTablesAndOverlays) {
  struct Case {
    char table, code;
    std::string_view description;
  };
  const Case cases[] = {
      {'/', '>', "Car"},
      {'\\', '>', "Cars & Vehicles"},
      {'3', '>', "Cars & Vehicles"},
      {'/', '_', "Weather Station (blue)"},
      {'/', '\'', "Small Aircraft"},
      {'\\', '`', "Rain"},
      {'/', '!', "Police, Sheriff"},
      {'/', '"', kUnknownSymbol},
      {'$', '>', kUnknownSymbol},
      {'/', ' ', kUnknownSymbol},
      {'/', '\x7f', kUnknownSymbol},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AprsSymbolDescription({c.table, c.code}), c.description) << c.table << c.code;
  }
}

TEST(AprsGeoTest, LocatorsBothWays) {
  struct Case {
    double lat, lon;
    int characters;
    std::string_view locator;
  };
  const Case cases[] = {
      {52.52, 13.405, 6, "JO62qm"},   {51.5074, -0.1278, 6, "IO91wm"},
      {-33.8688, 151.2093, 4, "QF56"}, {40.7128, -74.006, 6, "FN20xr"},
      {-90, -180, 2, "AA"},            {90, 180, 6, "RR99xx"},
      {52.52, 13.405, 10, "JO62qm84ot"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MaidenheadFromPoint({c.lat, c.lon}, c.characters), c.locator) << c.locator;
    const auto back = PointFromMaidenhead(c.locator);
    ASSERT_TRUE(back.has_value()) << c.locator;
    // The centre of the square lies within half a square of the point.
    const double halfLon = c.characters == 2 ? 10 : c.characters == 4 ? 1 : 1.0 / 24;
    EXPECT_NEAR(back->longitude, c.lon, halfLon + 1e-9) << c.locator;
  }
  for (std::string_view bad : {"", "J", "JO6", "ZZ", "JO6A", "JOAA", "JO62qz"}) {
    EXPECT_FALSE(PointFromMaidenhead(bad).has_value()) << bad;
  }
}

TEST(AprsGeoTest, DistanceAndBearingOnTheGreatCircle) {
  struct Case {
    GeoPoint from, to;
    double km, bearing;
  };
  const Case cases[] = {
      {{51.5074, -0.1278}, {48.8566, 2.3522}, 343.6, 148.1},   // London to Paris
      {{0, 0}, {0, 90}, 10007.5, 90},
      {{0, 0}, {10, 0}, 1111.9, 0},
      {{10, 0}, {0, 0}, 1111.9, 180},
      {{0, 10}, {0, 0}, 1111.9, 270},
      {{49, -72}, {49, -72}, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(DistanceKm(c.from, c.to), c.km, 0.5);
    EXPECT_NEAR(BearingDegrees(c.from, c.to), c.bearing, 0.2);
  }
  const auto p = ParseGeoPoint("49.5,-72.75");
  ASSERT_TRUE(p.has_value());
  EXPECT_DOUBLE_EQ(p->latitude, 49.5);
  EXPECT_DOUBLE_EQ(p->longitude, -72.75);
  for (std::string_view bad : {"", "49.5", "91,0", "0,181", "a,b", "1,2,3"}) {
    EXPECT_FALSE(ParseGeoPoint(bad).has_value()) << bad;
  }
}

using Lines = std::vector<AprsDetailLine>;

TEST(AprsDetailTest, LabelledLinesWithUnits) {
  struct Case {
    const char* name;
    std::string_view info;
    Lines lines;
  };
  const Case cases[] = {
      {"position with motion and altitude", "!4903.50N/07201.75W>088/036/A=001234 hi\xE9",
       {{0, "Report", "position"},
        {0, "Latitude", "49.058333\u00B0"},
        {0, "Longitude", "-72.029167\u00B0"},
        {0, "Locator", "FN39xb"},
        {0, "Ambiguity", "none"},
        {0, "Symbol table", "/"},
        {0, "Symbol code", ">"},
        {0, "Symbol", "Car"},
        {0, "Messaging", "no"},
        {0, "Course", "88\u00B0"},
        {0, "Speed", "66.7 km/h"},
        {0, "Speed", "36 kn"},
        {0, "Altitude", "376.1 m (1234 ft)"},
        {0, "Comment", " hi\u00E9"}}},
      {"weather as a group, not sent fields", "_10090556c...s004g005t077h00\x01",
       {{0, "Report", "weather"},
        {0, "Timestamp", "10090556"},
        {0, "Weather", ""},
        {1, "Wind direction", "not sent"},
        {1, "Wind speed", "1.79 m/s"},
        {1, "Wind gust", "2.24 m/s"},
        {1, "Temperature", "25\u00B0C"},
        {1, "Humidity", "100 %"},
        {0, "Comment", "."}}},
      {"telemetry list", "T#005,199,,255",
       {{0, "Report", "telemetry"},
        {0, "Telemetry sequence", "005"},
        {0, "Telemetry values", "199, -, 255"}}},
      {"invalid", "!49",
       {{0, "Report", "invalid"}, {0, "Error", "position too short"}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AprsDetailLines(DecodeAprs(c.info, "APRS")), c.lines) << c.name;
  }
}

}  // namespace
}  // namespace vorlink
