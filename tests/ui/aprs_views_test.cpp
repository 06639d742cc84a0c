// APRS where the operator sees it, offscreen: the frame browser's detail
// tree of the frame at the caret and its APRS filters, the heard table's
// APRS columns, and the APRS Messages window, over a small capture of
// hand-written reports.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QPointer>
#include <QTest>
#include <fstream>
#include <functional>

#include "app/qt_station_config.h"
#include "aprs_store.h"
#include "controller_fixture.h"
#include "store/frame_renderer.h"
#include "store/heard_columns.h"
#include "store/sent_frame.h"
#include "ui/aprs_messages_model.h"
#include "ui/aprs_messages_window.h"
#include "ui/frame_browser.h"
#include "ui/frame_detail_pane.h"
#include "ui/frame_view.h"
#include "ui/heard_view.h"
#include "ui/main_window.h"
#include "ui/map_view.h"
#include "ui/map_window.h"
#include "ui/object_dialog.h"
#include "ui/own_station_dialog.h"
#include "widget_test_support.h"

namespace vorlink {
namespace {

using namespace std::chrono_literals;

struct Report {
  const char* source;
  const char* info;
};

constexpr Report kReports[] = {
    {"N0CALL-7", "!4903.50N/07201.75W>088/036/A=001234 on the road"},
    {"W1AW", ":N0CALL-7 :hello there{12"},
    {"N0CALL-7", ":W1AW     :ack12"},
    {"WX1", "_10090556c220s004g005t077h50b09900"},
    {"W1AW", ":K1ABC    :nobody answers{3"},
    {"K1ABC", ":W1AW     :rej3"},
    {"KB2", ":BLN1     :net tonight"},
};

constexpr GeoPoint kHome{49.0, -72.0};

class AprsViewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream out(capture, std::ios::binary);
    for (const Report& r : kReports) {
      const auto kiss = testing::AprsKissFrame(r.source, r.info, {{"WIDE1", 1, true}});
      out.write(reinterpret_cast<const char*>(kiss.data()), static_cast<std::streamsize>(kiss.size()));
    }
  }
  FrameBrowser& Open() {
    browser = std::make_unique<FrameBrowser>();
    browser->show();
    browser->OpenCapture(capture);
    EXPECT_TRUE(testing::WaitUntil([&] { return !browser->Loading(); }, 10s));
    return *browser;
  }
  void Find(const char* text) {
    auto* find = browser->findChild<QLineEdit*>("FindText");
    find->setText(text);
    QTest::keyClick(find, Qt::Key_Return);
    ASSERT_TRUE(testing::WaitUntil([&] { return !browser->Pane().Working(); }));
  }
  void Filter(const char* field, const QString& text) {
    auto* edit = browser->findChild<QLineEdit*>(field);
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_TRUE(testing::WaitUntil([&] { return !browser->Filtering(); }));
  }
  QString HeardCell(const QString& callsign, int column) {
    const QAbstractItemModel& rows = *browser->Heard().Table().model();
    for (int row = 0; row < rows.rowCount(); ++row) {
      if (browser->Heard().CallsignAt(row) == callsign) return rows.index(row, column).data().toString();
    }
    return "no such station";
  }

  testing::TempFolder folder;
  std::filesystem::path capture = folder.path() / "aprs.kss";
  std::unique_ptr<FrameBrowser> browser;
};

TEST_F(AprsViewsTest, TheDetailTreeShowsTheFrameAtTheCaretAndCopiesAsText) {
  FrameBrowser& b = Open();
  FrameDetailPane& detail = b.Detail();
  EXPECT_EQ(detail.topLevelItemCount(), 0);

  Find("on the road");
  ASSERT_EQ(detail.topLevelItemCount(), 3);
  EXPECT_EQ(detail.topLevelItem(0)->text(1), "KISS Frame (without CRC)");
  EXPECT_EQ(detail.topLevelItem(1)->text(1), "UI");
  QString text = detail.CopyText();
  EXPECT_TRUE(text.contains("  Digipeater 1\tWIDE1-1 (repeated)\n")) << text.toStdString();
  EXPECT_TRUE(text.contains("  Locator\tFN39xb\n  Ambiguity\tnone\n  Symbol table")) << text.toStdString();
  EXPECT_TRUE(text.contains("  Altitude\t376.1 m (1234 ft)\n"));

  // The station's position brings distance and bearing.
  b.SetOwnStation({kHome, "N0CALL-7"});
  text = detail.CopyText();
  EXPECT_TRUE(text.contains("  Locator\tFN39xb\n  Distance\t6.8 km\n  Bearing\t342\u00B0\n"))
      << text.toStdString();

  // Ctrl+C copies the lines selected.
  detail.topLevelItem(0)->setSelected(true);
  detail.topLevelItem(0)->child(0)->setSelected(true);
  detail.setFocus();
  QTest::keySequence(&detail, QKeySequence::Copy);
  EXPECT_EQ(QApplication::clipboard()->text(), "KISS\tKISS Frame (without CRC)\n  Command byte\t00\n");

  Find("_1009");
  EXPECT_TRUE(detail.CopyText().contains("    Temperature\t25\u00B0C\n"));
}

