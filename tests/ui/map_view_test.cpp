// The map widget: stations at known positions drawn where they belong (the
// date line too), picked by a click, hidden by the filters, and the map
// moved by keys, fit to the stations and centred from the station list.
// Tracks grown report by report, or made in slices on screen, end as made
// at once.
#include "ui/map_view.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTest>
#include <QTreeView>

#include "temp_folder.h"
#include "track_lines_picture.h"
#include "ui/base_map.h"
#include "ui/map_window.h"
#include "ui/tile_layer.h"

namespace vorlink {
namespace {

constexpr std::int64_t kNow = 1'800'000'000'000;

StationReport MapReport(const std::string& name, GeoPoint at, bool direct = true,
                     std::int64_t time = kNow) {
  StationReport r;
  r.name = name;
  r.position = at;
  r.symbolTable = '/';
  r.symbolCode = '/';  // a plain dot: the group's colour at its centre
  r.direct = direct;
  r.time = time;
  return r;
}

class MapViewTest : public ::testing::Test {
 protected:
  MapViewTest() : base_(folder_.path()), view_(stations_, base_) {
    view_.resize(400, 300);
    view_.SetNow(kNow);
  }
  testing::TempFolder folder_;  // no base map in it
  TrackStore stations_;
  BaseMap base_;
  MapView view_;
};

TEST_F(MapViewTest, AStationIsDrawnAtItsPixel) {
  const struct {
    const char* name;
    GeoPoint centre;
    int zoom;
    GeoPoint station;
    QPoint pixel;
  } rows[] = {
      {"a quarter world east at zoom 1", {0, 0}, 1, {0, 90}, {328, 150}},
      {"north of the centre", {0, 0}, 3, {10, 0}, {200, 150 - 57}},
      {"across the date line, east of it", {0, 179}, 4, {0, -179}, {200 + 23, 150}},
      {"across the date line, west of it", {0, -179}, 4, {0, 179}, {200 - 23, 150}},
  };
  const QColor dot = GroupColour(SymbolGroup::Other);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    stations_.Clear();
    stations_.Add(MapReport("N0CALL", row.station));
    view_.CentreOn(row.centre);
    view_.SetZoom(row.zoom);
    const QPointF at = view_.ScreenOf(row.station);
    EXPECT_NEAR(at.x(), row.pixel.x(), 1);
    EXPECT_NEAR(at.y(), row.pixel.y(), 1);
    const QImage image = view_.grab().toImage();
    EXPECT_EQ(image.pixelColor(at.toPoint()), dot);
    EXPECT_EQ(view_.StationAt(at + QPointF(3, 3)), std::optional<std::size_t>{0});
  }
}

TEST_F(MapViewTest, ClicksPickAndFiltersHide) {
  stations_.Add(MapReport("DIRECT", {0, 0}, true));
  stations_.Add(MapReport("VIA", {0, 20}, false));
  stations_.Add(MapReport("OLD", {0, -20}, true, kNow - 5 * 3'600'000));
  view_.CentreOn({0, 0});
  view_.SetZoom(3);
  QSignalSpy clicked(&view_, &MapView::StationClicked);
  const QPoint via = view_.ScreenOf({0, 20}).toPoint();
  QTest::mouseClick(&view_, Qt::LeftButton, {}, via);
  ASSERT_EQ(clicked.count(), 1);
  EXPECT_EQ(clicked.front().front().value<std::size_t>(), 1u);

  const struct {
    MapFilter filter;
    bool direct, via, old;
  } rows[] = {
      {{false, 0}, true, true, true},
      {{true, 0}, true, false, true},
      {{false, 4}, true, true, false},
      {{true, 4}, true, false, false},
  };
  for (const auto& row : rows) {
    view_.SetFilter(row.filter);
    EXPECT_EQ(view_.Passes(stations_.At(0)), row.direct);
    EXPECT_EQ(view_.Passes(stations_.At(1)), row.via);
    EXPECT_EQ(view_.Passes(stations_.At(2)), row.old);
    EXPECT_EQ(view_.StationAt(via).has_value(), row.via);
  }
}

TEST_F(MapViewTest, KeysPanAndZoomAndFitAllHoldsEveryStation) {
  view_.CentreOn({0, 0});
  view_.SetZoom(4);
  QTest::keyClick(&view_, Qt::Key_Right);
  EXPECT_GT(view_.Centre().longitude, 0);
  QTest::keyClick(&view_, Qt::Key_Plus);
  EXPECT_EQ(view_.Zoom(), 5);
  QTest::keyClick(&view_, Qt::Key_Minus);
  QTest::keyClick(&view_, Qt::Key_Minus);
  EXPECT_EQ(view_.Zoom(), 3);

  stations_.Add(MapReport("A", {50, 8}));
  stations_.Add(MapReport("B", {51, 10}));
  view_.FitAll();
  for (const GeoPoint at : {GeoPoint{50, 8}, GeoPoint{51, 10}}) {
    EXPECT_TRUE(view_.rect().contains(view_.ScreenOf(at).toPoint()));
  }
  EXPECT_GE(view_.Zoom(), 6);
}

TEST_F(MapViewTest, ALabelOverOneDrawnBeforeIsLeftOut) {
  // At zoom 10 a pixel is 0.00137 degrees; labels run east of their symbol.
  const struct {
    const char* name;
    GeoPoint at;
    std::int64_t age;
    bool labelled;
  } rows[] = {
      {"NEWEST", {0, 0}, 0, true},
      {"OLDER", {0, 0.0055}, 1000, false},        // 4 pixels east, over NEWEST's label
      {"BELOW", {-0.0137, -0.0137}, 500, false},  // 10 pixels lower, still over it
      {"APART", {0.1, 0}, 2000, true},            // 73 pixels north
  };
  std::vector<std::size_t> expected;
  for (const auto& row : rows) {
    if (row.labelled) expected.push_back(stations_.Size());
    stations_.Add(MapReport(row.name, row.at, true, kNow - row.age));
  }
  view_.CentreOn({0, 0});
  view_.SetZoom(10);
  view_.grab();
  EXPECT_EQ(view_.Labelled(), expected);
}

TEST_F(MapViewTest, ATrackBreaksWhereNoStationCouldHaveMoved) {
  // At zoom 5 a degree is 23 pixels; the track runs left of its last position.
  constexpr std::int64_t kMinute = 60'000;
  const struct {
    const char* what;
    GeoPoint to;
    std::int64_t minutes;
    bool drawn;
  } legs[] = {
      {"a car's ten minutes", {1, 2}, 10, true},
      {"500 km in a minute", {1, 7}, 11, false},
      {"on from there", {2, 7}, 21, true},
      {"and on", {2, 8}, 31, true},
  };
  GeoPoint from{1, 0};
  stations_.Add(MapReport("N0CALL", from, true, kNow - 40 * kMinute));
  for (const auto& leg : legs) stations_.Add(MapReport("N0CALL", leg.to, true, kNow - (40 - leg.minutes) * kMinute));
  stations_.Add(MapReport("N0CALL", {4, 8}, true, kNow));  // the symbol away from the legs
  view_.CentreOn({1.5, 4});
  view_.SetZoom(5);
  const QImage image = view_.grab().toImage();
  const QColor paper = image.pixelColor(view_.ScreenOf({-1.5, 4}).toPoint());
  for (const auto& leg : legs) {
    SCOPED_TRACE(leg.what);
    const QPoint middle = view_.ScreenOf({(from.latitude + leg.to.latitude) / 2,
                                          (from.longitude + leg.to.longitude) / 2}).toPoint();
    bool inked = false;
    for (int dx = -1; dx <= 1; ++dx) {
      for (int dy = -1; dy <= 1; ++dy) inked |= image.pixelColor(middle + QPoint(dx, dy)) != paper;
    }
    EXPECT_EQ(inked, leg.drawn);
    from = leg.to;
  }
}

struct Heard {
  const char* name;
  GeoPoint at;
  int minutesAgo;
};

// A view as the tests above have it, at zoom 9 over the Alps.
void LookAtAlps(MapView& view, int zoom = 9) {
  view.resize(400, 300);
  view.SetNow(kNow);
  view.SetZoom(zoom);
  view.CentreOn({47, 10});
}

void Hear(TrackStore& store, const std::vector<Heard>& reports) {
  for (const Heard& h : reports) store.Add(MapReport(h.name, h.at, true, kNow - h.minutesAgo * 60'000));
}

TEST_F(MapViewTest, TracksGrownAsReportsComeEndAsMadeAtOnce) {
  const std::vector<Heard> first = {
      {"N0CAR", {47, 10}, 50}, {"N0CAR", {47.02, 10.03}, 45}, {"N0CAR", {47.05, 10.05}, 40},
      {"N0BUS", {46.9, 9.9}, 50}, {"N0BUS", {46.9, 9.95}, 44},
  };
  const struct {
    const char* what;
    std::vector<Heard> then;
  } rows[] = {
      {"on from where they were", {{"N0CAR", {47.08, 10.1}, 30}, {"N0BUS", {46.92, 10.0}, 30}}},
      {"a step too short to draw, then on", {{"N0CAR", {47.0502, 10.0501}, 35}, {"N0CAR", {47.1, 10.1}, 20}}},
      {"back along the same road", {{"N0CAR", {47.02, 10.03}, 30}, {"N0CAR", {47, 10}, 20}}},
      {"a station new to the map", {{"N0VAN", {47.1, 9.8}, 30}, {"N0VAN", {47.12, 9.85}, 25}}},
      {"a jump no car makes, then on", {{"N0BUS", {10, 100}, 30}, {"N0BUS", {10.01, 100.02}, 25}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    TrackStore store;
    MapView grown(store, base_);
    LookAtAlps(grown);
    Hear(store, first);
    grown.grab();
    Hear(store, row.then);
    grown.StationsChanged();
    grown.grab();
    MapView once(store, base_);
    LookAtAlps(once);
    once.grab();
    EXPECT_GT(once.TrackLines().Size(), 0u);
    EXPECT_EQ(testing::PictureOf(grown.TrackLines()), testing::PictureOf(once.TrackLines()));
  }
}

TEST_F(MapViewTest, TracksMadeInSlicesOnScreenEndAsMadeAtOnce) {
  std::vector<Heard> heard;
  for (int k = 0; k < 2'000; ++k) {
    heard.push_back({k % 2 == 0 ? "N0CAR" : "N0BUS", {46.5 + k * 0.0005, 9.5 + (k % 40) * 0.003}, 100 - k / 20});
  }
  Hear(stations_, heard);
  const struct {
    const char* what;
    int firstZoom, zoom;
  } rows[] = {
      {"first shown", 9, 9},
      {"zoomed in", 8, 9},
      {"zoomed out", 10, 9},
  };
  MapView once(stations_, base_);
  LookAtAlps(once);
  once.grab();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    MapView shown(stations_, base_);
    LookAtAlps(shown, row.firstZoom);
    shown.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown));
    const auto ready = [&shown] {
      shown.repaint();
      for (int turn = 0; turn < 10'000 && !shown.TracksReady(); ++turn) QCoreApplication::processEvents();
      return shown.TracksReady();
    };
    ASSERT_TRUE(ready());
    shown.SetZoom(row.zoom);
    shown.repaint();
    // Meanwhile the other zoom's lines are drawn.
    EXPECT_EQ(shown.TracksReady(), row.firstZoom == row.zoom);
    ASSERT_TRUE(ready());
    EXPECT_EQ(testing::PictureOf(shown.TrackLines()), testing::PictureOf(once.TrackLines()));
  }
}

TEST(MapWindowTest, AClickInTheListCentresTheMapAndTellsTheReport) {
  testing::TempFolder folder;
  FrameStore frames;
  MapWindow window(frames, {MapSettings{}, std::nullopt, QString::fromStdString(folder.path().string()), false, std::nullopt});
  StationReport r = MapReport("DL1ABC-9", {48.1, 11.5}, false);
  r.path = "WIDE1-1*,WIDE2-1";
  r.report = "!4806.00N/01130.00E>";
  window.Stations().Add(MapReport("N0CALL", {0, 0}));
  window.Stations().Add(r);
  window.Refresh();
  QAbstractItemModel& list = *window.List().model();
  ASSERT_EQ(list.rowCount(), 2);
  const QModelIndexList found = list.match(list.index(0, 0), Qt::DisplayRole, "DL1ABC-9", 1, Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1);
  emit window.List().clicked(found.front());
  EXPECT_NEAR(window.View().Centre().latitude, 48.1, 1e-6);
  EXPECT_NEAR(window.View().Centre().longitude, 11.5, 1e-6);
  for (const char* part : {"DL1ABC-9", "WIDE1-1*,WIDE2-1", "via digipeater", "!4806.00N/01130.00E&gt;"}) {
    EXPECT_TRUE(window.Details().contains(part)) << part;
  }
  EXPECT_FALSE(window.OnlineTiles().isChecked());  // no network unless asked for
  EXPECT_EQ(window.Tiles(), nullptr);
}

TEST(MapWindowTest, ATileUrlForThisRunSwitchesOnlineTilesOnWithoutTheSetting) {
  const std::string url = "http://127.0.0.1:1/{z}/{x}/{y}.png";
  const struct {
    const char* name;
    bool setting;
    std::optional<std::string> forThisRun;
    bool on;
  } rows[] = {
      {"neither", false, std::nullopt, false},
      {"the setting alone", true, std::nullopt, true},
      {"--tile-url alone", false, url, true},
      {"both", true, url, true},
  };
  for (const auto& row : rows) {
    testing::TempFolder folder;
    FrameStore frames;
    MapSettings settings;
    settings.onlineTiles = row.setting;
    MapWindow window(frames, {settings, row.forThisRun, QString::fromStdString(folder.path().string()), false,
                              std::nullopt});
    EXPECT_EQ(window.OnlineTiles().isChecked(), row.on) << row.name;
    ASSERT_EQ(window.Tiles() != nullptr, row.on) << row.name;
    if (row.on) {
      EXPECT_EQ(window.Tiles()->UrlTemplate().toStdString(), row.forThisRun.value_or(settings.tileUrl)) << row.name;
    }
  }
}

TEST(MapWindowTest, TheListChangesRowsInPlaceAndKeepsTheSelectionOnItsStation) {
  testing::TempFolder folder;
  FrameStore frames;
  MapWindow window(frames, {MapSettings{}, std::nullopt, QString::fromStdString(folder.path().string()), false, std::nullopt});
  // The list tells the time to the second.
  constexpr std::int64_t kSecond = 1000;
  for (const char* name : {"A", "B", "C"}) window.Stations().Add(MapReport(name, {0, 0}, true, kNow - 60 * kSecond));
  window.Stations().Add(MapReport("B", {0, 0}, true, kNow - 50 * kSecond));  // B, then A and C
  window.Refresh();
  QAbstractItemModel& list = *window.List().model();
  const auto names = [&] {
    std::string shown;
    for (int row = 0; row < list.rowCount(); ++row) shown += list.index(row, 0).data().toString().toStdString();
    return shown;
  };
  window.List().selectionModel()->select(list.index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  ASSERT_EQ(names().front(), 'B');
  QSignalSpy resets(&list, &QAbstractItemModel::modelReset);
  QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
  const struct {
    const char* what;
    const char* name;
    std::int64_t age;   // seconds
    const char* shown;  // newest first
    int inserted;
  } rows[] = {
      {"another station heard moves above the selection", "C", 40, "CBA", 0},
      {"the selected one heard again moves to the top", "B", 30, "BCA", 0},
      {"a new station is a row added", "D", 20, "DBCA", 1},
      {"the oldest heard again moves past the selection", "A", 10, "ADBC", 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    window.Stations().Add(MapReport(row.name, {0, 0}, true, kNow - row.age * kSecond));
    window.Refresh();
    EXPECT_EQ(names(), row.shown);
    const QModelIndexList selected = window.List().selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.front().data().toString(), "B");
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(inserted.count(), row.inserted);
  }
}

}  // namespace
}  // namespace vorlink
