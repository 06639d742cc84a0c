// The frame browser over the live store and as the capture viewer: loading
// the sample in slices, the filter and its status, search, the stations
// heard, the geometry kept, and the main window's View menu.
#include "ui/frame_browser.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>

#include "decode/capture_loader.h"
#include "fake_clock.h"
#include "temp_folder.h"
#include "ui/frame_view.h"
#include "ui/heard_view.h"
#include "ui/main_window.h"
#include "widget_test_support.h"

namespace vorlink {
namespace {

using namespace std::chrono_literals;

const std::filesystem::path kSample = VORLINK_SAMPLES_DIR "/sample.kss";

std::uint64_t SampleFrames() {
  FrameStore store;
  std::string error;
  EXPECT_TRUE(LoadCapture(kSample, store, DisplayOptions{}, error)) << error;
  return store.Size();
}

class FrameBrowserTest : public ::testing::Test {
 protected:
  std::filesystem::path Settings() const { return folder.path() / kBrowserSettingsFile; }
  void Type(const char* field, const QString& text) {
    auto* edit = browser->findChild<QLineEdit*>(field);
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_TRUE(testing::WaitUntil([&] { return !browser->Filtering(); }));
  }
  FrameBrowser& OpenSample() {
    browser = std::make_unique<FrameBrowser>(Settings());
    browser->show();
    browser->OpenCapture(kSample);
    EXPECT_TRUE(testing::WaitUntil([&] { return !browser->Loading(); }, 10s));
    return *browser;
  }

