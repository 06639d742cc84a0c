#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <fstream>
#include <memory>

#include "fake_clock.h"
#include "hex.h"
#include "link/qt_serial_port.h"
#include "pty_pair.h"
#include "ui/frame_view.h"
#include "widget_test_support.h"

namespace vorlink {
namespace {

using namespace std::chrono_literals;
using testing::Hex;
using testing::ReadText;
using testing::ToHex;
using testing::WaitUntil;

const char* const kUiFrame = "C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0 68 69 C0";

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    com1.LinkAs(folder.path() / "COM1");
    testing::WriteFile(folder.path() / "vorlink.ini",
                       "01,19200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\nfalse\r\n");
    testing::WriteFile(folder.path() / "tnc_init.txt", "KISS ON\r\n");
    testing::WriteFile(folder.path() / "tnc_exit.txt", "^K\r\n");
    station.programFolder = folder.path();
    station.workingFolder = folder.path();
    clock.local = {2026, 12, 6, 10, 0, 0, 345};
  }

  MainWindow& LoadWindow() {
    window = std::make_unique<MainWindow>(WindowEnvironment{station, clock, timeServer.Port()});
    window->Load();
    return *window;
  }
  template <typename T>
  T* Find(const char* name) {
    return window->findChild<T*>(name);
  }
  QString PaneText() { return Find<FrameView>("RichTextBox1")->AllText(); }
  std::string Received(std::chrono::milliseconds wait = 1000ms) {
    std::vector<std::uint8_t> all;
    WaitUntil([&] {
      auto more = com1.Read(10ms);
      all.insert(all.end(), more.begin(), more.end());
      return !more.empty();
    }, wait);
    for (auto more = com1.Read(50ms); !more.empty(); more = com1.Read(50ms)) {
      all.insert(all.end(), more.begin(), more.end());
    }
    return ToHex(all);
  }

  testing::StationFolder folder;
  testing::PtyPair com1;
  testing::TimeServer timeServer{QByteArray("\xEE\xBF\xB0\xA0", 4)};
  testing::FakeClock clock;
  Station station;
  std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, StartsInItsDesignStateWithTheStartScriptSent) {
  MainWindow& w = LoadWindow();
  EXPECT_EQ(w.windowTitle(), "Vorlink +");
  for (const char* name : {"ShowTimeStamp", "GenerateTimeFrames", "AnalyzeFrame"}) {
    EXPECT_TRUE(Find<QCheckBox>(name)->isChecked()) << name;
  }
  EXPECT_TRUE(Find<QAction>("MnuDecodePayload")->isChecked());
  EXPECT_FALSE(Find<QAction>("MnuMirror")->isChecked());
  EXPECT_EQ(Find<QLabel>("Label1")->text(), "sync...");
  EXPECT_EQ(Find<QLabel>("Label2")->text(), "COM 1, 19200,N,8,1 initialized ");
  EXPECT_EQ(Find<QPushButton>("Command1")->text(), "Set TNC in CMD Mode");
  EXPECT_EQ(Find<QLabel>("Label9")->geometry(), QRect(256, 16, 185, 17));
  w.adjustSize();
  EXPECT_EQ(w.minimumSize(), w.maximumSize());
  EXPECT_EQ(w.centralWidget()->size(), QSize(683, 456));
  EXPECT_TRUE(w.IncomingPort().PortOpen());
  EXPECT_EQ(Received(), "4B 49 53 53 20 4F 4E 0D");
}