TEST_F(AprsViewsTest, HeardTableShowsWhatEachStationSaidAndMeasuresOnceThePositionIsSet) {
  FrameBrowser& b = Open();
  ASSERT_TRUE(testing::WaitUntil([&] { return !b.Heard().CatchingUp(); }));
  const auto column = [](const char* title) {
    for (std::size_t k = 0; k < kHeardColumns.size(); ++k) {
      if (QString(kHeardColumns[k].title) == title) return static_cast<int>(k);
    }
    return -1;
  };
  EXPECT_EQ(HeardCell("N0CALL-7", column("Symbol")), "Car");
  EXPECT_EQ(HeardCell("N0CALL-7", column("Course/speed")), "88\u00B0 66.7 km/h");
  EXPECT_EQ(HeardCell("N0CALL-7", column("Comment or status")), "on the road");
  EXPECT_EQ(HeardCell("N0CALL-7", column("Distance")), "");
  EXPECT_EQ(HeardCell("WX1", column("Weather")),
            "25\u00B0C, 50 %, 990 hPa, wind 220\u00B0 1.79 m/s, gust 2.24 m/s");
  b.SetOwnStation({kHome, {}});
  EXPECT_EQ(HeardCell("N0CALL-7", column("Distance")), "6.8 km");
  EXPECT_EQ(HeardCell("N0CALL-7", column("Bearing")), "342\u00B0");
}

TEST_F(AprsViewsTest, AprsFiltersNarrowThePane) {
  FrameBrowser& b = Open();
  auto* type = b.findChild<QComboBox*>("FilterAprsType");
  type->setCurrentText("message");
  ASSERT_TRUE(testing::WaitUntil([&] { return !b.Filtering(); }));
  EXPECT_EQ(b.StatusText(), "2 of 7 frames");
  type->setCurrentIndex(0);

  Filter("FilterAddressee", "w1aw");
  EXPECT_EQ(b.StatusText(), "2 of 7 frames");
  Filter("FilterAddressee", "");

  Filter("FilterWithin", "10");
  EXPECT_EQ(b.statusBar()->currentMessage(),
            "Within km needs the station's position (Options > Station...)");
  b.SetOwnStation({kHome, {}});
  ASSERT_TRUE(testing::WaitUntil([&] { return !b.Filtering(); }));
  EXPECT_EQ(b.StatusText(), "1 of 7 frames");
  Filter("FilterWithin", "5");
  EXPECT_EQ(b.StatusText(), "0 of 7 frames");
}

TEST(AprsMessagesWindowTest, MessagesWithTheirAnswersAndThoseToTheStationMarked) {
  FrameStore store;
  for (const Report& r : kReports) testing::AppendAprs(store, r.source, r.info);
  AprsMessagesWindow window(store);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.SetOwnCallsign("n0call-7");
  const QAbstractItemModel& rows = *window.Table().model();
  QStringList shown;
  for (int row = 0; row < rows.rowCount(); ++row) {
    QStringList cells;
    for (int c = 0; c < rows.columnCount(); ++c) cells << rows.index(row, c).data().toString();
    shown << cells.join('|');
  }
  EXPECT_EQ(shown, QStringList({
                       "1970-01-01 00:02:00|W1AW|N0CALL-7|hello there|12|acked",
                       "1970-01-01 00:05:00|W1AW|K1ABC|nobody answers|3|rejected",
                       "1970-01-01 00:07:00|KB2|BLN1|net tonight||",
                   }));
  EXPECT_TRUE(rows.index(0, 3).data(Qt::FontRole).value<QFont>().bold());
  EXPECT_FALSE(rows.index(1, 3).data(Qt::FontRole).isValid());
  EXPECT_EQ(window.findChild<QLabel*>("AprsMessagesCount")->text(), "3 messages, 1 to n0call-7");

  // Live: a new message appears at the next look.
  testing::AppendAprs(store, "K1ABC", ":N0CALL-7 :later{4");
  window.Refresh();
  ASSERT_EQ(rows.rowCount(), 4);
  EXPECT_EQ(rows.index(3, 3).data().toString(), "later");
}

