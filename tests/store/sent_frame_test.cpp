#include "store/sent_frame.h"

#include <gtest/gtest.h>

#include <string>

#include "store/frame_filter.h"
#include "store/frame_renderer.h"
#include "store/heard_list.h"
#include "store/line_walker.h"
#include "support/hex.h"

namespace vorlink {
namespace {

using testing::Hex;

// N0CALL>APRS UI "!" as received, and the same frame as sent.
const char* const kUiFrame = "C0 00 82 A0 A4 A6 40 40 60 9C 60 86 82 98 98 61 03 F0 21 C0";

TEST(SentFrameTest, KeptBesideReceivedFramesWithoutTouchingThePaneOrTheHeard) {
  FrameStore store;
  const auto bytes = Hex(kUiFrame);
  const DisplayOptions options;
  AppendSentFrame(store, bytes, DateTime{2026, 12, 8, 12, 0, 0, 0}, options);
  FrameRenderer renderer;
  BlockLines block;
  StoredFrame received;
  received.bytes = bytes;
  const int lines = renderer.Render(received, block);
  store.Append(bytes, 0, options, {}, lines);

  EXPECT_EQ(store.Size(), 2u);
  EXPECT_EQ(store.LineCount(), static_cast<std::uint64_t>(lines));  // the received one's only
  EXPECT_EQ(store.LocateLine(0).frame, 1u);
  const StoredFrame sent = store.Frame(0);
  EXPECT_TRUE(sent.sent);
  EXPECT_EQ(sent.lines, 0);
  EXPECT_EQ(sent.BlockLines(), lines + 1);  // the marker

  HeardList heard;
  heard.CatchUp(store);
  EXPECT_EQ(heard.Size(), 1u);
  EXPECT_EQ(heard.At(0).frames, 1u);
}

TEST(SentFrameTest, ItsBlockOpensWithTheMarker) {
  FrameStore store;
  AppendSentFrame(store, Hex(kUiFrame), DateTime{2026, 12, 8, 12, 0, 0, 0}, DisplayOptions{});
  FrameFilterSpec spec;
  spec.origin = FrameOrigin::Sent;
  FrameFilter filter(spec);
  FilteredFrames shown;
  FilterFrames(store, filter, 0, store.EndIndex(), shown);
  ASSERT_EQ(shown.Size(), 1u);
  LineWalker walker(store, shown);
  ASSERT_TRUE(walker.SeekLine(0));
  EXPECT_EQ(walker.Line().text, "");
  ASSERT_TRUE(walker.Next());
  EXPECT_EQ(walker.Line().text, kSentMarker);
  EXPECT_EQ(walker.Line().colour, PaneRole::Title);
  ASSERT_TRUE(walker.Next());
  EXPECT_NE(walker.Line().text.find("2026"), std::string_view::npos);  // the header follows
}

}  // namespace
}  // namespace vorlink
