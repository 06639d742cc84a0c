#include "ui/statistics_window.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include "controller_fixture.h"

namespace vorlink {
namespace {

using testing::Hex;
using testing::kFrame20;
using testing::WaitUntil;

class StatisticsWindowTest : public testing::ControllerTest {
 protected:
  StatisticsWindowTest() { WriteConfig("true"); }
  StatisticsWindow& OpenStatistics() {
    Trigger("MnuStatistics");
    EXPECT_NE(controller->Statistics(), nullptr);
    return *controller->Statistics();
  }
  static QString Text(StatisticsWindow& window) {
    return window.Figures()->toPlainText();
  }
  void ReceiveFrames(int count, std::int64_t framesAfter) {
    for (int i = 0; i < count; ++i) com1.Write(Hex(kFrame20));
    ASSERT_TRUE(WaitUntil([&] { return station.counters.FrameCount == framesAfter; }));
  }
  void CloseStatistics() {
    controller->Statistics()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(controller->Statistics(), nullptr);
  }
};

TEST_F(StatisticsWindowTest, ShowsTheCountersAfterThreeFramesOfSixtyBytes) {
  Start();
  ReceiveFrames(3, 3);
  StatisticsWindow& window = OpenStatistics();
  EXPECT_EQ(Text(window),
            "Statistics\n\n60 Bytes received\n3 Frames decoded\n0 TFESC received\n"
            "0 TFEND received\n"
            "\nLink health\n3 Frames with KISS command 0\n3 Frames on KISS port 0\n"
            "0 SMACK Frames with good CRC\n0 SMACK Frames with bad CRC\n"
            "0 bad escapes (FESC not followed by TFEND or TFESC)\n0 Frames dropped as oversize\n"
            "0 stray Bytes\n0 empty Frames\n");
  EXPECT_EQ(window.windowTitle(), "Form4");
  EXPECT_EQ(window.objectName(), "Form4");
  EXPECT_EQ(window.size(), QSize(273, 129));
  EXPECT_EQ(window.Figures()->geometry(), QRect(0, 0, 273, 129));
  EXPECT_EQ(window.Figures()->objectName(), "RichTextBox1");
  EXPECT_TRUE(QFontInfo(window.Figures()->font()).fixedPitch());
  EXPECT_DOUBLE_EQ(window.Figures()->font().pointSizeF(), 9.75);
  // The title in blue, the counters in black.
  QTextCursor title(window.Figures()->document()->firstBlock());
  title.movePosition(QTextCursor::NextCharacter);
  EXPECT_EQ(title.charFormat().foreground().color(), QColor(0, 0, 255));
  QTextCursor counter(window.Figures()->document()->findBlockByNumber(2));
  counter.movePosition(QTextCursor::NextCharacter);
  EXPECT_EQ(counter.charFormat().foreground().color(), QColor(0, 0, 0));
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(Main().isVisible());
}

TEST_F(StatisticsWindowTest, KeepsItsFiguresWhileOpen) {
  Start();
  ReceiveFrames(1, 1);
  StatisticsWindow& window = OpenStatistics();
  const QString before = Text(window);
  ReceiveFrames(2, 3);
  Trigger("MnuStatistics");
  EXPECT_EQ(controller->Statistics(), &window);
  EXPECT_EQ(Text(window), before);
  EXPECT_TRUE(before.contains("\n20 Bytes received\n1 Frames decoded\n"));
  // A new window reads the counters anew.
  CloseStatistics();
  EXPECT_TRUE(Text(OpenStatistics()).contains("\n60 Bytes received\n3 Frames decoded\n"));
}

TEST_F(StatisticsWindowTest, EscapesAreCountedUntilClearCounter) {
  Start();
  // FESC TFESC twice and FESC TFEND once inside the payload.
  com1.Write(Hex("C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0 DB DD DB DC DB DD C0"));
  ASSERT_TRUE(WaitUntil([&] { return station.counters.FrameCount == 1; }));
  EXPECT_TRUE(Text(OpenStatistics()).contains("\n2 TFESC received\n1 TFEND received\n\n"));
  CloseStatistics();
  Trigger("MnuClear");
  // The link health figures are cleared with the others.
  EXPECT_EQ(Text(OpenStatistics()),
            "Statistics\n\n0 Bytes received\n0 Frames decoded\n0 TFESC received\n"
            "0 TFEND received\n"
            "\nLink health\n0 SMACK Frames with good CRC\n0 SMACK Frames with bad CRC\n"
            "0 bad escapes (FESC not followed by TFEND or TFESC)\n0 Frames dropped as oversize\n"
            "0 stray Bytes\n0 empty Frames\n");
}

TEST_F(StatisticsWindowTest, ClearCounterEmptiesPaneAndLabel9AndLeavesLabel10) {
  Start();
  ReceiveFrames(3, 3);
  ASSERT_TRUE(WaitUntil([&] { return LabelText("Label10") == "60 Bytes sent"; }));
  StatisticsWindow& window = OpenStatistics();
  const QString open = Text(window);
  Trigger("MnuClear");
  EXPECT_EQ(PaneText(), "");
  EXPECT_EQ(LabelText("Label9"), "");
  EXPECT_EQ(LabelText("Label10"), "60 Bytes sent");
  EXPECT_EQ(station.counters.BytesReceived, 0u);
  EXPECT_EQ(station.counters.FrameCount, 0);
  EXPECT_EQ(station.counters.MirroredByteCount, 0);
  // The open window keeps its old figures.
  EXPECT_EQ(Text(window), open);
  CloseStatistics();
  EXPECT_TRUE(Text(OpenStatistics()).contains("\n0 Bytes received\n0 Frames decoded\n"));
  // The next chunk counts from zero.
  ReceiveFrames(1, 1);
  EXPECT_EQ(LabelText("Label9"), "20 Bytes received (1 Frames)");
  EXPECT_EQ(LabelText("Label10"), "20 Bytes sent");
}

TEST_F(StatisticsWindowTest, HalfReceivedFrameIsCompletedAfterClearCounter) {
  Start();
  const auto frame = Hex(kFrame20);
  com1.Write({frame.begin(), frame.begin() + 8});
  ASSERT_TRUE(WaitUntil([&] { return station.counters.BytesReceived == 8; }));
  Trigger("MnuClear");
  com1.Write({frame.begin() + 8, frame.end()});
  ASSERT_TRUE(WaitUntil([&] { return station.counters.FrameCount == 1; }));
  EXPECT_TRUE(PaneText().contains("[20 Bytes KISS Frame (without CRC)]"));
  EXPECT_EQ(LabelText("Label9"), "12 Bytes received (1 Frames)");
}

}  // namespace
}  // namespace vorlink