class OwnStationTest : public testing::ControllerTest {};

TEST_F(OwnStationTest, OkKeepsPositionAndCallsignAndTheOpenWindowsUseThem) {
  WriteConfig("false");
  Start();
  FrameBrowser& frames = controller->OpenFrames();
  AprsMessagesWindow& messages = controller->OpenAprsMessages();
  Trigger("MnuStation");
  OwnStationDialog& dialog = controller->OpenStationDialog();
  ASSERT_TRUE(dialog.isVisible());
  auto* position = dialog.findChild<QLineEdit*>("StationPosition");
  auto* callsign = dialog.findChild<QLineEdit*>("StationCallsign");
  EXPECT_TRUE(position->text().isEmpty());
  const auto ok = [&] {
    QTest::keyClick(callsign, Qt::Key_Return);
    QCoreApplication::processEvents();
  };

  position->setText("nowhere");
  callsign->setText("n0call-7");
  ok();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(dialog.findChild<QLabel*>("StationProblem")->text().isEmpty());
  EXPECT_EQ(station.config.station, OwnStation{});

  position->setText("FN39xb");
  ok();
  const OwnStation chosen{PointFromMaidenhead("FN39xb"), "N0CALL-7"};
  EXPECT_EQ(station.config.station, chosen);
  EXPECT_EQ(ReadStationConfig(folder.path()).station.callsign, "N0CALL-7");
  EXPECT_EQ(messages.findChild<QLabel*>("AprsMessagesCount")->text(), "0 messages, 0 to N0CALL-7");
  frames.findChild<QLineEdit*>("FilterWithin")->setText("1");
  frames.ApplyFilter();
  EXPECT_TRUE(frames.statusBar()->currentMessage().isEmpty());
}

TEST_F(OwnStationTest, TransmitPathAndBeaconAreChosenBesideTheCallsignAndKept) {
  WriteConfig("false");
  Start();
  OwnStationDialog& dialog = controller->OpenStationDialog();
  // OK closes the dialog, which deletes itself.
  const QPointer<OwnStationDialog> closed(&dialog);
  ASSERT_TRUE(dialog.isVisible());
  auto* callsign = dialog.findChild<QLineEdit*>("StationCallsign");
  auto* transmit = dialog.findChild<QCheckBox*>("StationTransmit");
  auto* path = dialog.findChild<QLineEdit*>("StationPath");
  auto* state = dialog.findChild<QLabel*>("StationTransmitState");
  auto* beaconOn = dialog.findChild<QCheckBox*>("BeaconOn");
  auto* symbol = dialog.findChild<QComboBox*>("BeaconSymbol");
  auto* interval = dialog.findChild<QSpinBox*>("BeaconInterval");
  ASSERT_TRUE(transmit && path && state && beaconOn && symbol && interval);
  EXPECT_TRUE(transmit->isVisible());
  EXPECT_FALSE(transmit->isChecked());
  EXPECT_EQ(path->text(), "WIDE1-1,WIDE2-1");
  EXPECT_EQ(state->text(), "Nothing is sent while Transmit is off.");
  EXPECT_EQ(interval->value(), 30);
  EXPECT_EQ(interval->minimum(), 10);
  EXPECT_EQ(symbol->currentData().toString(), "/-");
  EXPECT_TRUE(symbol->currentText().contains("House QTH"));
  const auto ok = [&] {
    QTest::keyClick(callsign, Qt::Key_Return);
    QCoreApplication::processEvents();
  };

  transmit->setChecked(true);
  callsign->setText("APRS");  // no digit: no callsign to send with
  EXPECT_EQ(state->text(), "Nothing is sent without a valid callsign.");
  ok();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(station.config.station, OwnStation{});

  callsign->setText("n0call-7");
  path->setText("WIDE1-1,WIDE2-99");
  EXPECT_EQ(state->text(), "Nothing is sent while the path is not valid.");
  path->setText("wide2-2");
  EXPECT_TRUE(state->text().isEmpty());
  beaconOn->setChecked(true);
  symbol->setCurrentIndex(symbol->findData("/>"));
  dialog.findChild<QLineEdit*>("BeaconComment")->setText("mobile");
  interval->setValue(45);
  ok();
  EXPECT_TRUE(closed.isNull() || !closed->isVisible());
  const StationConfig saved = ReadStationConfig(folder.path());
  EXPECT_TRUE(saved.station.transmit);
  EXPECT_EQ(saved.station.path, "WIDE2-2");
  EXPECT_EQ(saved.beacon, (BeaconSettings{true, {'/', '>'}, "mobile", 45, false}));
  EXPECT_EQ(controller->Main()->Session().Sender().Refusal(), std::nullopt);
}