TEST_F(MainWindowTest, ReceivedFrameIsShownCountedAndCaptured) {
  MainWindow& w = LoadWindow();
  com1.Write(Hex(kUiFrame));
  ASSERT_TRUE(WaitUntil([&] { return PaneText().contains("from XYZ-7 to ABC"); }));
  EXPECT_EQ(PaneText().toStdString(),
            "\n2026-12-06 10:00:00.345 UTC: [21 Bytes KISS Frame (without CRC)]\n"
            "ctrl: 3   PID: F0 {UI}   2 Payload Bytes\n"
            "from XYZ-7 to ABC: \n"
            " 1   > 68 69 \n"
            "hi\n\n" +
                std::string(66, '_') + "\n");
  EXPECT_EQ(Find<QLabel>("Label9")->text(), "21 Bytes received (1 Frames)");
  const CaptureFiles& captures = w.Captures();
  auto bytes = [](const std::vector<std::uint8_t>& b) { return std::string(b.begin(), b.end()); };
  EXPECT_EQ(ReadText(captures.KssFileName()),
            bytes(Hex("C0 09 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0")) +
                "asy: 2026-12-06 10:00:00.345 UTC" + bytes(Hex("C0")) + bytes(Hex(kUiFrame)));
  EXPECT_EQ(ReadText(captures.DumpFileName()), "2026-12-06 10:00:00.345 UTC: hi\r\n");
  EXPECT_EQ(ReadText(captures.HexFileName()), "68 69\r\n");
}

TEST_F(MainWindowTest, WritePcapCaptureIsTheLastOptionOnByDefaultAndKeptInTheStationConfig) {
  MainWindow& w = LoadWindow();
  QAction* entry = Find<QAction>("MnuPcapCapture");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->text(), "Write pcap Capture");
  EXPECT_TRUE(entry->isCheckable());
  EXPECT_TRUE(entry->isChecked());
  EXPECT_EQ(Find<QMenu>("MnuOptions")->actions().back(), entry);
  const auto pcap = w.Captures().PcapFileName();
  const std::uintmax_t record = 16 + 19;  // the frame without its FENDs
  com1.Write(Hex(kUiFrame));
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::file_size(pcap) == 24 + record; }));
  QSignalSpy changed(&w, &MainWindow::ConfigChanged);

  entry->trigger();
  EXPECT_FALSE(station.config.capture.writePcap);
  EXPECT_EQ(changed.count(), 1);
  com1.Write(Hex(kUiFrame));
  ASSERT_TRUE(WaitUntil([&] { return PaneText().count("from XYZ-7 to ABC") == 2; }));
  EXPECT_EQ(std::filesystem::file_size(pcap), 24 + record);

  entry->trigger();
  EXPECT_TRUE(station.config.capture.writePcap);
  entry->trigger();
  window.reset();
  LoadWindow();
  EXPECT_FALSE(Find<QAction>("MnuPcapCapture")->isChecked());
}

TEST_F(MainWindowTest, SerialEventsShowTheirTextsAndDataClearsThem) {
  MainWindow& w = LoadWindow();
  // Let the time server exchange write its texts first.
  ASSERT_TRUE(WaitUntil([&] { return !clock.setCalls.empty(); }));
  emit w.IncomingPort().OnComm(1004);
  EXPECT_EQ(w.SimpleText(), "Framing Error");
  emit w.MirrorPort().OnComm(1008);
  EXPECT_EQ(w.SimpleText(), "Receive Buffer Overflow");
  com1.Write(Hex("C0 00 41 C0"));
  EXPECT_TRUE(WaitUntil([&] { return w.SimpleText().isEmpty(); }));
}

TEST_F(MainWindowTest, TerminalKeysAndTncButtonsReachTheTnc) {
  MainWindow& w = LoadWindow();
  ASSERT_TRUE(WaitUntil([&] { return !clock.setCalls.empty(); }));
  Received();
  auto* text1 = Find<QLineEdit>("Text1");
  QTest::keyClicks(text1, "KI");
  QTest::keyClick(text1, Qt::Key_Return);
  EXPECT_EQ(text1->text(), "");
  QTest::keyClick(text1, Qt::Key_C, Qt::ControlModifier);
  QTest::keyClick(text1, Qt::Key_Escape);
  EXPECT_EQ(text1->text(), "[ESC]");
  EXPECT_EQ(Received(), "4B 49 0D 03 1B");
  QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);
  EXPECT_EQ(Received(), "C0 FF C0");
  EXPECT_EQ(w.SimpleText(), "set TNC in CMD mode");
  QTest::mouseClick(Find<QPushButton>("Command4"), Qt::LeftButton);
  EXPECT_EQ(Received(), "4B 49 53 53 20 4F 4E 0D");
  EXPECT_EQ(w.SimpleText(), "done");
}

