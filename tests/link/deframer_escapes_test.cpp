// Escape sequences (FESC then TFESC or TFEND) are counted once each, inside
// frames only, however the stream is cut into chunks: a FESC at the end of
// one chunk pairs with the first byte of the next.
#include <gtest/gtest.h>

#include <vector>

#include "link/deframer.h"
#include "support/hex.h"

namespace vorlink {
namespace {

using testing::Hex;

struct Counts {
  int tfesc = 0;
  int tfend = 0;
  int frames = 0;
  friend bool operator==(const Counts&, const Counts&) = default;
};

class Counter final : public UnitSink {
 public:
  void OnUnit(std::span<const std::uint8_t> frame) override { counts.frames += frame.size() > 2; }
  void OnEscape(std::uint8_t escaped) override {
    if (escaped == kTfesc) ++counts.tfesc;
    if (escaped == kTfend) ++counts.tfend;
  }
  Counts counts;
};

Counts Feed(const std::vector<std::uint8_t>& stream, const std::vector<std::size_t>& cuts) {
  Deframer deframer;
  Counter counter;
  std::size_t start = 0;
  for (std::size_t cut : cuts) {
    deframer.Feed(std::span(stream).subspan(start, cut - start), counter);
    start = cut;
  }
  deframer.Feed(std::span(stream).subspan(start), counter);
  return counter.counts;
}

void ExpectAtEveryCut(const std::vector<std::uint8_t>& stream, const Counts& expected) {
  EXPECT_EQ(Feed(stream, {}), expected);
  std::vector<std::size_t> everyByte;
  for (std::size_t i = 1; i < stream.size(); ++i) everyByte.push_back(i);
  EXPECT_EQ(Feed(stream, everyByte), expected);
  for (std::size_t a = 0; a <= stream.size(); ++a) {
    EXPECT_EQ(Feed(stream, {a}), expected) << "cut at " << a;
    for (std::size_t b = a; b <= stream.size(); b += 3) {
      ASSERT_EQ(Feed(stream, {a, b}), expected) << "cuts at " << a << " and " << b;
    }
  }
}

TEST(DeframerEscapeChunksTest, RunsOfFescAndEscapesAtFrameEnds) {
  // DB DB DC: the second FESC escapes. DB before the closing FEND escapes
  // nothing; DD DC without FESC are plain data; bytes outside frames count not.
  ExpectAtEveryCut(Hex("DB DC C0 00 DB DC DB DD DB DB DC 41 DB C0 "
                       "C0 00 DB DD DD DC DB 41 DC C0 C0 DB DC C0"),
                   Counts{2, 3, 3});
}

TEST(DeframerEscapeChunksTest, EscapeAcrossTheEndOfTheBufferOfAnOversizeFrame) {
  std::vector<std::uint8_t> stream(kFrameBufferCapacity, 0x41);
  stream[0] = kFend;
  stream[1] = 0x00;
  stream.back() = kFesc;  // the last byte that fits
  for (std::uint8_t b : Hex("DC 41 DB DD C0 C0 00 42 C0")) stream.push_back(b);
  const std::size_t cuts[] = {0, 1, kFrameBufferCapacity - 1, kFrameBufferCapacity,
                              kFrameBufferCapacity + 1, kFrameBufferCapacity + 3};
  for (std::size_t cut : cuts) {
    EXPECT_EQ(Feed(stream, {cut}), (Counts{1, 1, 1})) << "cut at " << cut;
  }
}

}  // namespace
}  // namespace vorlink
