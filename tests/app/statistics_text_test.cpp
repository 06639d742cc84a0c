#include "app/statistics_text.h"

#include <gtest/gtest.h>

#include "recording_pane.h"

namespace vorlink {
namespace {

using testing::RecordingPane;

TEST(StatisticsTextTest, BlueTitleEmptyLineThenOneBlackLinePerCounter) {
  ReceiveCounters counters;
  counters.BytesReceived = 60;
  counters.FrameCount = 3;
  counters.MirroredByteCount = 500;
  RecordingPane pane;
  AppendStatistics(counters, pane);
  EXPECT_EQ(pane.Text(),
            "Statistics\n\n60 Bytes received\n3 Frames decoded\n0 TFESC received\n"
            "0 TFEND received\n");
  ASSERT_FALSE(pane.pieces.empty());
  EXPECT_EQ(pane.pieces.front(), std::make_pair(std::string("Statistics"), PaneRole::Title));
  for (std::size_t i = 1; i < pane.pieces.size(); ++i) {
    EXPECT_EQ(pane.pieces[i].second, PaneRole::Plain) << pane.pieces[i].first;
  }
}

TEST(StatisticsTextTest, LargeFiguresArePlainDecimal) {
  ReceiveCounters counters;
  counters.BytesReceived = 5'000'000'000ULL;
  counters.FrameCount = 40000;
  counters.TfescCount = 12;
  counters.TfendCount = 7;
  RecordingPane pane;
  AppendStatistics(counters, pane);
  EXPECT_EQ(pane.Text(),
            "Statistics\n\n5000000000 Bytes received\n40000 Frames decoded\n12 TFESC received\n"
            "7 TFEND received\n");
}

TEST(StatisticsTextTest, LinkHealthListsTheNibblesThatOccurredThenEveryFixedFigure) {
  LinkHealth health;
  health.byCommand[0] = 5;
  health.byCommand[9] = 2;
  health.byPort[0] = 4;
  health.byPort[3] = 3;
  health.smackGood = 1;
  health.smackBad = 2;
  health.badEscapes = 3;
  health.oversize = 4;
  health.strays = 5;
  health.emptyFrames = 6;
  RecordingPane pane;
  AppendLinkHealth(health, pane);
  EXPECT_EQ(pane.Text(),
            "\nLink health\n5 Frames with KISS command 0\n2 Frames with KISS command 9\n"
            "4 Frames on KISS port 0\n3 Frames on KISS port 3\n1 SMACK Frames with good CRC\n"
            "2 SMACK Frames with bad CRC\n3 bad escapes (FESC not followed by TFEND or TFESC)\n"
            "4 Frames dropped as oversize\n5 stray Bytes\n6 empty Frames\n");
  EXPECT_EQ(pane.pieces[1], std::make_pair(std::string("Link health"), PaneRole::Title));
}

TEST(StatisticsTextTest, KissServerFiguresArePlainLines) {
  RecordingPane pane;
  AppendKissServerFigures({2, 5, 6, 7, 8, 9, 10}, pane);
  EXPECT_EQ(pane.Text(),
            "2 KISS server clients\n5 Frames from KISS clients sent to the TNC\n"
            "6 Frames from KISS clients dropped, TNC not taking data\n"
            "7 Frames from KISS clients not sent to the TNC\n"
            "8 malformed Frames from KISS clients refused\n"
            "9 KISS clients refused, too many clients\n10 KISS clients dropped, not taking data\n");
  EXPECT_EQ(pane.pieces[0], std::make_pair(std::string("2 KISS server clients"), PaneRole::Plain));
}

}  // namespace
}  // namespace vorlink