// Only printable characters, Enter, Escape, Backspace and Ctrl+letter reach
// the TNC. Each key carries the text a desktop reports with it, and is
// followed by an "x", so a key that sends nothing is seen as the "x" alone.
TEST_F(MainWindowTest, TerminalSendsOnlyTheListedKeysAndKeepsTheFocus) {
  struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* text;
    const char* sent;
  };
  const KeyCase cases[] = {
      {"Tab", Qt::Key_Tab, Qt::NoModifier, "\t", "78"},
      {"Shift+Tab", Qt::Key_Backtab, Qt::ShiftModifier, "\t", "78"},
      {"Delete", Qt::Key_Delete, Qt::NoModifier, "\x7F", "78"},
      {"Insert", Qt::Key_Insert, Qt::NoModifier, "", "78"},
      {"F1", Qt::Key_F1, Qt::NoModifier, "", "78"},
      {"Backspace", Qt::Key_Backspace, Qt::NoModifier, "\b", "08 78"},
      {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier, "\x1A", "1A 78"},
      {"Ctrl+I", Qt::Key_I, Qt::ControlModifier, "\t", "09 78"},
      {"Ctrl+F", Qt::Key_F, Qt::ControlModifier, "\x06", "06 78"},
      {"Ctrl+A", Qt::Key_A, Qt::ControlModifier, "\x01", "01 78"},
      {"blank", Qt::Key_Space, Qt::NoModifier, " ", "20 78"},
  };
  MainWindow& w = LoadWindow();
  ASSERT_TRUE(WaitUntil([&] { return !clock.setCalls.empty(); }));
  auto* text1 = Find<QLineEdit>("Text1");
  QSignalSpy framesRequested(&w, &MainWindow::FramesRequested);
  w.show();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  text1->setFocus();
  ASSERT_TRUE(WaitUntil([&] { return text1->hasFocus(); }));
  Received();
  for (const KeyCase& c : cases) {
    QTest::sendKeyEvent(QTest::Click, text1, c.key, QString::fromLatin1(c.text), c.modifiers);
    QTest::keyClick(text1, Qt::Key_X);
    EXPECT_EQ(Received(), c.sent) << c.name;
    EXPECT_TRUE(text1->hasFocus()) << c.name;
  }
  // The terminal keeps Ctrl+F; elsewhere in the window it opens the frame browser.
  EXPECT_EQ(framesRequested.count(), 0);
  auto* pane = Find<FrameView>("RichTextBox1");
  pane->setFocus();
  ASSERT_TRUE(WaitUntil([&] { return pane->hasFocus(); }));
  QTest::keyClick(pane, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(framesRequested.count(), 1);
  EXPECT_EQ(Received(), "");
}

// A UI frame whose payload makes a character line wider than the pane.
std::vector<std::uint8_t> WideFrame() {
  std::vector<std::uint8_t> frame = Hex("C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0");
  for (int i = 0; i < 200; ++i) frame.push_back(static_cast<std::uint8_t>('a' + i % 26));
  frame.push_back(0xC0);
  return frame;
}

// Frames sent in batches the port takes at once, each shown before the next.
void PlayFrames(testing::PtyPair& tnc, Station& station, int count) {
  constexpr int kBatch = 10;
  const auto frame = WideFrame();
  for (int sent = 0; sent < count; sent += kBatch) {
    std::vector<std::uint8_t> batch;
    for (int i = 0; i < kBatch; ++i) batch.insert(batch.end(), frame.begin(), frame.end());
    const int before = station.counters.FrameCount;
    ASSERT_EQ(tnc.Write(batch), batch.size());
    ASSERT_TRUE(WaitUntil([&] { return station.counters.FrameCount == before + kBatch; }));
  }
}

