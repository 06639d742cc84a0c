// The frame browser over the live store and as the capture viewer: loading
// the sample in slices, the filter and its status, search, the stations
// heard, and the main window's View menu.
#include "ui/frame_browser.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QSignalSpy>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTest>

#include "store/capture_loader.h"
#include "fake_clock.h"
#include "sample_stream.h"
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
  void Type(const char* field, const QString& text) {
    auto* edit = browser->findChild<QLineEdit*>(field);
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_TRUE(testing::WaitUntil([&] { return !browser->Filtering(); }));
  }
  FrameBrowser& OpenSample() {
    browser = std::make_unique<FrameBrowser>();
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
  browser = std::make_unique<FrameBrowser>();
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
  browser = std::make_unique<FrameBrowser>(store);
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
  // A search runs in slices: on a slow build it may take more than one.
  const auto searched = [&] { return testing::WaitUntil([&] { return !b.Pane().Working(); }); };
  QTest::keyClick(find, Qt::Key_F3);
  ASSERT_TRUE(searched());
  EXPECT_EQ(b.Pane().SelectedText(), "weekly net");
  find->setText("no such words");
  QTest::keyClick(find, Qt::Key_F3);
  ASSERT_TRUE(searched());
  EXPECT_EQ(b.statusBar()->currentMessage(), "Not found: no such words");
}

// Every match of a text, line by line left to right, as positions of the store's text.
std::vector<TextPosition> AllMatches(const FrameStore& store, const QString& all, const QString& text) {
  std::vector<TextPosition> matches;
  const QStringList lines = all.split('\n');
  for (qsizetype k = 0; k + 1 < lines.size(); ++k) {
    const LinePosition at = store.LocateLine(static_cast<std::uint64_t>(k));
    for (qsizetype c = lines[k].indexOf(text, 0, Qt::CaseInsensitive); c >= 0;
         c = lines[k].indexOf(text, c + text.size(), Qt::CaseInsensitive)) {
      matches.push_back({at.frame, at.line, static_cast<int>(c)});
    }
  }
  return matches;
}

TEST_F(FrameBrowserTest, F3AndShiftF3VisitEveryMatchInTurnAndGoRound) {
  FrameStore store;
  std::string error;
  ASSERT_TRUE(LoadCapture(kSample, store, DisplayOptions{}, error)) << error;
  browser = std::make_unique<FrameBrowser>(store);
  FrameBrowser& b = *browser;
  b.show();
  b.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&b));
  QTest::keyClick(&b.Pane(), Qt::Key_Home);
  auto* find = b.findChild<QLineEdit*>("FindText");
  find->setText("station");
  const std::vector<TextPosition> matches = AllMatches(store, b.Pane().AllText(), "station");
  ASSERT_GT(matches.size(), 2u);
  const auto press = [&](Qt::KeyboardModifiers keys) {
    QTest::keyClick(find, Qt::Key_F3, keys);
    EXPECT_TRUE(testing::WaitUntil([&] { return !b.Pane().Working(); }));
    return b.Pane().SelectionStart();
  };
  for (const TextPosition& match : matches) EXPECT_EQ(press({}), match);
  EXPECT_EQ(press({}), matches.front());  // round again
  EXPECT_EQ(press(Qt::ShiftModifier), matches.back());
  for (auto k = matches.size() - 1; k > 0; --k) EXPECT_EQ(press(Qt::ShiftModifier), matches[k - 1]);
  EXPECT_EQ(press(Qt::ShiftModifier), matches.back());
}

TEST_F(FrameBrowserTest, ALongFindReportsItsProgressAndEscStopsIt) {
  FrameStore store;
  browser = std::make_unique<FrameBrowser>(store);
  browser->show();
  browser->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(browser.get()));
  std::string error;
  for (int k = 0; k < 60; ++k) ASSERT_TRUE(LoadCapture(kSample, store, DisplayOptions{}, error));
  auto* find = browser->findChild<QLineEdit*>("FindText");
  find->setText("no such words");
  for (const Qt::KeyboardModifiers keys : {Qt::KeyboardModifiers{}, Qt::KeyboardModifiers{Qt::ShiftModifier}}) {
    QTest::keyClick(find, Qt::Key_F3, keys);
    ASSERT_TRUE(browser->Pane().Working());
    EXPECT_TRUE(browser->statusBar()->currentMessage().startsWith("searching... "));
    EXPECT_TRUE(browser->statusBar()->currentMessage().endsWith(
        QString(" of %1").arg(store.LineCount())));
    QTest::keyClick(find, Qt::Key_Escape);
    EXPECT_FALSE(browser->Pane().Working());
    EXPECT_EQ(browser->statusBar()->currentMessage(), "Stopped");
  }
  // Left to run, it ends without a match and the window answered meanwhile.
  QSignalSpy slices(&browser->Pane(), &FrameView::Progress);
  QTest::keyClick(find, Qt::Key_F3);
  ASSERT_TRUE(testing::WaitUntil([&] { return !browser->Pane().Working(); }, 30s));
  EXPECT_GT(slices.count(), 1);
  EXPECT_EQ(browser->statusBar()->currentMessage(), "Not found: no such words");
}

