// The frame store: blocks drawn again on demand, in any order, are the
// pieces ShowFrame gave at arrival; chunks go whole at the limits; the line
// index maps every line to its frame.
#include "store/frame_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "decode/frame_display.h"
#include "store/capture_loader.h"
#include "store/frame_renderer.h"
#include "store/line_walker.h"
#include "fake_clock.h"
#include "hex.h"
#include "link/deframer.h"
#include "recording_pane.h"
#include "temp_folder.h"

namespace vorlink {
namespace {

using testing::Hex;
using Piece = std::pair<std::string, PaneRole>;
using Pieces = std::vector<Piece>;

const std::filesystem::path kSamples = VORLINK_SAMPLES_DIR;
const std::filesystem::path kCorpus = VORLINK_FUZZ_CORPUS_DIR;
const char* const kStoredUiFrame = "C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0 68 69 C0";

// The live path without a window: deframer, frame display, store. Options
// change now and then, as an operator clicks, and the clock moves on.
class LiveRun final : private UnitSink, private ArrivedFrameSink {
 public:
  explicit LiveRun(FrameStoreLimits limits = {}) : store(limits) {
    display.SetFrameSink(this);
  }

  void Feed(std::span<const std::uint8_t> stream, bool varyOptions) {
    varyOptions_ = varyOptions;
    deframer_.Feed(stream, *this);
  }

  FrameStore store;
  testing::RecordingPane pane;
  // Each frame's pieces at arrival, by frame number.
  std::vector<Pieces> blocks;
  DisplayOptions options;

 private:
  void OnUnit(std::span<const std::uint8_t> frame) override {
    if (frame.size() <= 2) return;
    if (varyOptions_) {
      ++count_;
      options.decode = count_ % 7 != 3;
      options.timeStamp = count_ % 5 != 1;
      clock_.local.millisecond = (clock_.local.millisecond + 37) % 1000;
      clock_.local.second = (clock_.local.second + count_ % 2) % 60;
    }
    pane.pieces.clear();
    display.ShowFrame(frame);
  }
  void OnEscape(std::uint8_t) override {}
  void OnFrame(const ArrivedFrame& frame) override {
    store.OnFrame(frame);
    blocks.push_back(pane.pieces);
  }

  bool varyOptions_ = false;
  int count_ = 0;
  testing::FakeClock clock_;
  Deframer deframer_;

