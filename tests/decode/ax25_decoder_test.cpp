#include "decode/ax25_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hex.h"

namespace vorlink {
namespace {

using testing::Hex;
using testing::ToHex;

// Address fields written as text: "ABC" shifted, blank-padded, SSID byte.
std::string Address(const std::string& call, int ssid, bool last, bool repeated = false) {
  std::string padded = call;
  padded.resize(6, ' ');
  std::vector<std::uint8_t> bytes;
  for (char c : padded) bytes.push_back(static_cast<std::uint8_t>(c << 1));
  bytes.push_back(static_cast<std::uint8_t>(0x60 | (ssid << 1) | (last ? 1 : 0) |
                                            (repeated ? 0x80 : 0)));
  return ToHex(bytes);
}

struct DecodeCase {
  const char* name;
  std::string frame;
  std::string addressLine;
  std::string frameType;
  int control;
  int pid;  // -1: the frame carries none
  int payloadOffset;
  std::string payload;
};

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }

class Ax25DecoderTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Ax25DecoderTest, DecodesEveryField) {
  const DecodeCase& c = GetParam();
  Ax25Decoder decoder;
  decoder.DecodeAx25Header(Hex(c.frame));
  EXPECT_EQ(decoder.AddressLine, c.addressLine);
  EXPECT_EQ(decoder.FrameTypeText, c.frameType);
  EXPECT_EQ(decoder.ControlByte, c.control);
  EXPECT_EQ(decoder.HasPid, c.pid >= 0);
  if (c.pid >= 0) {
    EXPECT_EQ(decoder.PidByte, c.pid);
  }
  EXPECT_EQ(decoder.PayloadOffset, c.payloadOffset);
  const auto payload = decoder.Payload();
  EXPECT_EQ(ToHex({payload.begin(), payload.end()}), c.payload);
}

const std::string kHeader = "C0 00 " + Address("ABC", 0, false) + " " + Address("XYZ", 7, true);

