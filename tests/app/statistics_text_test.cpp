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

}  // namespace
}  // namespace vorlink
