// Mirroring through the main window: the menu switch, its indicators and
// flag, the copy to COM2 and the outgoing port's events.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTest>

#include "controller_fixture.h"
#include "ui/setup_dialog.h"

namespace vorlink {
namespace {

using namespace std::chrono_literals;
using testing::Hex;
using testing::kFrame20;
using testing::ToHex;
using testing::WaitUntil;

class MirroringTest : public testing::ControllerTest {
 protected:
  bool Shown(const char* name) { return !Find<QWidget>(name)->isHidden(); }
  bool Checked() { return Find<QAction>("MnuMirror")->isChecked(); }
  // Five frames of 20 bytes in one write: one chunk for the receive handler.
  static std::vector<std::uint8_t> Chunk100() {
    std::vector<std::uint8_t> chunk;
    for (int i = 0; i < 5; ++i) {
      auto frame = Hex(kFrame20);
      frame[18] = static_cast<std::uint8_t>('a' + i);
      chunk.insert(chunk.end(), frame.begin(), frame.end());
    }
    return chunk;
  }
};

TEST_F(MirroringTest, ChunkGoesToCom2UnchangedBeforeItsFramesAreShown) {
  WriteConfig("true");
  station.counters.MirroredByteCount = 42;
  Start();
  Received(com1);
  ASSERT_TRUE(Main().MirrorPort().PortOpen());
  // What had been handed to COM2 when the first frame reached the pane.
  std::int64_t mirroredAtFirstFrame = -1;
  QString label10AtFirstFrame;
  QObject::connect(Find<FrameView>("RichTextBox1"), &FrameView::LinesChanged, [&] {
    if (mirroredAtFirstFrame >= 0) return;
    mirroredAtFirstFrame = station.counters.MirroredByteCount;
    label10AtFirstFrame = LabelText("Label10");
  });
  const auto chunk = Chunk100();
  com1.Write(chunk);
  ASSERT_TRUE(WaitUntil([&] { return station.counters.FrameCount == 5; }));
  // The pane shows new frames at its next repaint, a moment later.
  ASSERT_TRUE(WaitUntil([&] { return mirroredAtFirstFrame >= 0; }));
  EXPECT_EQ(mirroredAtFirstFrame, 142);
  EXPECT_EQ(label10AtFirstFrame, "142 Bytes sent");
  EXPECT_EQ(Received(com2), ToHex(chunk));
  EXPECT_EQ(station.counters.MirroredByteCount, 142);
  EXPECT_EQ(LabelText("Label10"), "142 Bytes sent");
  EXPECT_TRUE(PaneText().contains("from XYZ-7 to ABC"));
}

struct TwoClicksCase {
  const char* name;
  const char* flag;
  bool on;
  const char* flagAfter;
};

class MirrorTwoClicksTest : public MirroringTest,
                            public ::testing::WithParamInterface<TwoClicksCase> {};

TEST_P(MirrorTwoClicksTest, ReturnToTheStateBeforeWithAFlagThatIsNeverEmpty) {
  const TwoClicksCase& c = GetParam();
  WriteConfig(c.flag);
  Start();
  ASSERT_EQ(Checked(), c.on);
  ASSERT_EQ(Main().MirrorPort().PortOpen(), c.on);

  Trigger("MnuMirror");
  EXPECT_EQ(Checked(), !c.on);
  EXPECT_EQ(station.settings.MirrorFlag, c.on ? "false" : "true");
  EXPECT_EQ(Main().MirrorPort().PortOpen(), !c.on);
  for (const char* name : {"Image4", "Image5", "Label7", "Label8", "Label10"}) {
    EXPECT_EQ(Shown(name), !c.on) << name;
  }

  Trigger("MnuMirror");
  EXPECT_EQ(Checked(), c.on);
  EXPECT_EQ(station.settings.MirrorFlag, c.flagAfter);
  EXPECT_EQ(Main().MirrorPort().PortOpen(), c.on);
  for (const char* name : {"Image4", "Image5", "Label7", "Label8", "Label10"}) {
    EXPECT_EQ(Shown(name), c.on) << name;
  }
  // The outgoing line was there: no setup dialog.
  EXPECT_EQ(controller->Setup(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Flags, MirrorTwoClicksTest,
                         ::testing::Values(TwoClicksCase{"On", "true", true, "true"},
                                           TwoClicksCase{"Off", "false", false, "false"},
                                           TwoClicksCase{"NeverSet", "", false, "false"},
                                           TwoClicksCase{"CapitalTrue", "True", false, "false"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MirroringTest, OutLampStaysHiddenWhileOffEvenWithCom2Open) {
  WriteConfig("false");
  Start();
  ASSERT_TRUE(Main().MirrorPort().SetPortOpen(true));
  Main().UpdateStatus();
  EXPECT_FALSE(Shown("Image4"));
  EXPECT_FALSE(Shown("Image5"));
  EXPECT_FALSE(Shown("Label7"));
  EXPECT_TRUE(Shown("Image2"));  // the IN lamp goes on as usual
  // Nothing is copied while off, though the port could take it.
  com1.Write(Hex(kFrame20));
  ASSERT_TRUE(WaitUntil([&] { return station.counters.FrameCount == 1; }));
  EXPECT_EQ(Received(com2, 200ms), "");
  EXPECT_EQ(station.counters.MirroredByteCount, 0);
  EXPECT_EQ(LabelText("Label10"), "");
}

TEST_F(MirroringTest, BytesArrivingOnCom2AreNeitherShownNorCounted) {
  WriteConfig("true");
  Start();
  Received(com1);
  ASSERT_TRUE(Main().MirrorPort().PortOpen());
  ASSERT_TRUE(WaitUntil([&] { return !clock.setCalls.empty(); }));
  const QString status = Main().SimpleText();
  com2.Write(Hex(kFrame20));
  QTest::qWait(300);
  EXPECT_EQ(PaneText(), "");
  EXPECT_EQ(station.counters.BytesReceived, 0u);
  EXPECT_EQ(station.counters.FrameCount, 0);
  EXPECT_EQ(station.counters.MirroredByteCount, 0);
  EXPECT_EQ(LabelText("Label9"), "");
  EXPECT_EQ(Main().SimpleText(), status);
  EXPECT_EQ(Received(com1, 100ms), "");
  // The incoming side is unaffected: its next frame is the first one counted.
  com1.Write(Hex(kFrame20));
  ASSERT_TRUE(WaitUntil([&] { return station.counters.FrameCount == 1; }));
  EXPECT_EQ(station.counters.BytesReceived, 20u);
  EXPECT_EQ(Received(com2), kFrame20);
}

TEST_F(MirroringTest, FloodOnCom2IsDroppedNotKept) {
  WriteConfig("true");
  Start();
  ASSERT_TRUE(Main().MirrorPort().PortOpen());
  constexpr std::size_t kFlood = 2 << 20;
  const std::vector<std::uint8_t> block(64 * 1024, 0x55);
  std::size_t sent = 0;
  // As much as the pty takes, then the event loop runs so the port reads.
  ASSERT_TRUE(WaitUntil(
      [&] {
        ssize_t n;
        while (sent < kFlood && (n = ::write(com2.Master(), block.data(), block.size())) > 0) {
          sent += static_cast<std::size_t>(n);
        }
        return sent >= kFlood;
      },
      20s));
  QTest::qWait(100);
  EXPECT_EQ(Main().MirrorPort().BytesWaiting(), 0u);
  EXPECT_EQ(station.counters.BytesReceived, 0u);
  EXPECT_EQ(PaneText(), "");
}

TEST_F(MirroringTest, Com2EventsShowTheirTexts) {
  WriteConfig("true");
  Start();
  ASSERT_TRUE(WaitUntil([&] { return !clock.setCalls.empty(); }));
  emit Main().MirrorPort().OnComm(1008);
  EXPECT_EQ(Main().SimpleText(), "Receive Buffer Overflow");
  emit Main().MirrorPort().OnComm(3);
  EXPECT_EQ(Main().SimpleText(), "Change in the CTS line.");
  for (int silent : {2, 7, 1005, 0}) {
    emit Main().MirrorPort().OnComm(silent);
    EXPECT_EQ(Main().SimpleText(), "Change in the CTS line.") << silent;
  }
}

// COM2 names a device that is not there.
void LoseCom2(const std::filesystem::path& folder) {
  std::filesystem::remove(folder / "COM2");
  std::filesystem::create_symlink(folder / "no-such-device", folder / "COM2");
}

TEST_F(MirroringTest, FlagTrueWithAnOutgoingPortThatCannotOpen) {
  LoseCom2(folder.path());
  WriteConfig("true");
  Start();
  Received(com1);
  EXPECT_FALSE(Main().MirrorPort().PortOpen());
  EXPECT_TRUE(LogHas("COM 2: No such file or directory"));
  EXPECT_TRUE(LabelText("Label8").endsWith(" not available ")) << LabelText("Label8").toStdString();
  EXPECT_TRUE(Checked());
  EXPECT_EQ(station.settings.MirrorFlag, "true");
  Main().UpdateStatus();
  EXPECT_TRUE(Shown("Image5"));
  EXPECT_FALSE(Shown("Image4"));
  EXPECT_TRUE(Shown("Label7"));
  EXPECT_TRUE(Shown("Label8"));
  // Reception goes on; the copy that could not be written is not counted.
  com1.Write(Hex(kFrame20));
  ASSERT_TRUE(WaitUntil([&] { return station.counters.FrameCount == 1; }));
  EXPECT_TRUE(PaneText().contains("from XYZ-7 to ABC"));
  EXPECT_EQ(station.counters.MirroredByteCount, 0);
  EXPECT_EQ(LabelText("Label10"), "0 Bytes sent");
  EXPECT_EQ(LabelText("Label9"), "20 Bytes received (1 Frames)");
}

TEST_F(MirroringTest, Com2ThatNobodyUsesIsNotToldAndItsTextFollowsTheSwitch) {
  LoseCom2(folder.path());
  WriteConfig("false");
  Start();
  Received(com1);
  EXPECT_FALSE(LogHas("COM 2"));
  EXPECT_FALSE(Main().SimpleText().contains("COM 2"));

  // The device comes after the start; the switch finds it.
  com2.LinkAs(folder.path() / "COM2");
  Trigger("MnuMirror");
  EXPECT_TRUE(Main().MirrorPort().PortOpen());
  EXPECT_EQ(LabelText("Label8"), "COM 2, 19200,N,8,1 initialized ");
  Trigger("MnuMirror");
  EXPECT_EQ(LabelText("Label8"), "COM 2, 19200,N,8,1 not available ");

  // Gone again: switching on tells it and says so beside the lamp.
  LoseCom2(folder.path());
  Trigger("MnuMirror");
  EXPECT_FALSE(Main().MirrorPort().PortOpen());
  EXPECT_EQ(LabelText("Label8"), "COM 2, 19200,N,8,1 not available ");
  EXPECT_TRUE(LogHas("COM 2: No such file or directory"));
}

TEST_F(MirroringTest, SwitchingOnWithoutAnOutgoingLineOpensTheSetupDialogToo) {
  testing::WriteFile(folder.path() / "vorlink.ini", "01,19200,N,8,1\r\n127.0.0.1\r\n\r\nfalse\r\n");
  Start();
  ASSERT_EQ(controller->Setup(), nullptr);
  Trigger("MnuMirror");
  EXPECT_NE(controller->Setup(), nullptr);
  EXPECT_TRUE(Checked());
  EXPECT_EQ(station.settings.MirrorFlag, "true");
  EXPECT_TRUE(Shown("Label10"));
}

}  // namespace
}  // namespace vorlink
