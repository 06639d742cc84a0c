// The base map's .pn2 files: a small hand-made one read whole, cut short at
// every byte, and where the package is installed the real four layers.
#include "geo/pn2_reader.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vorlink {
namespace {

// Three records: a line of one node and two points around it, then a group
// of a polygon and its hole.
const std::vector<std::uint8_t> kSmall = {
    0x02, 0x00, 0x00, 0x00, 0x03, 0x00,                    // version 2, 3 records
    0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01,  // line 1, one node
    0x00, 0x78, 0xFF, 0x10, 0x00, 0x02,                    // 1 N 2 W, two around
    0x01, 0x02, 0xFF, 0x00,                                // +1 +2, -1 0
    0x04, 0x00, 0x00, 0x00, 0x02, 0x02,                    // group 2 of two parts
    0x02, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01,  // polygon 2
    0xD5, 0xD0, 0x54, 0x60, 0x00, 0x00,                    // 90 S 180 E
    0x03, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01,  // its hole
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                    // 0 0
};

TEST(Pn2ReaderTest, ReadsNodesAndThePointsAroundThem) {
  const Pn2File file = ReadPn2(kSmall);
  ASSERT_EQ(file.error, "");
  ASSERT_EQ(file.shapes.size(), 3u);
  EXPECT_EQ(file.points, 5u);
  const Pn2Shape& line = file.shapes[0];
  EXPECT_EQ(line.kind, Pn2Kind::Line);
  EXPECT_EQ(line.id, 1u);
  const std::vector<GeoPoint> expected = {{1, -2}, {1 + 1 / 120.0, -2 + 2 / 120.0}, {1 - 1 / 120.0, -2}};
  EXPECT_EQ(line.points, expected);
  EXPECT_EQ(file.shapes[1].kind, Pn2Kind::Polygon);
  EXPECT_EQ(file.shapes[1].points, (std::vector<GeoPoint>{GeoPoint{-90, 180}}));
  EXPECT_EQ(file.shapes[2].kind, Pn2Kind::Hole);
  EXPECT_EQ(file.shapes[2].id, 2u);
}

TEST(Pn2ReaderTest, ABrokenFileIsAnErrorNeverARead) {
  for (std::size_t size = 0; size < kSmall.size(); ++size) {
    const Pn2File file = ReadPn2(std::span(kSmall).first(size));
    EXPECT_NE(file.error, "") << "cut at " << size;
  }
  const struct {
    const char* name;
    std::size_t at;
    std::uint8_t value;
    const char* error;
  } rows[] = {
      {"unknown version", 0, 0x03, "version 3 is not known"},
      {"unknown kind", 6, 0x01, "unknown record kind 1"},
      {"a node count beyond the bytes", 11, 0x7F, "record 1 cut short"},
      {"points around beyond the bytes", 20, 0x40, "record 1 cut short"},
      {"fewer records than bytes", 4, 0x02, "bytes after the last record"},
  };
  for (const auto& row : rows) {
    std::vector<std::uint8_t> bytes = kSmall;
    bytes[row.at] = row.value;
    EXPECT_EQ(ReadPn2(bytes).error, row.error) << row.name;
  }
  EXPECT_NE(ReadPn2File("/nonexistent/coast.pn2").error.find("cannot be read"), std::string::npos);
}

TEST(Pn2ReaderTest, TheInstalledNaturalEarthLayers) {
  const std::filesystem::path folder = "/usr/share/marble/data/naturalearth";
  if (!std::filesystem::exists(folder)) GTEST_SKIP() << "marble-qt-data is not installed";
  const struct {
    const char* file;
    std::size_t shapes;
    std::size_t points;
  } rows[] = {
      {"ne_50m_coastline.pn2", 1429, 60416},
      {"ne_50m_admin_0_boundary_lines_land.pn2", 360, 19783},
      {"ne_50m_lakes.pn2", 472, 20361},
      {"ne_50m_rivers_lake_centerlines.pn2", 892, 25386},
  };
  for (const auto& row : rows) {
    const Pn2File file = ReadPn2File(folder / row.file);
    EXPECT_EQ(file.error, "") << row.file;
    EXPECT_EQ(file.shapes.size(), row.shapes) << row.file;
    EXPECT_EQ(file.points, row.points) << row.file;
  }
}

}  // namespace
}  // namespace vorlink
