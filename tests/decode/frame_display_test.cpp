#include "decode/frame_display.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_clock.h"
#include "hex.h"
#include "recording_pane.h"

namespace vorlink {
namespace {

using testing::Hex;
using Piece = std::pair<std::string, PaneRole>;

const std::string kSeparator = "\r" + std::string(66, '_') + "\r";
const char* const kUiFrame = "C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0 68 69 C0";

class FrameDisplayTest : public ::testing::Test {
 protected:
  void Show(const std::vector<std::uint8_t>& frame) { display.ShowFrame(frame); }

  testing::FakeClock clock;
  testing::RecordingPane pane;
  DisplayOptions options;
  FrameDisplay display{pane, clock, options};
};

TEST_F(FrameDisplayTest, DecodedUiFrameBlock) {
  Show(Hex(kUiFrame));
  const std::vector<Piece> expected{
      {"\r", PaneRole::Plain},
      {"2026-12-06 09:58:20.345 UTC: [21 Bytes KISS Frame (without CRC)]\r", PaneRole::Header},
      {"ctrl: 3   PID: F0 {UI}   2 Payload Bytes\r", PaneRole::Header},
      {"from XYZ-7 to ABC: \r", PaneRole::Plain},
      {" 1   > 68 69 \r", PaneRole::DecodedDump},
      {"hi\r", PaneRole::Characters},
      {kSeparator, PaneRole::Separator}};
  EXPECT_EQ(pane.pieces, expected);
  EXPECT_EQ(display.Text().AsciiText(), "hi");
  EXPECT_EQ(display.Text().HexText(), "68 69 ");
}

TEST_F(FrameDisplayTest, RawViewDumpsTheWholeFrameInBlue) {
  options.decode = false;
  options.timeStamp = false;
  Show(Hex("C0 00 41 C0"));
  const std::vector<Piece> expected{
      {"\r", PaneRole::Plain},
      {"[4 Bytes KISS Frame (without CRC)]\r", PaneRole::Header},
      {" 1   > C0 00 41 C0 \r", PaneRole::RawDump},
      {"\xC3\x80.A\xC3\x80\r", PaneRole::Characters},
      {kSeparator, PaneRole::Separator}};
  EXPECT_EQ(pane.pieces, expected);
}

TEST_F(FrameDisplayTest, DumpLinesOfTwentyBytes) {
  options.decode = false;
  const std::pair<std::size_t, std::vector<std::string>> cases[] = {
      {20, {" 1  "}}, {21, {" 1  ", " 21 "}}, {40, {" 1  ", " 21 "}}, {41, {" 1  ", " 21 ", " 41 "}}};
  for (const auto& [length, numbers] : cases) {
    pane.pieces.clear();
    std::vector<std::uint8_t> frame(length, 0x41);
    frame.front() = frame.back() = kFend;
    Show(frame);
    // All dump lines come in one piece of their colour.
    std::vector<std::string> seen;
    for (const auto& [text, colour] : pane.pieces) {
      if (colour != PaneRole::RawDump) continue;
      for (std::size_t at = 0; at < text.size(); at = text.find('\r', at) + 1) {
        seen.push_back(text.substr(at, 4));
      }
    }
    EXPECT_EQ(seen, numbers) << length;
    EXPECT_EQ(pane.pieces.size(), 5u) << length;
  }
}

TEST_F(FrameDisplayTest, FourDigitDumpNumbersAreNotCut) {
  options.decode = false;
  std::vector<std::uint8_t> frame(1010, 0x41);
  frame.front() = frame.back() = kFend;
  Show(frame);
  const std::vector<std::string> lines = pane.Lines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[lines.size() - 4].substr(0, 8), " 1001 > ");
}

TEST_F(FrameDisplayTest, ProtocolNamesFromTheCommandByte) {
  EXPECT_EQ(ProtocolText(0x00), "KISS Frame (without CRC)");
  EXPECT_EQ(ProtocolText(0x80), "SMACK Frame (with CRC)");
  EXPECT_EQ(ProtocolText(0x09), "TIME Frame");
  for (int command : {0x10, 0x90, 0x01, 0xFF}) {
    EXPECT_EQ(ProtocolText(static_cast<std::uint8_t>(command)), "unknown Protocol");
  }
}

TEST_F(FrameDisplayTest, FrameWithoutPidShowsADashInsteadOfAStalePid) {
  options.timeStamp = false;
  Show(Hex(kUiFrame));
  pane.pieces.clear();
  Show(Hex("C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 41 C0"));
  EXPECT_EQ(pane.pieces[2].first, "ctrl: 65   PID: - {RR2v}   0 Payload Bytes\r");
  pane.pieces.clear();
  Show(Hex("C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 13 08 C0"));
  EXPECT_EQ(pane.pieces[2].first, "ctrl: 19   PID: 8 {UI!}   0 Payload Bytes\r");
}

TEST_F(FrameDisplayTest, ShortFrameShowsANegativeCountAndNoDump) {
  options.timeStamp = false;
  options.timeFrames = false;
  Show(Hex("C0 00 41 C0"));
  ASSERT_EQ(pane.pieces.size(), 6u);
  // Nothing after the source's SSID byte ends the address field here, so nine
  // (zero) digipeaters are read and the count goes far below zero.
  EXPECT_EQ(pane.pieces[2].first, "ctrl: 0   PID: 0 {I00^}   -78 Payload Bytes\r");
  EXPECT_EQ(pane.pieces[4], (Piece{"\r", PaneRole::Characters}));
  EXPECT_EQ(display.Text().HexText(), "");
}

TEST_F(FrameDisplayTest, CharacterLineUsesTheCodePage) {
  options.decode = false;
  options.timeStamp = false;
  Show(Hex("C0 80 7F 81 A9 AD C0"));
  EXPECT_EQ(pane.pieces[3].first,
            "\xC3\x80\xE2\x82\xAC\xEF\xBF\xBD\xEF\xBF\xBD\xC2\xA9-\xC3\x80\r");
}

TEST_F(FrameDisplayTest, ControlCharactersInCallsignsCannotBreakTheBlock) {
  options.timeStamp = false;
  // 0x1A shifted is a carriage return, 0x36 an escape character.
  Show(Hex("C0 00 1A 36 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0 C0"));
  EXPECT_EQ(pane.pieces[3].first, "from XYZ-7 to ..C: \r");
}

}  // namespace
}  // namespace vorlink