  testing::TempFolder folder;
  std::unique_ptr<FrameBrowser> browser;
};

TEST_F(FrameBrowserTest, OpensTheSampleWithItsNameAndFramesInTheTitle) {
  const std::uint64_t frames = SampleFrames();
  FrameBrowser& b = OpenSample();
  EXPECT_EQ(b.windowTitle(), QString("sample.kss (%1 frames)").arg(frames));
  EXPECT_EQ(b.findChild<QLabel*>("FrameCounts")->text(),
            QString("%1 of %1 frames").arg(frames));
  EXPECT_TRUE(b.Pane().AllText().contains("from N0CALL to APZ001"));
}

TEST_F(FrameBrowserTest, AFileThatCannotBeReadIsShownOnTheStatusBar) {
  browser = std::make_unique<FrameBrowser>(Settings());
  browser->OpenCapture(folder.path() / "missing.kss");
  EXPECT_FALSE(browser->Loading());
  EXPECT_TRUE(browser->statusBar()->currentMessage().startsWith("Cannot read "));
  EXPECT_EQ(browser->windowTitle(), "missing.kss");
}

struct FilterCase {
  const char* name;
  const char* field;
  const char* value;
  const char* everyBlockHas;
};

void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.name; }

class FrameBrowserFilterTest : public FrameBrowserTest,
                               public ::testing::WithParamInterface<FilterCase> {};

TEST_P(FrameBrowserFilterTest, NarrowsThePaneAndCountsWhatItShows) {
  const std::uint64_t frames = SampleFrames();
  FrameBrowser& b = OpenSample();
  Type(GetParam().field, GetParam().value);
  const QString text = b.Pane().AllText();
  const QStringList blocks = text.split(QString(66, '_'), Qt::SkipEmptyParts);
  ASSERT_GT(blocks.size(), 1);
  for (const QString& block : blocks.mid(0, blocks.size() - 1)) {
    EXPECT_TRUE(block.contains(GetParam().everyBlockHas, Qt::CaseInsensitive)) << block.toStdString();
  }
  const QString status = b.findChild<QLabel*>("FrameCounts")->text();
  const qsizetype shown = text.count(QString(66, '_'));
  EXPECT_EQ(status, QString("%1 of %2 frames").arg(shown).arg(frames));
  EXPECT_LT(static_cast<std::uint64_t>(shown), frames);

  // Emptied, the filter lets everything through again.
  Type(GetParam().field, "");
  EXPECT_EQ(b.findChild<QLabel*>("FrameCounts")->text(), QString("%1 of %1 frames").arg(frames));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FrameBrowserFilterTest,
    ::testing::Values(FilterCase{"Source", "FilterFrom", "n0call", "from N0CALL to"},
                      FilterCase{"SourceGlob", "FilterFrom", "N0CALL-*", "from N0CALL-"},
                      FilterCase{"Text", "FilterText", "station", "station"},
                      FilterCase{"Pid", "FilterPid", "F0", "PID: F0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrameBrowserTest, AWrongPidIsRefusedOnTheStatusBar) {
  FrameBrowser& b = OpenSample();
  auto* pid = b.findChild<QLineEdit*>("FilterPid");
  pid->setText("XYZ");
  QTest::keyClick(pid, Qt::Key_Return);
  EXPECT_EQ(b.statusBar()->currentMessage(), "PID takes one or two hex digits");
}

TEST_F(FrameBrowserTest, LiveFramesAreFilteredAsTheyArrive) {
  FrameStore store;
  browser = std::make_unique<FrameBrowser>(store, Settings());
  browser->show();
  Type("FilterFrom", "N0CALL");
  EXPECT_EQ(browser->StatusText(), "0 of 0 frames");
  std::string error;
  ASSERT_TRUE(LoadCapture(kSample, store, DisplayOptions{}, error));
  ASSERT_TRUE(testing::WaitUntil([&] { return !browser->StatusText().startsWith("0 of"); }));
  ASSERT_TRUE(testing::WaitUntil([&] { return !browser->Filtering(); }));
  EXPECT_TRUE(browser->StatusText().endsWith(QString(" of %1 frames").arg(store.Size())));
  EXPECT_TRUE(browser->Pane().AllText().contains("from N0CALL to"));
  store.Clear();
  ASSERT_TRUE(testing::WaitUntil([&] { return browser->StatusText() == "0 of 0 frames"; }));
}

TEST_F(FrameBrowserTest, F3FindsTheNextMatch) {
  FrameBrowser& b = OpenSample();
  b.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&b));
  auto* find = b.findChild<QLineEdit*>("FindText");
  find->setFocus();
  find->setText("weekly net");
  QTest::keyClick(find, Qt::Key_F3);
  EXPECT_EQ(b.Pane().SelectedText(), "weekly net");
  find->setText("no such words");
  QTest::keyClick(find, Qt::Key_F3);
  EXPECT_EQ(b.statusBar()->currentMessage(), "Not found: no such words");
}

TEST_F(FrameBrowserTest, HeardStationsDoubleClickedFilterBySource) {
  FrameBrowser& b = OpenSample();
  QTableWidget& table = b.Heard().Table();
  ASSERT_GT(table.rowCount(), 1);
  // Sorted by frames, most first.
  EXPECT_GE(table.item(0, 1)->data(Qt::DisplayRole).toULongLong(),
            table.item(1, 1)->data(Qt::DisplayRole).toULongLong());
  const QString callsign = table.item(0, 0)->text();
  emit table.cellDoubleClicked(0, 0);
  ASSERT_TRUE(testing::WaitUntil([&] { return !b.Filtering(); }));
  EXPECT_EQ(b.findChild<QLineEdit*>("FilterFrom")->text(), callsign);
  EXPECT_EQ(b.StatusText(), QString("%1 of %2 frames")
                                .arg(table.item(0, 1)->text())
                                .arg(SampleFrames()));
}

TEST_F(FrameBrowserTest, KeepsItsGeometry) {
  OpenSample();
  browser->resize(700, 500);
  browser->close();
  browser = std::make_unique<FrameBrowser>(Settings());
  browser->show();
  EXPECT_EQ(browser->size(), QSize(700, 500));
}

TEST(FrameRateTest, CountsFramesPerMinuteOverTheLastHour) {
  FrameStore store;
  const std::uint8_t bytes[] = {0x00, 0x82, 0x84, 0x86};
  const std::int64_t hour = 3'600'000;
  // One frame two hours back (left out), one just within the hour, three in its last minute.
  for (const std::int64_t at : {std::int64_t{0}, hour + 1, 2 * hour - 1000, 2 * hour - 500, 2 * hour}) {
    store.Append(bytes, at, DisplayOptions{}, {}, 1);
  }
  const FrameRate rate = CountFrameRate(store, false);
  ASSERT_EQ(rate.bars.size(), static_cast<std::size_t>(kChartBars));
  EXPECT_EQ(rate.start, hour + 1);
  EXPECT_EQ(rate.barMilliseconds, 60'000);
  EXPECT_EQ(rate.bars.back(), 3u);
  EXPECT_EQ(rate.bars.front(), 1u);
  const FrameRate whole = CountFrameRate(store, true);
  EXPECT_EQ(whole.barMilliseconds, 120'000);
  std::uint64_t all = 0;
  for (auto n : whole.bars) all += n;
  EXPECT_EQ(all, 5u);
}

TEST(FrameRateTest, ArrivalTimesThatGoBackAreCountedAll) {
  // The clock set back ten minutes, then three minutes, while frames arrived.
  const std::uint8_t bytes[] = {0x00, 0x82, 0x84, 0x86};
  const std::int64_t minute = 60'000;
  for (const bool wholeSpan : {false, true}) {
    FrameStore store;
    for (const std::int64_t at : {30 * minute, 31 * minute, 21 * minute, 22 * minute, 19 * minute}) {
      store.Append(bytes, at, DisplayOptions{}, {}, 1);
    }
    const FrameRate rate = CountFrameRate(store, wholeSpan);
    EXPECT_EQ(rate.start, 19 * minute);
    EXPECT_EQ(rate.barMilliseconds, minute);
    ASSERT_EQ(rate.bars.size(), 13u);
    EXPECT_EQ(rate.bars.front(), 1u);
    EXPECT_EQ(rate.bars.back(), 1u);
    std::uint64_t all = 0;
    for (auto n : rate.bars) all += n;
    EXPECT_EQ(all, 5u);
  }
}

TEST(MainWindowMenuTest, ViewMenuAndOpenCaptureBesideFileOptionsAndInfo) {
  testing::TempFolder folder;
  testing::FakeClock clock;
  Station station;
  station.programFolder = folder.path();
  station.workingFolder = folder.path();
  MainWindow window(WindowEnvironment{station, clock});
  auto* view = window.findChild<QMenu*>("MnuView");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->title(), "&View");
  QStringList entries;
  for (QAction* a : view->actions()) entries << a->text();
  EXPECT_EQ(entries, QStringList({"&Frames", "&Heard Stations", "&Messages"}));
  EXPECT_EQ(window.findChild<QAction*>("MnuFrames")->shortcut(), QKeySequence("Ctrl+F"));
  QStringList file;
  for (QAction* a : window.findChild<QMenu*>("MnuFile")->actions()) file << a->text();
  EXPECT_EQ(file, QStringList({"TNC Setup", "Open Capture...", "&Exit"}));
}

}  // namespace
}  // namespace vorlink