INSTANTIATE_TEST_SUITE_P(
    Frames, Ax25DecoderTest,
    ::testing::Values(
        DecodeCase{"UiFrame", "C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0 68 69 C0",
                   "from XYZ-7 to ABC: ", "UI", 3, 0xF0, 18, "68 69"},
        DecodeCase{"UiWithPollAndPid08", kHeader + " 13 08 41 C0", "from XYZ-7 to ABC: ", "UI!",
                   0x13, 0x08, 18, "41"},
        DecodeCase{"SsidFifteenAndSpacesInside",
                   "C0 00 82 40 84 40 86 40 60 " + Address("N0CALL", 15, true) + " 03 CF C0",
                   "from N0CALL-15 to ABC: ", "UI", 3, 0xCF, 18, ""},
        DecodeCase{"TwoDigipeaters",
                   "C0 00 " + Address("ABC", 0, false) + " " + Address("XYZ", 7, false) + " " +
                       Address("RELAY", 1, false, true) + " " + Address("WIDE2", 2, true) +
                       " 03 F0 C0",
                   "from XYZ-7 to ABC via RELAY-1*,WIDE2-2: ", "UI", 3, 0xF0, 32, ""},
        DecodeCase{"IFrameWithPoll", kHeader + " 54 F0 61 C0", "from XYZ-7 to ABC: ", "I22+",
                   0x54, 0xF0, 18, "61"},
        DecodeCase{"IFrameWithoutPoll", kHeader + " 22 CF C0", "from XYZ-7 to ABC: ", "I11^",
                   0x22, 0xCF, 18, ""},
        DecodeCase{"SFrameHasNoPid", kHeader + " 41 61 62 C0", "from XYZ-7 to ABC: ", "RR2v",
                   0x41, -1, 17, "61 62"},
        DecodeCase{"RrWithFinal", kHeader + " 51 C0", "from XYZ-7 to ABC: ", "RR2-", 0x51, -1, 17,
                   ""},
        DecodeCase{"Rnr", kHeader + " 05 C0", "from XYZ-7 to ABC: ", "RNR0v", 5, -1, 17, ""},
        DecodeCase{"Rej", kHeader + " E9 C0", "from XYZ-7 to ABC: ", "REJ7v", 0xE9, -1, 17, ""},
        DecodeCase{"Srej", kHeader + " 1D C0", "from XYZ-7 to ABC: ", "SREJ0-", 0x1D, -1, 17, ""},
        DecodeCase{"UnknownU", kHeader + " 27 41 C0", "from XYZ-7 to ABC: ", "UNKNOWN U", 0x27,
                   -1, 17, "41"},
        DecodeCase{"EscapedPayload", kHeader + " 03 F0 DB DC DB DD DC DD DB 41 DC C0",
                   "from XYZ-7 to ABC: ", "UI", 3, 0xF0, 18, "C0 DB DC DD 41 C0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Ax25UFrameTest, EveryModifierCodeAndMarker) {
  const std::pair<int, const char*> cases[] = {
      {0x6F, "SABME^"}, {0x7F, "SABME+"}, {0x2F, "SABM^"}, {0x3F, "SABM+"},
      {0x43, "DISC^"},  {0x53, "DISC+"},  {0x0F, "DMv"},   {0x1F, "DM-"},
      {0x63, "UAv"},    {0x73, "UA-"},    {0x87, "FRMRv"}, {0x97, "FRMR-"},
      {0x03, "UI"},     {0x13, "UI!"},    {0xAF, "XID"},   {0xBF, "XID!"},
      {0xE3, "TEST"},   {0xF3, "TEST!"},  {0x27, "UNKNOWN U"}};
  Ax25Decoder decoder;
  for (const auto& [control, text] : cases) {
    decoder.DecodeAx25Header(Hex(kHeader + " " + ToHex({static_cast<std::uint8_t>(control)}) +
                                 " C0"));
    EXPECT_EQ(decoder.FrameTypeText, text) << control;
  }
}

TEST(Ax25DigipeaterTest, StopsAfterTheNinthDigipeater) {
  std::string frame = "C0 00 " + Address("ABC", 0, false) + " " + Address("XYZ", 0, false);
  for (int k = 1; k <= 10; ++k) frame += " " + Address("D" + std::to_string(k), k, false);
  frame += " 03 F0 C0";
  Ax25Decoder decoder;
  decoder.DecodeAx25Header(Hex(frame));
  EXPECT_EQ(decoder.AddressLine,
            "from XYZ to ABC via D1-1,D2-2,D3-3,D4-4,D5-5,D6-6,D7-7,D8-8,D9-9: ");
  EXPECT_EQ(decoder.DigipeaterSsid[8], 9);
  // The tenth address's first byte ("D" shifted) is taken as the control byte.
  EXPECT_EQ(decoder.ControlByte, 'D' << 1);
  // 0x88 is an I frame, so a PID byte follows it.
  EXPECT_EQ(decoder.PayloadOffset, 16 + 7 * 9 + 2);
}

TEST(Ax25ShortFrameTest, MissingBytesComeFromTheEarlierFrame) {
  Ax25Decoder decoder;
  decoder.DecodeAx25Header(Hex(kHeader + " 03 F0 68 69 C0"));
  decoder.DecodeAx25Header(Hex("C0 00 C0"));
  EXPECT_EQ(decoder.DecodedLength, 3);
  EXPECT_EQ(decoder.PayloadLength(), 3 - 18 - 1);
  EXPECT_TRUE(decoder.Payload().empty());
  EXPECT_EQ(decoder.FrameTypeText, "UI");
  // Offset 2 now holds the closing FEND: 0xC0 >> 1 is "`".
  EXPECT_EQ(decoder.DestinationText, "`BC");
}

TEST(Ax25ShortFrameTest, FirstFrameReadsZeros) {
  Ax25Decoder decoder;
  decoder.DecodeAx25Header(Hex("C0 00 C0"));
  EXPECT_EQ(decoder.ControlByte, 0);
  EXPECT_EQ(decoder.FrameTypeText, "I00^");
  EXPECT_EQ(decoder.PidByte, 0);
}

TEST(Ax25HelpersTest, ShiftRightIsBitSet) {
  EXPECT_EQ(ShiftRight(0x82, 1), 0x41);
  EXPECT_EQ(ShiftRight(0x82, 0), 0x82);
  EXPECT_EQ(ShiftRight(0x82, -3), 0x82);
  EXPECT_EQ(ShiftRight(0xFF, 8), 0);
  EXPECT_TRUE(IsBitSet(0x80, 7));
  EXPECT_FALSE(IsBitSet(0x7F, 7));
  EXPECT_FALSE(IsBitSet(0xFF, 8));
  EXPECT_FALSE(IsBitSet(0xFF, -1));
}

}  // namespace
}  // namespace vorlink
