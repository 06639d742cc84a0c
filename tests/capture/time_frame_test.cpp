#include "capture/time_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hex.h"

namespace vorlink {
namespace {

using testing::Hex;
using testing::ToHex;

constexpr std::string_view kFrameStamp = "2026-12-06 09:58:20.345";

std::string TextHex(std::string_view text) {
  return ToHex(std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string Build(const std::vector<std::uint8_t>& frame) {
  TimeFrameBuilder builder;
  const auto out = builder.Build(frame, kFrameStamp);
  return ToHex(std::vector<std::uint8_t>(out.begin(), out.end()));
}

const std::string kTextHex = TextHex("asy: 2026-12-06 09:58:20.345 UTC");

TEST(TimeFrameTest, CopiesTheHeaderUpToThePid) {
  const auto frame = Hex("C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0 68 69 C0");
  const std::string built = Build(frame);
  EXPECT_EQ(built, "C0 09 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0 " + kTextHex + " C0");
  EXPECT_EQ(Hex(built).size(), 51u);
}

TEST(TimeFrameTest, FrameWithoutPidIsCopiedUpToItsClosingFend) {
  EXPECT_EQ(Build(Hex("C0 00 41 42 43 C0")), "C0 09 41 42 43 F0 " + kTextHex + " C0");
}

TEST(TimeFrameTest, ThreeByteFrameCopiesItsClosingFend) {
  EXPECT_EQ(Build(Hex("C0 00 C0")), "C0 09 C0 F0 " + kTextHex + " C0");
}

TEST(TimeFrameTest, EarlyF0EndsTheCopyAndEscapesPassUnchanged) {
  EXPECT_EQ(Build(Hex("C0 00 41 DB DC F0 42 F0 43 C0")), "C0 09 41 DB DC F0 " + kTextHex + " C0");
  // The byte at offset 2 is copied even when it is 0xF0.
  EXPECT_EQ(Build(Hex("C0 00 F0 41 C0")), "C0 09 F0 41 F0 " + kTextHex + " C0");
}

TEST(TimeFrameTest, LargestFrameFitsTheBuffer) {
  std::vector<std::uint8_t> frame(kFrameBufferCapacity, 0x41);
  frame.front() = kFend;
  frame.back() = kFend;
  TimeFrameBuilder builder;
  EXPECT_EQ(builder.Build(frame, kFrameStamp).size(), kFrameBufferCapacity - 3 + kTimeFrameOverhead);
}

}  // namespace
}  // namespace vorlink