TEST_F(OwnStationTest, TheBrowserShowsSentFramesWithTheirMarkerOnlyWhenAsked) {
  WriteConfig("false");
  Start();
  testing::AppendAprs(station.frames, "W1AW", ">heard");
  const std::vector<std::uint8_t> sent = {0xC0, 0x00, 0x82, 0xA0, 0xB4, 0xAC, 0x9E, 0xA4, 0xE0,
                                          0x9C, 0x60, 0x86, 0x82, 0x98, 0x98, 0x61, 0x03, 0xF0,
                                          '>', 's', 'e', 'n', 't', 0xC0};
  AppendSentFrame(station.frames, sent, DateTime{2026, 12, 8, 12, 0, 0, 0}, DisplayOptions{});
  FrameBrowser& frames = controller->OpenFrames();
  frames.Pane().Refresh();
  EXPECT_FALSE(frames.Pane().AllText().contains(QString::fromUtf8(kSentMarker.data())));
  auto* origin = frames.findChild<QComboBox*>("FilterOrigin");
  ASSERT_NE(origin, nullptr);
  origin->setCurrentIndex(2);  // sent only
  ASSERT_TRUE(testing::WaitUntil([&] { return !frames.Filtering(); }));
  frames.Pane().Refresh();
  const QString text = frames.Pane().AllText();
  EXPECT_TRUE(text.contains(QString::fromUtf8(kSentMarker.data())));
  EXPECT_TRUE(text.contains("sent"));
  EXPECT_FALSE(text.contains("heard"));
}

TEST_F(OwnStationTest, TheMapPlacesAnObjectKeepsItAndKillsIt) {
  WriteConfig("false");
  Start();
  MapWindow& map = controller->OpenMap();
  QMenu* menu = map.ObjectMenu({49.5, -72.25});
  QAction* place = nullptr;
  for (QAction* action : menu->actions()) {
    if (action->text() == "Place object here...") place = action;
  }
  ASSERT_NE(place, nullptr);
  EXPECT_FALSE(menu->findChild<QMenu*>("MapKillObject")->isEnabled());
  place->trigger();
  auto* dialog = map.findChild<ObjectDialog*>("ObjectDialog");
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  auto* name = dialog->findChild<QLineEdit*>("ObjectName");
  name->setText("1234567890");  // cut at 9 by the field
  EXPECT_EQ(name->text(), "123456789");
  name->setText("FIELD DAY");
  dialog->findChild<QLineEdit*>("ObjectComment")->setText("tents");
  QTest::keyClick(name, Qt::Key_Return);
  QCoreApplication::processEvents();
  ASSERT_EQ(station.config.objects.size(), 1u);
  EXPECT_EQ(station.config.objects[0].name, "FIELD DAY");
  EXPECT_EQ(station.config.objects[0].position, (GeoPoint{49.5, -72.25}));
  EXPECT_EQ(ReadStationConfig(folder.path()).objects, station.config.objects);

  QMenu* again = map.ObjectMenu({0, 0});
  auto* kill = again->findChild<QMenu*>("MapKillObject");
  ASSERT_TRUE(kill->isEnabled());
  ASSERT_EQ(kill->actions().size(), 1);
  EXPECT_EQ(kill->actions()[0]->text(), "FIELD DAY");
  kill->actions()[0]->trigger();
  EXPECT_TRUE(station.config.objects.empty());
  EXPECT_TRUE(ReadStationConfig(folder.path()).objects.empty());
}

