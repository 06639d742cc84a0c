// The map's settings as vorlink.conf and --tile-url give them.
#include "app/map_settings.h"

#include <gtest/gtest.h>

namespace vorlink {
namespace {

TEST(MapSettingsTest, RangeRingsAndTileUrls) {
  const struct {
    const char* text;
    std::optional<std::vector<double>> rings;
  } rings[] = {
      {"10,25,50,100", std::vector<double>{10, 25, 50, 100}},
      {" 5 , 7.5 ", std::vector<double>{5, 7.5}},
      {"", std::vector<double>{}},
      {"10,,20", std::nullopt},
      {"10,-5", std::nullopt},
      {"ten", std::nullopt},
      {"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17", std::nullopt},
  };
  for (const auto& row : rings) {
    EXPECT_EQ(ParseRangeRings(row.text), row.rings) << row.text;
    if (!row.rings) continue;
    EXPECT_EQ(ParseRangeRings(RangeRingsText(*row.rings)), row.rings) << row.text;
  }
  const struct {
    const char* url;
    bool usable;
  } urls[] = {
      {"https://tile.openstreetmap.org/{z}/{x}/{y}.png", true},
      {"http://127.0.0.1:8080/{z}/{x}/{y}.png", true},
      {"ftp://host/{z}/{x}/{y}.png", false},
      {"https://host/{z}/{x}.png", false},
  };
  for (const auto& row : urls) EXPECT_EQ(UsableTileUrl(row.url), row.usable) << row.url;
}

}  // namespace
}  // namespace vorlink