TEST_F(MainWindowTest, FramePaneFollowsNewFramesOnlyWhileItsViewIsAtTheEnd) {
  MainWindow& w = LoadWindow();
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  auto* pane = Find<FrameView>("RichTextBox1");
  QScrollBar* bar = pane->verticalScrollBar();
  const auto atEnd = [&] { return bar->maximum() > 0 && bar->value() == bar->maximum(); };

  PlayFrames(com1, station, 300);
  QTest::qWait(3 * kFrameViewRefreshMs);
  EXPECT_TRUE(pane->horizontalScrollBar()->isVisible());
  EXPECT_TRUE(atEnd()) << bar->value() << " of " << bar->maximum();

  // The operator reads older lines: the view stays where they put it.
  bar->triggerAction(QAbstractSlider::SliderPageStepSub);
  const int reading = bar->value();
  ASSERT_LT(reading, bar->maximum());
  PlayFrames(com1, station, 30);
  QTest::qWait(3 * kFrameViewRefreshMs);
  EXPECT_EQ(bar->value(), reading);
  EXPECT_FALSE(atEnd());

  // Back at the end, the view follows again.
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  PlayFrames(com1, station, 30);
  QTest::qWait(3 * kFrameViewRefreshMs);
  EXPECT_TRUE(atEnd()) << bar->value() << " of " << bar->maximum();
}

// What the TNC sends is shown line for line as vorlink-decode prints it.
TEST_F(MainWindowTest, FramePaneShowsTheSampleAsTheDecoderPrintsIt) {
  LoadWindow();
  Find<QCheckBox>("ShowTimeStamp")->setChecked(false);
  std::ifstream kss(VORLINK_SAMPLE, std::ios::binary);
  const std::vector<std::uint8_t> stream(std::istreambuf_iterator<char>(kss), {});
  std::ifstream txt(std::filesystem::path(VORLINK_SAMPLE).replace_extension(".txt"),
                    std::ios::binary);
  const QString printed =
      QString::fromStdString(std::string(std::istreambuf_iterator<char>(txt), {}));
  ASSERT_FALSE(printed.isEmpty());
  // In pieces the pseudo-terminal takes, as a TNC at speed would send them.
  for (std::size_t sent = 0; sent < stream.size(); QTest::qWait(5)) {
    const std::size_t piece = std::min<std::size_t>(1024, stream.size() - sent);
    sent += com1.Write(std::vector<std::uint8_t>(stream.begin() + sent,
                                                 stream.begin() + sent + piece));
  }
  WaitUntil([&] { return PaneText().size() >= printed.size(); }, 10s);
  const QStringList shown = PaneText().split('\n');
  const QStringList lines = printed.split('\n');
  ASSERT_EQ(shown.size(), lines.size());
  for (qsizetype k = 0; k < lines.size(); ++k) ASSERT_EQ(shown[k], lines[k]) << "line " << k;
}

TEST_F(MainWindowTest, ClearCounterEmptiesThePane) {
  LoadWindow();
  com1.Write(Hex(kUiFrame));
  ASSERT_TRUE(WaitUntil([&] { return PaneText().contains("from XYZ-7 to ABC"); }));
  Find<QAction>("MnuClear")->trigger();
  EXPECT_EQ(PaneText(), "");
  EXPECT_EQ(station.frames.Size(), 0u);
  com1.Write(Hex(kUiFrame));
  ASSERT_TRUE(WaitUntil([&] { return PaneText().contains("from XYZ-7 to ABC"); }));
  EXPECT_EQ(PaneText().count("from XYZ-7 to ABC"), 1);
}

