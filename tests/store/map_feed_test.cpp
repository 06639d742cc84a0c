// What the map takes from APRS reports: positions, objects and items by
// name, symbols and motion; reports without a position give nothing.
#include "store/map_feed.h"

#include <gtest/gtest.h>

#include "aprs/aprs_decoder.h"
#include "store/heard_list.h"

namespace vorlink {
namespace {

struct FeedRow {
  const char* name;
  const char* info;
  const char* destination;
  bool position;
  const char* station;  // the name on the map
  bool object;
  GeoPoint at;
  char table, code;
  std::optional<int> course;
  std::optional<double> speedKmh;
};

TEST(MapFeedTest, PositionsObjectsAndNothingElse) {
  const FeedRow rows[] = {
      {"plain position", "!4903.50N/07201.75W-Test", "APRS", true, "N0CALL", false,
       {49.058333, -72.029167}, '/', '-', {}, {}},
      {"course and speed", "=4903.50N/07201.75W>088/036", "APRS", true, "N0CALL", false,
       {49.058333, -72.029167}, '/', '>', 88, 36 * kKnotsToKmh},
      {"object by its name", ";LEADER   *092345z4903.50N/07201.75W>", "APRS", true, "LEADER", true,
       {49.058333, -72.029167}, '/', '>', {}, {}},
      {"item by its name", ")AID #2!4903.50N/07201.75WA", "APRS", true, "AID #2", true,
       {49.058333, -72.029167}, '/', 'A', {}, {}},
      {"killed object", ";LEADER   _092345z4903.50N/07201.75W>", "APRS", false, "", false, {}, 0, 0, {}, {}},
      {"message", ":N0CALL   :hello{1", "APRS", false, "", false, {}, 0, 0, {}, {}},
      {"status", ">on the air", "APRS", false, "", false, {}, 0, 0, {}, {}},
  };
  for (const FeedRow& row : rows) {
    SCOPED_TRACE(row.name);
    StationReport report;
    report.name = "N0CALL";
    ASSERT_EQ(ReadPositionReport(DecodeAprs(std::string_view(row.info), row.destination), report),
              row.position);
    if (!row.position) continue;
    EXPECT_EQ(report.name, row.station);
    EXPECT_EQ(report.object, row.object);
    EXPECT_NEAR(report.position.latitude, row.at.latitude, 1e-5);
    EXPECT_NEAR(report.position.longitude, row.at.longitude, 1e-5);
    EXPECT_EQ(report.symbolTable, row.table);
    EXPECT_EQ(report.symbolCode, row.code);
    EXPECT_EQ(report.course, row.course);
    if (row.speedKmh) {
      ASSERT_TRUE(report.speedKmh);
      EXPECT_NEAR(*report.speedKmh, *row.speedKmh, 1e-9);
    }
  }
}

TEST(MapFeedTest, AStoreOfFramesBecomesStationsWithTheirPaths) {
  // N0CALL-9 > APRS via WIDE1-1* with a position: heard via a digipeater.
  const std::vector<std::uint8_t> frame = {
      0xC0, 0x00, 0x82, 0xA0, 0xA4, 0xA6, 0x40, 0x40, 0xE0, 0x9C, 0x60, 0x86, 0x82, 0x98, 0x98,
      0x72, 0xAE, 0x92, 0x88, 0x8A, 0x62, 0x40, 0xE3, 0x03, 0xF0, '!', '4', '9', '0', '3', '.',
      '5', '0', 'N', '/', '0', '7', '2', '0', '1', '.', '7', '5', 'W', '>', 0xC0};
  FrameStore store;
  store.Append(frame, 1'000, DisplayOptions{}, {}, 1);
  TrackStore tracks;
  MapFeed feed;
  EXPECT_FALSE(feed.CatchUp(store, tracks));
  ASSERT_EQ(tracks.Size(), 1u);
  const StationReport& r = tracks.At(0).last;
  EXPECT_EQ(r.name, "N0CALL-9");
  EXPECT_EQ(r.path, "WIDE1-1*");
  EXPECT_FALSE(r.direct);
  EXPECT_EQ(r.time, 1'000);
  EXPECT_EQ(r.report, "!4903.50N/07201.75W>");
}

TEST(MapFeedTest, TextReadsAsInTheHeardList) {
  // N0CALL-9 > APRS with "caf\xE9" after the position.
  const std::vector<std::uint8_t> frame = {
      0xC0, 0x00, 0x82, 0xA0, 0xA4, 0xA6, 0x40, 0x40, 0xE0, 0x9C, 0x60, 0x86, 0x82, 0x98, 0x98,
      0x73, 0x03, 0xF0, '!', '4', '9', '0', '3', '.', '5', '0', 'N', '/', '0', '7', '2', '0',
      '1', '.', '7', '5', 'W', '-', 'c', 'a', 'f', 0xE9, 0xC0};
  FrameStore store;
  store.Append(frame, 1'000, DisplayOptions{}, {}, 1);
  TrackStore tracks;
  MapFeed feed;
  feed.CatchUp(store, tracks);
  HeardList heard;
  heard.CatchUp(store);
  ASSERT_EQ(tracks.Size(), 1u);
  ASSERT_EQ(heard.Size(), 1u);
  EXPECT_EQ(tracks.At(0).last.comment, "caf\xC3\xA9");
  EXPECT_EQ(tracks.At(0).last.comment, heard.At(0).aprs.comment);
  EXPECT_EQ(tracks.At(0).last.report, "!4903.50N/07201.75W-caf\xC3\xA9");
}

}  // namespace
}  // namespace vorlink
