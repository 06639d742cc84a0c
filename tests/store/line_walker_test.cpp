// Find and copy walk the lines in slices: a slice of one line finds what one
// long run finds, both ways and round, and a walk goes on when old frames
// went between two slices.
#include "store/line_walker.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "store/capture_loader.h"

namespace vorlink {
namespace {

const std::filesystem::path kSample = VORLINK_SAMPLES_DIR "/sample.kss";

// Case-sensitive, in bytes: enough for ASCII texts.
LineMatch Bytes(std::string text) {
  return [text](std::string_view line, int from, bool forward) {
    const std::size_t at = forward ? line.find(text, static_cast<std::size_t>(from))
                                   : line.rfind(text, static_cast<std::size_t>(from));
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
  };
}

std::optional<TextPosition> FindIn(const FrameStore& store, TextPosition caret, bool forward,
                                   const std::string& text, std::size_t slice) {
  TextFind find(store, store, caret, forward, static_cast<int>(text.size()), Bytes(text));
  while (find.Run(slice)) {
  }
  return find.Found();
}

TEST(TextFindTest, OneLineSlicesFindWhatOneRunFindsBothWaysAndRound) {
  FrameStore store;
  std::string error;
  ASSERT_TRUE(LoadCapture(kSample, store, DisplayOptions{}, error)) << error;
  const LinePosition middle = store.LocateLine(store.LineCount() / 2);
  struct Case {
    const char* name;
    TextPosition caret;
    bool forward;
    const char* text;
  };
  const Case cases[] = {
      {"forward from the middle", {middle.frame, middle.line, 0}, true, "N0CALL"},
      {"backward from the middle", {middle.frame, middle.line, 0}, false, "N0CALL"},
      {"forward round from past the end", {store.EndIndex(), 0, 0}, true, "N0CALL"},
      {"backward round from the start", {0, 0, 0}, false, "N0CALL"},
      {"nowhere", {middle.frame, middle.line, 0}, true, "no such words"},
  };
  for (const Case& c : cases) {
    const auto whole = FindIn(store, c.caret, c.forward, c.text, SIZE_MAX);
    EXPECT_EQ(FindIn(store, c.caret, c.forward, c.text, 1), whole) << c.name;
    EXPECT_EQ(whole.has_value(), std::string(c.text) != "no such words") << c.name;
  }
  // Round from the other end, the first (or last) match of all.
  const auto first = FindIn(store, {0, 0, 0}, true, "N0CALL", 1);
  EXPECT_EQ(FindIn(store, {store.EndIndex(), 0, 0}, true, "N0CALL", 1), first);
}

TEST(LineScanTest, GoesOnFromTheFirstHeldLineWhenOldFramesWentBetweenSlices) {
  FrameStore store({.maxFrames = 200, .framesPerChunk = 50});
  std::string error;
  ASSERT_TRUE(LoadCapture(kSample, store, DisplayOptions{}, error)) << error;
  const FrameIndex first = store.FirstIndex();
  LineScan scan(store, store, store.LocateLine(0), true);
  std::vector<FrameIndex> seen;
  const LineScan::Visit visit = [&](LinePosition at, const BlockLines::Line&) {
    seen.push_back(at.frame);
    return true;
  };
  ASSERT_TRUE(scan.Run(3, visit));
  EXPECT_EQ(seen.back(), first);
  ASSERT_TRUE(LoadCapture(kSample, store, DisplayOptions{}, error));
  ASSERT_GT(store.FirstIndex(), first + 1);
  ASSERT_TRUE(scan.Run(1, visit));
  EXPECT_EQ(seen.back(), store.FirstIndex());
  while (scan.Run(1000, visit)) {
  }
  EXPECT_EQ(seen.back(), store.EndIndex() - 1);
}

}  // namespace
}  // namespace vorlink