 public:
  FrameDisplay display{pane, clock_, options};
};

// Draws every held frame again in a shuffled order and compares.
void ExpectShuffledRenderingMatches(const LiveRun& run, const std::string& name) {
  ASSERT_EQ(run.store.Size(), run.blocks.size()) << name;
  std::vector<FrameIndex> order(run.blocks.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = run.store.FirstIndex() + i;
  std::mt19937 random(20260314);
  std::shuffle(order.begin(), order.end(), random);
  FrameRenderer renderer;
  testing::RecordingPane again;
  for (const FrameIndex i : order) {
    again.pieces.clear();
    const StoredFrame frame = run.store.Frame(i);
    const int lines = renderer.Render(frame, again);
    const Pieces& expected = run.blocks[i - run.store.FirstIndex()];
    ASSERT_EQ(again.pieces, expected) << name << " frame " << i;
    EXPECT_EQ(lines, frame.lines) << name << " frame " << i;
    EXPECT_EQ(static_cast<std::size_t>(lines), again.Lines().size()) << name << " frame " << i;
  }
}

// A fuzz seed: option bits, a count of chunk sizes and the sizes, the stream.
std::vector<std::uint8_t> CorpusStream(const std::filesystem::path& file) {
  const std::vector<std::uint8_t> input = testing::ReadBytes(file);
  if (input.size() < 2) return {};
  const std::size_t skip = 2 + std::min<std::size_t>(input[1] % 8, input.size() - 2);
  return {input.begin() + static_cast<std::ptrdiff_t>(skip), input.end()};
}

TEST(FrameStoreGoldenTest, SampleCaptureDrawnAgainInAnyOrderAsAtArrival) {
  for (const bool vary : {false, true}) {
    LiveRun run;
    run.Feed(testing::ReadBytes(kSamples / "sample.kss"), vary);
    ASSERT_GT(run.blocks.size(), 300u);
    ExpectShuffledRenderingMatches(run, vary ? "sample, options changing" : "sample");
  }
}

TEST(FrameStoreGoldenTest, FuzzCorpusDrawnAgainInAnyOrderAsAtArrival) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) files.push_back(entry);
  ASSERT_FALSE(files.empty());
  for (const auto& file : files) {
    for (const bool vary : {false, true}) {
      LiveRun run;
      run.Feed(CorpusStream(file), vary);
      ExpectShuffledRenderingMatches(run, file.filename().string());
    }
  }
}

TEST(FrameStoreGoldenTest, ShortFramesKeepWhatTheyReadOfEarlierFrames) {
  LiveRun run;
  run.options.timeStamp = false;
  // A long header, then frames that end inside it: they show its leftovers.
  // The raw frame in between leaves the decoder's buffer alone.
  const std::vector<std::string> frames = {
      "C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6E A4 8A 98 82 B2 40 E3 03 F0 68 69 C0",
      "C0 00 41 C0", "C0 00 88 8A 86 40 40 40 60 C0", "C0 80 92 C0",
      "C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 13 C0"};
  for (std::size_t i = 0; i < frames.size(); ++i) {
    run.options.decode = i != 3;
    run.Feed(Hex(frames[i]), false);
  }
  EXPECT_TRUE(run.store.Frame(0).leftovers.bytes.empty());
  EXPECT_FALSE(run.store.Frame(1).leftovers.bytes.empty());
  EXPECT_EQ(run.store.Frame(1).leftovers.offset, 4);
  EXPECT_TRUE(run.store.Frame(3).leftovers.bytes.empty());  // shown raw
  EXPECT_TRUE(run.store.Frame(4).leftovers.bytes.empty());  // control byte is its own
  EXPECT_NE(run.blocks[1][3].first.find(" via RELAY-1*: "), std::string::npos)
      << run.blocks[1][3].first;
  ExpectShuffledRenderingMatches(run, "short frames");
}

TEST(FrameStoreGoldenTest, TheShortestFrameKeepsAllOfTheLongestHeader) {
  LiveRun run;
  // Nine digipeaters and a PID, then a frame whose de-escaped length is two:
  // it shows everything the long header left, up to that PID.
  run.Feed(Hex("C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 60 A4 8A 98 82 B2 40 62 A4 8A 98 "
                "82 B2 40 64 A4 8A 98 82 B2 40 66 A4 8A 98 82 B2 40 68 A4 8A 98 82 B2 40 6A A4 "
                "8A 98 82 B2 40 6C A4 8A 98 82 B2 40 6E A4 8A 98 82 B2 40 70 A4 8A 98 82 B2 40 "
                "73 03 CC 68 C0"),
           false);
  run.Feed(Hex("C0 DB C0"), false);
  ASSERT_EQ(run.blocks.size(), 2u);
  ExpectShuffledRenderingMatches(run, "shortest frame");
}

// --- storage ---------------------------------------------------------------

// A frame whose bytes name its number, so a held frame can be checked.
std::vector<std::uint8_t> NumberedFrame(std::uint64_t n, std::size_t length = 10) {
  std::vector<std::uint8_t> f(length, 0x41);
  f.front() = f.back() = kFend;
  f[1] = 0;
  for (int k = 0; k < 4; ++k) f[2 + k] = static_cast<std::uint8_t>(n >> (8 * k));
  return f;
}

std::uint64_t NumberOf(const StoredFrame& f) {
  std::uint64_t n = 0;
  for (int k = 0; k < 4; ++k) n |= static_cast<std::uint64_t>(f.bytes[2 + k]) << (8 * k);
  return n;
}

void AppendNumbered(FrameStore& store, std::uint64_t n, int lines = 7) {
  store.Append(NumberedFrame(n), static_cast<std::int64_t>(n) * 1000, DisplayOptions{}, {}, lines);
}

TEST(FrameStoreTest, DropsTheOldestChunkWholeAtTheFrameLimit) {
  struct Case {
    std::size_t maxFrames, perChunk, appended, expectFirst;
  };
  const Case cases[] = {
      {10, 4, 10, 0},   // exactly full: nothing dropped
      {10, 4, 11, 4},   // one more: the first chunk goes whole
      {10, 4, 25, 16},  // chunks 0..3 gone
      {8, 4, 9, 4},     // limit a whole number of chunks
      {3, 8, 4, 3},     // chunk larger than the limit: taken down to it
  };
  for (const Case& c : cases) {
    FrameStore store({.maxFrames = c.maxFrames, .framesPerChunk = c.perChunk});
    for (std::uint64_t n = 0; n < c.appended; ++n) AppendNumbered(store, n);
    const std::string name = std::to_string(c.maxFrames) + "/" + std::to_string(c.perChunk) +
                             "/" + std::to_string(c.appended);
    EXPECT_EQ(store.FirstIndex(), c.expectFirst) << name;
    EXPECT_EQ(store.EndIndex(), c.appended) << name;
    EXPECT_LE(store.Size(), c.maxFrames) << name;
    EXPECT_EQ(store.DroppedFrames(), c.expectFirst) << name;
    for (FrameIndex i = store.FirstIndex(); i < store.EndIndex(); ++i) {
      EXPECT_EQ(NumberOf(store.Frame(i)), i) << name;
      EXPECT_EQ(store.Frame(i).arrival, static_cast<std::int64_t>(i) * 1000) << name;
    }
    EXPECT_EQ(store.LineCount(), store.Size() * 7) << name;
  }
}

TEST(FrameStoreTest, ByteLimitAndFullArenasCloseChunks) {
  // Arenas of the smallest size take one largest frame each; then a byte
  // limit of three chunks.
  FrameStore store({.maxFrames = 1000, .maxBytes = std::size_t{1} << 40, .framesPerChunk = 100,
                    .bytesPerChunk = 0});
  const std::vector<std::uint8_t> large = NumberedFrame(0, kFrameBufferCapacity);
  for (int i = 0; i < 5; ++i) store.Append(large, 0, {}, {}, 60);
  EXPECT_EQ(store.Size(), 5u);
  const std::size_t perChunk = store.BytesHeld() / 5;  // one large frame fills a chunk
  FrameStore bounded({.maxFrames = 1000, .maxBytes = 3 * perChunk, .framesPerChunk = 100,
                      .bytesPerChunk = 0});
  for (int i = 0; i < 10; ++i) bounded.Append(large, 0, {}, {}, 60);
  EXPECT_EQ(bounded.Size(), 3u);
  EXPECT_EQ(bounded.FirstIndex(), 7u);
  EXPECT_LE(bounded.BytesHeld(), 4 * perChunk);  // the three and a spare
}

TEST(FrameStoreTest, ClearEmptiesAndNumberingGoesOn) {
  FrameStore store({.framesPerChunk = 4});
  for (std::uint64_t n = 0; n < 10; ++n) AppendNumbered(store, n);
  store.Clear();
  EXPECT_EQ(store.Size(), 0u);
  EXPECT_EQ(store.LineCount(), 0u);
  EXPECT_EQ(store.FirstIndex(), 10u);
  EXPECT_FALSE(store.Holds(9));
  EXPECT_EQ(store.DroppedFrames(), 0u);
  AppendNumbered(store, 10);
  EXPECT_EQ(store.FirstIndex(), 10u);
  EXPECT_EQ(NumberOf(store.Frame(10)), 10u);
  EXPECT_EQ(store.LineCount(), 7u);
}

TEST(FrameStoreTest, EveryLineMapsToItsFrameAndBack) {
  for (const std::size_t perChunk : {1, 3, 64}) {
    FrameStore store({.maxFrames = 40, .framesPerChunk = perChunk});
    for (std::uint64_t n = 0; n < 50; ++n) AppendNumbered(store, n, 5 + static_cast<int>(n % 4));
    std::uint64_t line = 0;
    for (FrameIndex i = store.FirstIndex(); i < store.EndIndex(); ++i) {
      EXPECT_EQ(store.FirstLineOf(i), line);
      for (int k = 0; k < store.Frame(i).lines; ++k, ++line) {
        const LinePosition at = store.LocateLine(line);
        EXPECT_EQ(at.frame, i) << perChunk << " line " << line;
        EXPECT_EQ(at.line, k) << perChunk << " line " << line;
      }
    }
    EXPECT_EQ(line, store.LineCount());
  }
}

TEST(FrameStoreTest, ArrivalTimeKeepsItsMilliseconds) {
  const DateTime cases[] = {{2026, 12, 6, 9, 58, 20, 345}, {1970, 1, 1, 0, 0, 0, 0},
                            {1969, 12, 31, 23, 59, 59, 999}, {2100, 2, 28, 23, 59, 59, 1}};
  for (const DateTime& t : cases) EXPECT_EQ(FromEpochMilliseconds(ToEpochMilliseconds(t)), t);
}

TEST(FrameStoreTest, TheWalkerGivesTheLinesFromAnyLineBothWays) {
  LiveRun run;
  run.Feed(testing::ReadBytes(kSamples / "sample.kss"), true);
  testing::RecordingPane whole;
  FrameRenderer renderer;
  for (FrameIndex i = run.store.FirstIndex(); i < run.store.EndIndex(); ++i) {
    renderer.Render(run.store.Frame(i), whole);
  }
  const std::vector<std::string> lines = whole.Lines();
  ASSERT_EQ(lines.size(), run.store.LineCount());
  LineWalker walker(run.store, run.store);
  for (const std::uint64_t first : {std::uint64_t{0}, std::uint64_t{3}, std::uint64_t{1000},
                                    run.store.LineCount() - 10}) {
    // Forward 40 lines from any line, and back again.
    ASSERT_TRUE(walker.SeekLine(first));
    const std::uint64_t last = std::min<std::uint64_t>(first + 39, lines.size() - 1);
    for (std::uint64_t k = first;; ++k) {
      ASSERT_EQ(walker.LineNumber(), k);
      EXPECT_EQ(walker.Line().text, lines[k]) << k;
      if (k == last) break;
      ASSERT_TRUE(walker.Next());
    }
    EXPECT_EQ(walker.Next(), last + 1 < lines.size());
    ASSERT_TRUE(walker.SeekLine(last));
    for (std::uint64_t k = last; k > first; --k) {
      ASSERT_TRUE(walker.Previous());
      EXPECT_EQ(walker.Line().text, lines[k - 1]) << k - 1;
    }
  }
  EXPECT_FALSE(walker.SeekLine(lines.size()));
}

// --- loading a capture ---------------------------------------------------------

TEST(CaptureLoaderTest, TimeFramesGiveTheNextFrameItsTimeAndAreNotStored) {
  // Time frame, frame, frame without one.
  const std::string stamp = "asy: 2026-03-14 07:12:00.345 UTC";
  std::vector<std::uint8_t> stream = Hex("C0 09 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0");
  stream.insert(stream.end(), stamp.begin(), stamp.end());
  stream.push_back(kFend);
  for (int i = 0; i < 2; ++i) {
    const auto f = Hex(kStoredUiFrame);
    stream.insert(stream.end(), f.begin(), f.end());
  }
  FrameStore store;
  DisplayOptions options;
  CaptureLoader loader(store, options);
  loader.Feed(stream);
  ASSERT_EQ(store.Size(), 2u);
  EXPECT_EQ(loader.TimeFrames(), 1u);
  EXPECT_EQ(store.Frame(0).Arrival(), (DateTime{2026, 3, 14, 7, 12, 0, 345}));
  EXPECT_TRUE(store.Frame(0).options.timeStamp);
  EXPECT_FALSE(store.Frame(1).HasArrival());
  EXPECT_FALSE(store.Frame(1).options.timeStamp);
  testing::RecordingPane pane;
  FrameRenderer renderer;
  renderer.Render(store.Frame(0), pane);
  EXPECT_EQ(pane.pieces[1].first,
            "2026-03-14 07:12:00.345 UTC: [21 Bytes KISS Frame (without CRC)]\r");
}

TEST(CaptureLoaderTest, MissingFileSaysWhy) {
  FrameStore store;
  std::string error;
  EXPECT_FALSE(LoadCapture("/nonexistent/folder/x.kss", store, {}, error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(LoadCapture(kSamples / "sample.kss", store, {}, error));
  EXPECT_GT(store.Size(), 300u);
  EXPECT_FALSE(LoadCapture(kSamples, store, {}, error));  // a folder opens but does not read
  EXPECT_FALSE(error.empty());
}

TEST(CaptureLoaderTest, SlicesOfAnySizeStoreWhatOneReadStores) {
  FrameStore whole;
  std::string error;
  ASSERT_TRUE(LoadCapture(kSamples / "sample.kss", whole, {}, error)) << error;
  for (const std::size_t slice : {std::size_t{0}, std::size_t{1}, std::size_t{1000}, kCaptureSliceBytes}) {
    FrameStore store;
    CaptureReader reader(kSamples / "sample.kss", store, {}, slice);
    int percent = reader.PercentRead();
    EXPECT_EQ(percent, 0);
    while (reader.ReadSlice()) {
      EXPECT_GE(reader.PercentRead(), percent);
      percent = reader.PercentRead();
    }
    EXPECT_TRUE(reader.Finished());
    EXPECT_EQ(reader.PercentRead(), 100);
    EXPECT_EQ(reader.Problem(), "");
    EXPECT_EQ(reader.Loaded().Frames(), whole.Size());
    ASSERT_EQ(store.Size(), whole.Size()) << slice;
    EXPECT_EQ(store.LineCount(), whole.LineCount()) << slice;
  }
  FrameStore none;
  const CaptureReader missing("/nonexistent/folder/x.kss", none, {});
  EXPECT_TRUE(missing.Finished());
  EXPECT_EQ(missing.Problem(), "No such file or directory");
}

}  // namespace
}  // namespace vorlink
