// The secondary windows as the operator first meets them: Messages, Heard
// Stations and Frames open at a size that shows every column unclipped and
// times on one line, come back where they were left (kept in vorlink.conf by
// the window controller), and the frame-rate chart has its axes labelled.
// The menu's settings go to vorlink.conf through the same owner.
#include <gtest/gtest.h>

#include <QScreen>

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTableView>

#include "app/qt_station_config.h"
#include "controller_fixture.h"
#include "ui/frame_browser.h"
#include "ui/heard_view.h"
#include "ui/messages_window.h"

namespace vorlink {
namespace {

using testing::Hex;
using testing::kFrame20;
using testing::ReadText;
using testing::WaitUntil;

class WindowPlaceTest : public testing::ControllerTest {
 protected:
  void SetUp() override {
    WriteConfig("false");
    Start();
    com1.Write(Hex(kFrame20));
    ASSERT_TRUE(WaitUntil([&] { return PaneText().contains("from XYZ-7 to ABC"); }));
  }
  void Show(QWidget& window) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
};

// Every column as wide as its title and every cell's text, all within the view.
void ExpectAllColumnsShown(QTableView& table) {
  const QFontMetrics metrics(table.font());
  ASSERT_GT(table.model()->rowCount(), 0);
  EXPECT_FALSE(table.wordWrap());
  // All within the view, unless the screen is narrower than the columns.
  if (table.window()->frameGeometry().width() < table.screen()->availableGeometry().width()) {
    EXPECT_LE(table.horizontalHeader()->length(), table.viewport()->width());
  }
  for (int c = 0; c < table.model()->columnCount(); ++c) {
    EXPECT_GE(table.columnWidth(c), table.horizontalHeader()->sectionSizeHint(c)) << c;
    for (int r = 0; r < table.model()->rowCount(); ++r) {
      const QString text = table.model()->index(r, c).data().toString();
      EXPECT_GT(table.columnWidth(c), metrics.horizontalAdvance(text)) << text.toStdString();
    }
  }
}

TEST_F(WindowPlaceTest, MessagesShowWholeLines) {
  station.messages.Add(clock.local, std::string(70, 'm'));
  Trigger("MnuMessages");
  MessagesWindow& window = *controller->Messages();
  Show(window);
  EXPECT_EQ(window.Lines()->horizontalScrollBar()->maximum(), 0);
  EXPECT_GT(window.Lines()->viewport()->height(), 10 * window.Lines()->fontMetrics().lineSpacing());
}

TEST_F(WindowPlaceTest, HeardStationsShowEveryColumnAndTheChartItsAxes) {
  Trigger("MnuHeard");
  QWidget& window = controller->OpenHeard();
  auto* view = window.findChild<HeardView*>();
  Show(window);
  ASSERT_TRUE(WaitUntil([&] { return view->Table().model()->rowCount() > 0; }));
  ExpectAllColumnsShown(view->Table());

  auto* chart = view->findChild<FrameRateChart*>();
  const QImage image = chart->grab().toImage();
  const RateAxes& axes = chart->Axes();
  ASSERT_FALSE(axes.time.empty());
  for (const AxisTick& tick : axes.time) {
    EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d$").match(QString::fromStdString(tick.label)).hasMatch());
  }
  ASSERT_GE(axes.count.size(), 2u);
  EXPECT_EQ(axes.count.front().label, "0");
  EXPECT_EQ(axes.count.back().label, std::to_string(axes.top));
  // The time labels are drawn below the axis: the bottom rows are not all background.
  const QRgb background = chart->palette().color(QPalette::Base).rgb();
  bool drawn = false;
  for (int y = image.height() - chart->fontMetrics().height(); y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) drawn = drawn || image.pixel(x, y) != background;
  }
  EXPECT_TRUE(drawn);
}

TEST_F(WindowPlaceTest, FramesShowAFrameLineAndEveryHeardColumn) {
  FrameBrowser& browser = controller->OpenFrames();
  Show(browser);
  ASSERT_TRUE(WaitUntil([&] { return browser.Heard().Table().model()->rowCount() > 0; }));
  ExpectAllColumnsShown(browser.Heard().Table());
  const QFontMetrics pane(browser.Pane().font());
  EXPECT_GE(browser.Pane().viewport()->width(), pane.horizontalAdvance(QString(66, '_')));
}

struct PlaceCase {
  const char* name;
  QWidget& (*open)(AppController&);
  WindowPlace StationConfig::*place;
  const char* group;
};

void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.name; }

class WindowComesBackTest : public WindowPlaceTest,
                            public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(WindowComesBackTest, AtTheGeometryItWasClosedWith) {
  const PlaceCase& c = GetParam();
  QWidget& first = c.open(*controller);
  Show(first);
  first.resize(610, 430);
  QCoreApplication::processEvents();
  first.close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE((station.config.*c.place).geometry.empty());
  EXPECT_NE(ReadText(folder.path() / "vorlink.conf").find(std::string("[") + c.group + "]"),
            std::string::npos);
  EXPECT_EQ(ReadStationConfig(folder.path()).*c.place, station.config.*c.place);

  QWidget& again = c.open(*controller);
  Show(again);
  EXPECT_EQ(again.size(), QSize(610, 430));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowComesBackTest,
    ::testing::Values(
        PlaceCase{"Messages",
                  [](AppController& a) -> QWidget& {
                    a.Main()->findChild<QAction*>("MnuMessages")->trigger();
                    return *a.Messages();
                  },
                  &StationConfig::messages, "Messages"},
        PlaceCase{"Heard", [](AppController& a) -> QWidget& { return a.OpenHeard(); },
                  &StationConfig::heard, "HeardStations"},
        PlaceCase{"Frames", [](AppController& a) -> QWidget& { return a.OpenFrames(); },
                  &StationConfig::frames, "FrameBrowser"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowPlaceTest, TheMenuSettingIsSavedByTheOwnerAndAFailedSaveIsTold) {
  const auto conf = folder.path() / "vorlink.conf";
  Trigger("MnuPcapCapture");
  EXPECT_NE(ReadText(conf).find("[Capture]\nWritePcapCapture=false"), std::string::npos);
  Trigger("MnuPcapCapture");
  EXPECT_EQ(ReadText(conf).find("WritePcapCapture"), std::string::npos);

  std::filesystem::remove(conf);
  std::filesystem::create_directory(conf);
  Trigger("MnuPcapCapture");
  EXPECT_EQ(Main().SimpleText(), "cannot save vorlink.conf");
  EXPECT_TRUE(LogHas("cannot save vorlink.conf"));
}

}  // namespace
}  // namespace vorlink