TEST_F(FrameBrowserTest, HeardStationsDoubleClickedFilterBySource) {
  FrameBrowser& b = OpenSample();
  QTableView& table = b.Heard().Table();
  const QAbstractItemModel& rows = *table.model();
  ASSERT_GT(rows.rowCount(), 1);
  // Sorted by frames, most first.
  const auto frames = [&](int row) { return rows.index(row, 1).data().toULongLong(); };
  EXPECT_GE(frames(0), frames(1));
  const QString callsign = rows.index(0, 0).data().toString();
  const QRect cell = table.visualRect(rows.index(0, 0));
  QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(table.viewport(), Qt::LeftButton, {}, cell.center());
  ASSERT_TRUE(testing::WaitUntil([&] { return !b.Filtering(); }));
  EXPECT_EQ(b.findChild<QLineEdit*>("FilterFrom")->text(), callsign);
  EXPECT_EQ(b.StatusText(), QString("%1 of %2 frames").arg(frames(0)).arg(SampleFrames()));
}

// A UI frame from a source callsign, as the store keeps it.
void Hear(FrameStore& store, const char* source, int times) {
  sample::Ax25Frame frame{{"APZ001"}, {source}, {}, true, sample::kControlUi, 0xF0,
                          sample::Bytes("hello")};
  std::vector<std::uint8_t> kiss;
  sample::AppendKissFrame(kiss, 0, sample::EncodeAx25(frame));
  for (int k = 0; k < times; ++k) store.Append(kiss, 1000 * k, DisplayOptions{}, {}, 8);
}

TEST(HeardViewTest, TheSelectionStaysOnItsStationWhenItsRowMoves) {
  FrameStore store;
  Hear(store, "ALPHA", 3);
  Hear(store, "BRAVO", 2);
  Hear(store, "KILO", 1);
  HeardView view(store, false);
  view.resize(600, 300);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  QTableView& table = view.Table();
  const auto callsigns = [&] {
    QStringList shown;
    for (int row = 0; row < table.model()->rowCount(); ++row) shown << view.CallsignAt(row);
    return shown;
  };
  ASSERT_EQ(callsigns(), QStringList({"ALPHA", "BRAVO", "KILO"}));
  QTest::mouseClick(table.viewport(), Qt::LeftButton, {},
                    table.visualRect(table.model()->index(2, 0)).center());
  QSignalSpy resets(table.model(), &QAbstractItemModel::modelReset);

  Hear(store, "KILO", 4);
  Hear(store, "DELTA", 2);
  view.Refresh();
  EXPECT_EQ(callsigns(), QStringList({"KILO", "ALPHA", "BRAVO", "DELTA"}));
  const QModelIndexList selected = table.selectionModel()->selectedRows();
  ASSERT_EQ(selected.size(), 1);
  EXPECT_EQ(view.CallsignAt(selected.front().row()), "KILO");
  EXPECT_EQ(table.model()->index(0, 1).data().toString(), "5");
  EXPECT_EQ(resets.count(), 0);

  // Cleared, the list starts again.
  store.Clear();
  Hear(store, "ECHO", 1);
  view.Refresh();
  EXPECT_EQ(callsigns(), QStringList({"ECHO"}));
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
  EXPECT_EQ(entries,
            QStringList({"&Frames", "&Heard Stations", "M&ap", "&Messages", "&APRS Messages"}));
  EXPECT_EQ(window.findChild<QAction*>("MnuFrames")->shortcut(), QKeySequence("Ctrl+F"));
  QStringList file;
  for (QAction* a : window.findChild<QMenu*>("MnuFile")->actions()) file << a->text();
  EXPECT_EQ(file, QStringList({"TNC Setup", "Open Capture...", "&Exit"}));
}

}  // namespace
}  // namespace vorlink
