#include "decode/ax25_encoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/ax25_decoder.h"
#include "hex.h"

namespace vorlink {
namespace {

using testing::Hex;
using testing::ToHex;

struct CallsignCase {
  const char* name;
  const char* text;
  bool valid;
  const char* callsign;
  int ssid;
  const char* written;
};

void PrintTo(const CallsignCase& c, std::ostream* os) { *os << c.name; }

class CallsignTest : public ::testing::TestWithParam<CallsignCase> {};

TEST_P(CallsignTest, ParsesOrRefuses) {
  const CallsignCase& c = GetParam();
  const auto address = ParseCallsign(c.text);
  ASSERT_EQ(address.has_value(), c.valid);
  if (!c.valid) return;
  EXPECT_EQ(address->callsign, c.callsign);
  EXPECT_EQ(address->ssid, c.ssid);
  EXPECT_EQ(CallsignText(*address), c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CallsignTest,
    ::testing::Values(CallsignCase{"Plain", "N0CALL", true, "N0CALL", 0, "N0CALL"},
                      CallsignCase{"WithSsid", "N0CALL-7", true, "N0CALL", 7, "N0CALL-7"},
                      CallsignCase{"SsidFifteen", "AB1-15", true, "AB1", 15, "AB1-15"},
                      CallsignCase{"SsidZeroWritten", "AB1-0", true, "AB1", 0, "AB1"},
                      CallsignCase{"LowerCase", "dl1abc-3", true, "DL1ABC", 3, "DL1ABC-3"},
                      CallsignCase{"OneCharacter", "A", true, "A", 0, "A"},
                      CallsignCase{"Empty", "", false, "", 0, ""},
                      CallsignCase{"SevenCharacters", "ABCDEFG", false, "", 0, ""},
                      CallsignCase{"SsidSixteen", "N0CALL-16", false, "", 0, ""},
                      CallsignCase{"DashOnly", "N0CALL-", false, "", 0, ""},
                      CallsignCase{"NoCall", "-5", false, "", 0, ""},
                      CallsignCase{"SsidNotNumber", "N0CALL-X", false, "", 0, ""},
                      CallsignCase{"SsidThreeDigits", "N0CALL-001", false, "", 0, ""},
                      CallsignCase{"Punctuation", "N0/CALL", false, "", 0, ""},
                      CallsignCase{"Space", "N0 CAL", false, "", 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct RoundTripCase {
  const char* name;
  std::vector<const char*> path;  // destination, source, digipeaters ("*" marks H)
  Ax25CommandResponse commandResponse;
  std::uint16_t control;
  bool twoByteControl;
  int pid;  // -1: none
  std::string info;
  std::string addressLine;
  std::string frameType;
  std::string header;  // the two SSID bytes: C bits, reserved bits, last-address bit
};

void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name; }

Ax25Address Station(std::string text) {
  const bool repeated = !text.empty() && text.back() == '*';
  if (repeated) text.pop_back();
  Ax25Address a = *ParseCallsign(text);
  a.repeated = repeated;
  return a;
}

class EncoderRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(EncoderRoundTripTest, DecoderReadsWhatWasEncoded) {
  const RoundTripCase& c = GetParam();
  Ax25FrameFields fields;
  fields.destination = Station(c.path[0]);
  fields.source = Station(c.path[1]);
  for (std::size_t i = 2; i < c.path.size(); ++i) fields.digipeaters.push_back(Station(c.path[i]));
  fields.commandResponse = c.commandResponse;
  fields.control = c.control;
  fields.twoByteControl = c.twoByteControl;
  if (c.pid >= 0) fields.pid = static_cast<std::uint8_t>(c.pid);
  const std::vector<std::uint8_t> info(c.info.begin(), c.info.end());
  fields.info = info;

  const auto frame = EncodeAx25Frame(fields);
  ASSERT_TRUE(frame.has_value());
  EXPECT_EQ(ToHex({frame->begin() + 6, frame->begin() + 7}) + " " +
                ToHex({frame->begin() + 13, frame->begin() + 14}),
            c.header);
  Ax25Decoder decoder;
  decoder.DecodeAx25Header(WrapInKiss(*frame));
  EXPECT_EQ(decoder.AddressLine, c.addressLine);
  EXPECT_EQ(decoder.FrameTypeText, c.frameType);
  EXPECT_EQ(decoder.ControlByte, c.control & 0xFF);
  // The decoder reads one control byte; the rest of the frame follows as sent.
  const std::size_t afterFirstControl = 14 + 7 * fields.digipeaters.size() + 1;
  const auto tail = std::span(decoder.DecodedFrame)
                        .subspan(2 + afterFirstControl,
                                 static_cast<std::size_t>(decoder.DecodedLength) - 3 -
                                     afterFirstControl);
  EXPECT_EQ(ToHex({tail.begin(), tail.end()}),
            ToHex({frame->begin() + static_cast<std::ptrdiff_t>(afterFirstControl), frame->end()}));
}

INSTANTIATE_TEST_SUITE_P(
    Frames, EncoderRoundTripTest,
    ::testing::Values(
        RoundTripCase{"UiCommand", {"APRS", "N0CALL-7"}, Ax25CommandResponse::Command, 0x03, false,
                      0xF0, "hi", "from N0CALL-7 to APRS: ", "UI", "E0 6F"},
        RoundTripCase{"UaResponse", {"AB1", "CD2-15"}, Ax25CommandResponse::Response, 0x73, false,
                      -1, "", "from CD2-15 to AB1: ", "UA-", "60 FF"},
        RoundTripCase{"LegacyBitsClear", {"AB1", "CD2"}, Ax25CommandResponse::Legacy, 0x3F, false,
                      -1, "", "from CD2 to AB1: ", "SABM+", "60 61"},
        RoundTripCase{"EightDigipeatersOneRepeated",
                      {"AB1", "CD2", "D1-1*", "D2-2", "D3", "D4", "D5", "D6", "D7", "D8-8"},
                      Ax25CommandResponse::Command, 0x03, false, 0xF0, "x",
                      "from CD2 to AB1 via D1-1*,D2-2,D3,D4,D5,D6,D7,D8-8: ", "UI", "E0 60"},
        RoundTripCase{"IFrameModulo8", {"AB1", "CD2"}, Ax25CommandResponse::Command, 0x54, false,
                      0xF0, "abc", "from CD2 to AB1: ", "I22+", "E0 61"},
        RoundTripCase{"IFrameModulo128", {"AB1", "CD2"}, Ax25CommandResponse::Command, 0x0B0A,
                      true, 0xF0, "abc", "from CD2 to AB1: ", "I05^", "E0 61"},
        RoundTripCase{"SrejModulo128", {"AB1", "CD2"}, Ax25CommandResponse::Response, 0xFF0D,
                      true, -1, "", "from CD2 to AB1: ", "SREJ0v", "60 E1"},
        RoundTripCase{"InfoNeedingEscapes", {"AB1", "CD2"}, Ax25CommandResponse::Command, 0x03,
                      false, 0xF0, "\xC0\xDB\xDC\xDD", "from CD2 to AB1: ", "UI", "E0 61"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
  const char* name;
  Ax25Address destination;
  std::size_t digipeaters;
};

TEST(EncoderRefusesTest, BadAddressOrTooManyDigipeaters) {
  const RefusedCase cases[] = {{"EmptyCallsign", {"", 0, false}, 0},
                               {"SsidSixteen", {"AB1", 16, false}, 0},
                               {"LowerCase", {"ab1", 0, false}, 0},
                               {"NineDigipeaters", {"AB1", 0, false}, 9}};
  for (const auto& c : cases) {
    Ax25FrameFields fields;
    fields.destination = c.destination;
    fields.source = {"CD2", 0, false};
    fields.digipeaters.assign(c.digipeaters, Ax25Address{"D1", 0, false});
    EXPECT_FALSE(EncodeAx25Frame(fields).has_value()) << c.name;
  }
}

TEST(WrapInKissTest, DataFrameForPortZeroEscaped) {
  EXPECT_EQ(ToHex(WrapInKiss(Hex("41 C0 DB 42"))), "C0 00 41 DB DC DB DD 42 C0");
  EXPECT_EQ(ToHex(WrapInKiss({})), "C0 00 C0");
}

}  // namespace
}  // namespace vorlink
