#include "ax25link/link_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ax25link/xid_parameters.h"
#include "hex.h"
#include "link_recorder.h"

namespace vorlink {
namespace {

using testing::Hex;
using testing::ToHex;

struct ControlCase {
  const char* name;
  LinkFrame frame;
  bool modulo128;
  std::string control;  // the control field (and PID) as sent
  std::string text;
};

void PrintTo(const ControlCase& c, std::ostream* os) { *os << c.name; }

LinkFrame Frame(FrameKind kind, bool command, bool pollFinal, int nr = 0, int ns = 0) {
  LinkFrame f;
  f.kind = kind;
  f.command = command;
  f.pollFinal = pollFinal;
  f.nr = nr;
  f.ns = ns;
  if (kind == FrameKind::I) f.pid = kPidNoLayer3;
  return f;
}

const LinkRoute kRoute{{"N0CALL", 0, false}, {"BBS", 2, false}, {}};

class LinkFrameTest : public ::testing::TestWithParam<ControlCase> {};

TEST_P(LinkFrameTest, ControlFieldBothWays) {
  const ControlCase& c = GetParam();
  const auto bytes = BuildFrame(kRoute, c.frame, c.modulo128);
  ASSERT_GE(bytes.size(), 14U);
  EXPECT_EQ(ToHex({bytes.begin() + 14, bytes.end()}), c.control);
  EXPECT_EQ(testing::FrameText(bytes, c.modulo128), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, LinkFrameTest,
    ::testing::Values(
        ControlCase{"Sabm", Frame(FrameKind::SABM, true, true), false, "3F", "SABM C P"},
        ControlCase{"Sabme", Frame(FrameKind::SABME, true, true), true, "7F", "SABME C P"},
        ControlCase{"Ua", Frame(FrameKind::UA, false, true), false, "73", "UA R F"},
        ControlCase{"Dm", Frame(FrameKind::DM, false, false), false, "0F", "DM R"},
        ControlCase{"Disc", Frame(FrameKind::DISC, true, true), false, "53", "DISC C P"},
        ControlCase{"Frmr", Frame(FrameKind::FRMR, false, false), false, "87", "FRMR R"},
        ControlCase{"Rr8", Frame(FrameKind::RR, false, true, 5), false, "B1", "RR nr=5 R F"},
        ControlCase{"Rnr8", Frame(FrameKind::RNR, true, false, 2), false, "45", "RNR nr=2 C"},
        ControlCase{"Rej8", Frame(FrameKind::REJ, false, false, 7), false, "E9", "REJ nr=7 R"},
        ControlCase{"Srej8", Frame(FrameKind::SREJ, false, false, 1), false, "2D", "SREJ nr=1 R"},
        ControlCase{"I8", Frame(FrameKind::I, true, true, 3, 6), false, "7C F0", "I ns=6 nr=3 C P"},
        ControlCase{"Rr128", Frame(FrameKind::RR, false, true, 100), true, "01 C9",
                    "RR nr=100 R F"},
        ControlCase{"Srej128", Frame(FrameKind::SREJ, false, false, 127), true, "0D FE",
                    "SREJ nr=127 R"},
        ControlCase{"I128", Frame(FrameKind::I, true, false, 64, 127), true, "FE 80 F0",
                    "I ns=127 nr=64 C"}),
    [](const auto& info) { return std::string(info.param.name); });

struct AddressCase {
  const char* name;
  std::string frame;
  bool valid;
  std::string text;
};

TEST(ReadAddressesTest, ChecksEveryField) {
  const std::string dest = "84 84 A6 40 40 40 E4 ";  // BBS-2, C set
  const std::string src = "9C 60 86 82 98 98 61 ";   // N0CALL, last
  const AddressCase cases[] = {
      {"Plain", dest + src + "3F", true, "SABM C P"},
      {"CutShort", dest + "9C 60 86", false, ""},
      {"NoLastBit", dest + "9C 60 86 82 98 98 60", false, ""},
      {"LowerCase", "C4 84 A6 40 40 40 E4 " + src + "3F", false, ""},
      {"ControlMissing", dest + src, true, "?control"},
      {"UnknownU", dest + src + "27", true, "?control"},
      {"IWithoutPid", dest + src + "10", true, "?control"},
  };
  for (const auto& c : cases) {
    const auto bytes = Hex(c.frame);
    EXPECT_EQ(ReadAddresses(bytes).has_value(), c.valid) << c.name;
    if (c.valid) {
      EXPECT_EQ(testing::FrameText(bytes, false), c.text) << c.name;
    }
  }
}

TEST(ReadAddressesTest, TenAddressesAtMost) {
  std::string frame;
  for (int i = 0; i < 11; ++i) frame += "82 84 86 40 40 40 60 ";
  EXPECT_FALSE(ReadAddresses(Hex(frame + "82 84 86 40 40 40 61 03")).has_value());
}

TEST(XidTest, RoundTripAndRefusals) {
  XidParameters p;
  p.selectiveReject = true;
  p.modulo128 = true;
  p.maxInfoBytes = 128;
  p.window = 2;
  p.t1Milliseconds = 4096;
  p.retries = 3;
  const auto bytes = EncodeXid(p);
  EXPECT_EQ(ToHex(bytes),
            "82 80 00 17 02 02 21 00 03 03 84 A8 02 06 02 04 00 08 01 02 09 02 10 00 0A 01 03");
  const auto back = ParseXid(bytes);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->maxInfoBytes, 128U);
  EXPECT_EQ(back->window, 2);
  EXPECT_EQ(back->t1Milliseconds, 4096U);
  EXPECT_EQ(back->retries, 3);
  EXPECT_EQ(back->selectiveReject, true);
  EXPECT_EQ(back->modulo128, true);
  EXPECT_FALSE(ParseXid(Hex("82 80 00 05 02 02 00")).has_value());
  EXPECT_FALSE(ParseXid(Hex("82 80 00 03 02 05 00")).has_value());
  EXPECT_FALSE(ParseXid(Hex("83 80 00 00")).has_value());
}

}  // namespace
}  // namespace vorlink
