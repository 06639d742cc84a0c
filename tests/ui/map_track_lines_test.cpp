// The tracks' lines of a zoom: each line once whichever way and by however
// many stations it was driven, the oldest band first, and gathered in cells
// whose bounds hold every line in them; a frame that cannot afford them
// all draws the newest. Lines added after a lay-out, or a lay-out made in
// steps, end as one made at once.
#include "ui/map_track_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "track_lines_picture.h"

namespace vorlink {
namespace {

TEST(MapTrackLinesTest, KeepsEachLineOnceOldestBandFirstInCellsThatHoldThem) {
  const struct {
    QPoint from, to;
    int band;
  } added[] = {
      {{10, 10}, {20, 12}, 0},
      {{20, 12}, {10, 10}, 0},     // the same line driven back
      {{10, 10}, {20, 12}, 0},     // and by another station
      {{10, 10}, {20, 12}, 3},     // older: drawn under it
      {{300, 40}, {280, 60}, 0},   // the next cell east
      {{-5, 7}, {3, 9}, 1},        // west of the date line
      {{10, 10}, {20, 12}, 9},     // no band that old: the oldest
  };
  MapTrackLines lines;
  for (const auto& line : added) lines.Add(line.from, line.to, line.band, 0);
  lines.Finish();
  EXPECT_EQ(lines.Size(), 4u);

  std::vector<int> bands;
  std::size_t counted = 0;
  for (const MapTrackCell& cell : lines.Cells()) {
    bands.push_back(cell.band);
    counted += cell.count;
    for (const QLine& line : lines.Lines(cell)) {
      EXPECT_TRUE(cell.bounds.contains(line.p1()) && cell.bounds.contains(line.p2()));
    }
  }
  EXPECT_EQ(counted, lines.Size());
  EXPECT_TRUE(std::is_sorted(bands.rbegin(), bands.rend()));  // oldest first
  EXPECT_EQ(bands.size(), 4u);  // band 3; band 1; band 0 in two cells

  lines.Clear();
  lines.Finish();
  EXPECT_TRUE(lines.Cells().empty());
}

TEST(MapTrackLinesTest, ABudgetKeepsTheNewestLines) {
  // Band 1 (older) in cell 0; band 0 in cell 0 and in the cell east of it.
  const struct {
    int x, band;
    std::int64_t time;
  } added[] = {
      {10, 1, 50}, {12, 1, 40},                 // C
      {10, 0, 100}, {12, 0, 80}, {14, 0, 90},   // A
      {300, 0, 70}, {302, 0, 95},               // B
  };
  MapTrackLines lines;
  for (const auto& line : added) lines.Add({line.x, 10}, {line.x + 1, 20}, line.band, line.time);
  lines.Add({10, 10}, {11, 20}, 0, 60);  // A's newest driven again, earlier: it keeps its time
  lines.Finish();
  ASSERT_EQ(lines.Cells().size(), 3u);
  const MapTrackCell* c = &lines.Cells()[0];
  const MapTrackCell* a = &lines.Cells()[1];
  const MapTrackCell* b = &lines.Cells()[2];
  ASSERT_EQ(a->count, 3u);
  EXPECT_EQ(lines.Lines(*a).front(), QLine(10, 10, 11, 20));  // newest first in a cell

  // Each line as dear as any other here: budgets in lines.
  const std::uint64_t line = MapTrackLines::Cost(QLine(0, 10, 1, 20));
  EXPECT_EQ(line, kTrackLineSetupPixels + 10);
  const struct {
    const char* what;
    std::vector<const MapTrackCell*> shown;
    std::uint64_t budget;
    std::vector<std::uint32_t> drawn;
  } rows[] = {
      {"room for all", {c, a, b}, 100 * line, {2, 3, 2}},
      {"just room for all", {c, a, b}, 7 * line, {2, 3, 2}},
      {"a pixel short: the oldest left out", {c, a, b}, 7 * line - 1, {1, 3, 2}},
      {"an older band left out", {c, a, b}, 5 * line, {0, 3, 2}},
      {"the newest across cells", {c, a, b}, 3 * line, {0, 2, 1}},
      {"the newest alone", {c, a, b}, line, {0, 1, 0}},
      {"none", {c, a, b}, 0, {0, 0, 0}},
      {"a cell on two copies of the world counts twice", {a, a}, 4 * line, {2, 2}},
      {"lines of one time all or none", {a, a}, 3 * line, {1, 1}},
      {"nothing shown", {}, 0, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(lines.Newest(row.shown, row.budget), row.drawn);
  }
}

struct Driven {
  QPoint from, to;
  int band;
  std::int64_t time;
};

TEST(MapTrackLinesTest, LinesAddedAfterALayOutEndAsOneLaidOutAtOnce) {
  const std::vector<Driven> first = {
      {{10, 10}, {20, 12}, 0, 100}, {{12, 10}, {22, 12}, 0, 90}, {{300, 40}, {280, 60}, 1, 50}};
  const struct {
    const char* what;
    std::vector<Driven> then;
  } rows[] = {
      {"nothing new", {}},
      {"in a new cell", {{{600, 600}, {610, 605}, 0, 120}}},
      {"newer, in a cell laid out", {{{14, 10}, {24, 12}, 0, 130}}},
      {"older, in a cell laid out", {{{14, 10}, {24, 12}, 0, 10}}},
      {"driven again later", {{{20, 12}, {10, 10}, 0, 140}}},
      {"driven again earlier: it keeps its time", {{{10, 10}, {20, 12}, 0, 60}}},
      {"driven again twice before merged", {{{12, 10}, {22, 12}, 0, 95}, {{12, 10}, {22, 12}, 0, 150}}},
      {"the same line in an older band", {{{10, 10}, {20, 12}, 2, 100}}},
      {"before any cell and after all", {{{-300, -300}, {-290, -290}, 3, 5}, {{900, 900}, {901, 950}, 0, 7}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    MapTrackLines merged, once;
    for (const Driven& d : first) merged.Add(d.from, d.to, d.band, d.time);
    merged.Finish();
    for (const Driven& d : row.then) merged.Add(d.from, d.to, d.band, d.time);
    merged.Finish();
    for (const auto* list : {&first, &row.then}) {
      for (const Driven& d : *list) once.Add(d.from, d.to, d.band, d.time);
    }
    once.Finish();
    EXPECT_EQ(testing::PictureOf(merged), testing::PictureOf(once));
  }
}

TEST(MapTrackLinesTest, ALayOutMadeInStepsEndsAsOneMadeAtOnce) {
  // Enough lines for runs to be merged, many of them driven more than once.
  std::mt19937 random(5);
  std::uniform_int_distribution<int> pixel(-100, 3'000), band(0, kTrackFadeBands - 1);
  std::uniform_int_distribution<std::int64_t> time(0, 500);
  MapTrackLines stepped, once;
  for (int k = 0; k < 60'000; ++k) {
    const QPoint from(pixel(random) / 8, pixel(random) / 8);
    const Driven d{from, from + QPoint(pixel(random) % 7, pixel(random) % 5), band(random), time(random)};
    for (MapTrackLines* lines : {&stepped, &once}) lines->Add(d.from, d.to, d.band, d.time);
  }
  int steps = 1;
  while (!stepped.FinishBy(MapTrackLines::Deadline::min())) ++steps;
  once.Finish();
  EXPECT_GT(steps, 4);
  EXPECT_EQ(testing::PictureOf(stepped), testing::PictureOf(once));
}

}  // namespace
}  // namespace vorlink