TEST_F(MainWindowTest, UnloadSendsTheExitScriptClosesAndSaves) {
  MainWindow& w = LoadWindow();
  Received();
  const auto kss = w.Captures().KssFileName();
  w.close();
  EXPECT_EQ(Received(), "1B 4B 0D");
  EXPECT_FALSE(w.IncomingPort().PortOpen());
  EXPECT_FALSE(std::filesystem::exists(kss));  // nothing was received
  EXPECT_EQ(ReadText(folder.path() / "vorlink.ini"),
            "01,19200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\nfalse\r\n");
  w.Unload();  // a second request does nothing
  EXPECT_EQ(Received(100ms), "");
}

TEST_F(MainWindowTest, ALoadInTheSameMinuteKeepsTheFirstLoadsFrames) {
  LoadWindow();
  com1.Write(Hex(kUiFrame));
  ASSERT_TRUE(WaitUntil([&] { return station.counters.FrameCount == 1; }));
  const auto kss = window->Captures().KssFileName();
  const std::string first = ReadText(kss);
  window->close();
  window.reset();
  MainWindow& second = LoadWindow();
  EXPECT_EQ(second.Captures().KssFileName(), kss);
  second.close();
  EXPECT_EQ(ReadText(kss), first);
  EXPECT_EQ(ReadText(second.Captures().DumpFileName()), "2026-12-06 10:00:00.345 UTC: hi\r\n");
}

TEST_F(MainWindowTest, SecondLoadMakesNewCapturesAndKeepsTheCounters) {
  LoadWindow();
  com1.Write(Hex(kUiFrame));
  ASSERT_TRUE(WaitUntil([&] { return station.counters.FrameCount == 1; }));
  const auto firstKss = window->Captures().KssFileName();
  window->close();
  window.reset();
  clock.local.minute = 1;
  MainWindow& second = LoadWindow();
  EXPECT_NE(second.Captures().KssFileName(), firstKss);
  EXPECT_TRUE(std::filesystem::exists(firstKss));
  EXPECT_EQ(station.counters.BytesReceived, 21u);
  com1.Write(Hex("C0 00 41 C0"));
  ASSERT_TRUE(WaitUntil([&] { return station.counters.FrameCount == 2; }));
  EXPECT_EQ(Find<QLabel>("Label9")->text(), "25 Bytes received (2 Frames)");
}

TEST_F(MainWindowTest, TimeServerAnswerSetsTheInjectedClock) {
  LoadWindow();
  ASSERT_TRUE(WaitUntil([&] { return !clock.setCalls.empty(); }));
  const SystemTimeFields expected{2026, 12, 0, 6, 10, 0, 0, 0};
  EXPECT_EQ(clock.setCalls.front(), expected);
  EXPECT_EQ(window->SimpleText(), "clock synchronised succesfully with NTP server 127.0.0.1");
}

TEST_F(MainWindowTest, StatusTimerCountsSecondsSinceTheLastPacket) {
  MainWindow& w = LoadWindow();
  clock.local.second = 3;
  w.UpdateStatus();
  EXPECT_EQ(w.SimpleText(), "3 sec since last packet [0]");
  EXPECT_EQ(Find<QLabel>("Label1")->text(), "10:00:03");
  EXPECT_FALSE(Find<QLabel>("Image2")->isHidden());
  EXPECT_TRUE(Find<QLabel>("Image3")->isHidden());
  EXPECT_TRUE(Find<QLabel>("Image4")->isHidden());
  EXPECT_TRUE(Find<QLabel>("Image5")->isHidden());
}

TEST_F(MainWindowTest, TncThatGoesAwayTurnsTheLampRedAndTheProgramGoesOn) {
  MainWindow& w = LoadWindow();
  Received();
  com1.CloseMaster();
  ASSERT_TRUE(WaitUntil([&] { return !w.IncomingPort().PortOpen(); }));
  w.UpdateStatus();
  EXPECT_TRUE(Find<QLabel>("Image2")->isHidden());
  EXPECT_FALSE(Find<QLabel>("Image3")->isHidden());
  w.close();
  EXPECT_EQ(ReadText(folder.path() / "vorlink.ini").substr(0, 16), "01,19200,N,8,1\r\n");
}

}  // namespace
}  // namespace vorlink
