#include "link/deframer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hex.h"

namespace vorlink {
namespace {

using testing::Hex;
using testing::ToHex;

struct Result {
  std::vector<std::string> frames;  // units longer than two bytes, as hex
  int units = 0;
  int tfesc = 0;
  int tfend = 0;
  bool operator==(const Result&) const = default;
};

class Collector final : public UnitSink {
 public:
  Result result;
  void OnUnit(std::span<const std::uint8_t> frame) override {
    ++result.units;
    if (frame.size() > 2) result.frames.push_back(ToHex({frame.begin(), frame.end()}));
  }
  void OnEscape(std::uint8_t escaped) override {
    if (escaped == kTfesc) ++result.tfesc;
    if (escaped == kTfend) ++result.tfend;
  }
};

Result FeedInPieces(const std::vector<std::uint8_t>& stream, const std::vector<std::size_t>& cuts) {
  Deframer deframer;
  Collector collector;
  std::size_t start = 0;
  for (std::size_t cut : cuts) {
    deframer.Feed(std::span(stream).subspan(start, cut - start), collector);
    start = cut;
  }
  deframer.Feed(std::span(stream).subspan(start), collector);
  return collector.result;
}

struct StreamCase {
  const char* name;
  const char* stream;
  std::vector<std::string> frames;
  int units;
};

void PrintTo(const StreamCase& c, std::ostream* os) { *os << c.name; }

class DeframerTest : public ::testing::TestWithParam<StreamCase> {};

// Every chunking of a stream must give the same units: whole, byte by byte,
// and cut once at every position.
TEST_P(DeframerTest, SameUnitsAtEveryChunkBoundary) {
  const auto stream = Hex(GetParam().stream);
  const Result expected{GetParam().frames, GetParam().units, 0, 0};
  Result whole = FeedInPieces(stream, {});
  whole.tfesc = whole.tfend = 0;
  EXPECT_EQ(whole, expected);

  std::vector<std::size_t> everyByte;
  for (std::size_t i = 1; i < stream.size(); ++i) everyByte.push_back(i);
  EXPECT_EQ(FeedInPieces(stream, everyByte).frames, expected.frames);
  for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
    const Result split = FeedInPieces(stream, {cut});
    EXPECT_EQ(split.frames, expected.frames) << "cut at " << cut;
    EXPECT_EQ(split.units, expected.units) << "cut at " << cut;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, DeframerTest,
    ::testing::Values(
        StreamCase{"OneFrame", "C0 00 41 C0", {"C0 00 41 C0"}, 1},
        StreamCase{"EmptyFrame", "C0 C0", {}, 1},
        StreamCase{"BytesBeforeAnyFend", "41 42", {}, 2},
        StreamCase{"SmallestFrame", "C0 00 C0", {"C0 00 C0"}, 1},
        StreamCase{"EscapesStayAsReceived", "C0 00 DB DC 41 C0", {"C0 00 DB DC 41 C0"}, 1},
        StreamCase{"UsualTncOutput", "C0 00 41 C0 C0 00 42 C0", {"C0 00 41 C0", "C0 00 42 C0"}, 2},
        StreamCase{"SharedFend", "C0 00 41 C0 00 42 C0", {"C0 00 41 C0", "C0 00 42 C0"}, 2},
        StreamCase{"EmptyFrameAndStrayByte", "C0 00 41 C0 C0 C0 7E C0 00 42 C0",
                   {"C0 00 41 C0", "C0 00 42 C0"}, 4},
        StreamCase{"StrayByteAfterFrame", "C0 00 41 C0 7E C0 00 42 C0",
                   {"C0 00 41 C0", "C0 00 42 C0"}, 3},
        StreamCase{"StartedInTheMiddleOfAFrame", "33 44 C0 C0 00 41 C0 C0 00 42 C0",
                   {"C0 00 41 C0", "C0 00 42 C0"}, 5},
        StreamCase{"TruncatedFrameCostsItselfOnly", "C0 00 41 42 C0 00 43 C0",
                   {"C0 00 41 42 C0", "C0 00 43 C0"}, 2},
        StreamCase{"OpenFrameAtTheEnd", "C0 00 41 C0 C0 00", {"C0 00 41 C0"}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

std::vector<std::uint8_t> FrameOfLength(std::size_t length) {
  std::vector<std::uint8_t> frame(length, 0x41);
  frame.front() = kFend;
  frame[1] = 0x00;
  frame.back() = kFend;
  return frame;
}

TEST(DeframerLimitsTest, FrameOfExactCapacityIsKept) {
  const auto frame = FrameOfLength(kFrameBufferCapacity);
  const Result r = FeedInPieces(frame, {});
  ASSERT_EQ(r.frames.size(), 1u);
  EXPECT_EQ(r.frames[0], ToHex(frame));
}

TEST(DeframerLimitsTest, OversizeFrameIsDroppedWholeAsOneUnit) {
  for (std::size_t extra : {1u, 2u, 5000u}) {
    auto stream = FrameOfLength(kFrameBufferCapacity + extra);
    const auto next = Hex("C0 00 42 C0");
    stream.insert(stream.end(), next.begin(), next.end());
    const Result r = FeedInPieces(stream, {kFrameBufferCapacity / 2});
    EXPECT_EQ(r.frames, std::vector<std::string>{"C0 00 42 C0"}) << extra;
    EXPECT_EQ(r.units, 2) << extra;
  }
}

TEST(DeframerEscapesTest, CountsEscapeSequencesInsideFramesOnly) {
  const Result r = FeedInPieces(Hex("DB DD C0 00 DB DC DB DD DD DC 41 C0"), {5});
  EXPECT_EQ(r.tfend, 1);
  EXPECT_EQ(r.tfesc, 1);
}

TEST(DeframerResetTest, ResetDropsTheOpenFrameAndHuntsAgain) {
  Deframer deframer;
  Collector collector;
  deframer.Feed(Hex("C0 00 41"), collector);
  EXPECT_TRUE(deframer.InFrame());
  deframer.Reset();
  EXPECT_FALSE(deframer.InFrame());
  EXPECT_EQ(deframer.Length(), 0u);
  deframer.Feed(Hex("42 C0 00 43 C0"), collector);
  EXPECT_EQ(collector.result.frames, std::vector<std::string>{"C0 00 43 C0"});
  EXPECT_EQ(collector.result.units, 2);
}

}  // namespace
}  // namespace vorlink