TEST_F(OwnStationTest, TheMapFollowsTheHeardListAndTheOwnStationAndKeepsItsSettings) {
  WriteConfig("false");
  station.tileUrlForThisRun = "http://127.0.0.1:1/{z}/{x}/{y}.png";  // never kept
  Start();
  testing::AppendAprs(station.frames, "N0CALL-7", "!4903.50N/07201.75W>");
  testing::AppendAprs(station.frames, "W1AW", "!4141.00N/07243.00W-");
  MapWindow& map = controller->OpenMap();
  map.Refresh();
  auto* heard = controller->OpenHeard().findChild<HeardView*>();
  ASSERT_TRUE(testing::WaitUntil([&] { return heard->Table().model()->rowCount() == 2; }));
  for (const auto& [callsign, latitude] : {std::pair{"W1AW", 41.6833}, std::pair{"N0CALL-7", 49.0583}}) {
    const int row = heard->CallsignAt(0) == callsign ? 0 : 1;
    heard->Table().selectRow(row);
    EXPECT_NEAR(map.View().Centre().latitude, latitude, 1e-3) << callsign;
    EXPECT_TRUE(map.Details().contains(callsign));
  }

  const auto distance = [&] { return map.List().model()->index(0, 1).data().toString(); };
  EXPECT_TRUE(distance().isEmpty());
  emit controller->OpenStationDialog().StationChosen({kHome, "N0CALL"});
  EXPECT_FALSE(distance().isEmpty());

  // On for this run by the --tile-url, not kept; switched off and on, kept on.
  EXPECT_TRUE(map.OnlineTiles().isChecked());
  EXPECT_FALSE(ReadStationConfig(folder.path()).map.onlineTiles);
  map.OnlineTiles().setChecked(false);
  map.OnlineTiles().setChecked(true);
  const MapSettings saved = ReadStationConfig(folder.path()).map;
  EXPECT_TRUE(saved.onlineTiles);
  EXPECT_EQ(saved.tileUrl, MapSettings{}.tileUrl);
}

TEST_F(OwnStationTest, EveryMapSettingHasAControlAndIsKeptInVorlinkConf) {
  WriteConfig("false");
  Start();
  MapWindow& map = controller->OpenMap();
  const auto saved = [&] { return ReadStationConfig(folder.path()).map; };
  const struct {
    const char* control;
    const char* typed;
    std::function<bool(const MapSettings&)> kept;
    bool refused;
  } rows[] = {
      {"MapTrackHours", "6", [](const MapSettings& m) { return m.trackHours == 6; }, false},
      {"MapRangeRings", "5, 20", [](const MapSettings& m) { return m.ringsKm == std::vector<double>{5, 20}; }, false},
      {"MapRangeRings", "ten", [](const MapSettings& m) { return m.ringsKm == std::vector<double>{5, 20}; }, true},
      {"MapRangeRings", "", [](const MapSettings& m) { return m.ringsKm.empty(); }, false},
      {"MapTileUrl", "http://127.0.0.1:1/{z}/{x}/{y}.png",
       [](const MapSettings& m) { return m.tileUrl == "http://127.0.0.1:1/{z}/{x}/{y}.png"; }, false},
      {"MapTileUrl", "ftp://tiles", [](const MapSettings& m) { return m.tileUrl.starts_with("http://"); }, true},
      {"MapTileCacheMib", "50", [](const MapSettings& m) { return m.tileCacheMib == 50; }, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.control) + " " + row.typed);
    map.statusBar()->clearMessage();
    auto* control = map.findChild<QWidget*>(row.control);
    ASSERT_NE(control, nullptr);
    QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(control, Qt::Key_Delete);
    QTest::keyClicks(control, row.typed);
    QTest::keyClick(control, Qt::Key_Return);
    EXPECT_TRUE(row.kept(saved()));
    EXPECT_EQ(map.statusBar()->currentMessage().isEmpty(), !row.refused);
  }
}

}  // namespace
}  // namespace vorlink
