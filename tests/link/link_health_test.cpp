#include "link/link_health.h"

#include <gtest/gtest.h>

#include <string>

#include "../support/hex.h"
#include "link/deframer.h"
#include "link/kiss_unescape.h"

namespace vorlink {
namespace {

using testing::Hex;

class HealthSink final : public UnitSink {
 public:
  void OnUnit(std::span<const std::uint8_t> unit) override { CountUnit(health, unit); }
  void OnEscape(std::uint8_t) override {}
  LinkHealth health;
};

LinkHealth Count(const std::string& stream) {
  HealthSink sink;
  Deframer deframer;
  deframer.Feed(Hex(stream), sink);
  return sink.health;
}

struct HealthCase {
  const char* name;
  std::string stream;
  LinkHealth expected;
};

LinkHealth With(auto&& fill) {
  LinkHealth h;
  fill(h);
  return h;
}

const HealthCase kCases[] = {
    {"data_frame_port_0", "C0 00 41 C0", With([](LinkHealth& h) {
       h.byCommand[0] = 1;
       h.byPort[0] = 1;
     })},
    {"port_2_txdelay", "C0 21 32 C0", With([](LinkHealth& h) {
       h.byCommand[1] = 1;
       h.byPort[2] = 1;
     })},
    {"return_command_is_no_smack", "C0 FF C0", With([](LinkHealth& h) {
       h.byCommand[15] = 1;
       h.byPort[15] = 1;
     })},
    {"smack_good_counts_port_0", "C0 80 41 A1 F0 C0", With([](LinkHealth& h) {
       h.byCommand[0] = 1;
       h.byPort[0] = 1;
       h.smackGood = 1;
     })},
    {"smack_good_port_3", "C0 B0 74 65 73 74 6F 22 C0", With([](LinkHealth& h) {
       h.byCommand[0] = 1;
       h.byPort[3] = 1;
       h.smackGood = 1;
     })},
    {"smack_good_with_escapes", "C0 80 DB DC DB DD 01 B2 CC C0", With([](LinkHealth& h) {
       h.byCommand[0] = 1;
       h.byPort[0] = 1;
       h.smackGood = 1;
     })},
    {"smack_bad", "C0 80 41 F0 A1 C0", With([](LinkHealth& h) {
       h.byCommand[0] = 1;
       h.byPort[0] = 1;
       h.smackBad = 1;
     })},
    {"smack_too_short", "C0 80 41 C0", With([](LinkHealth& h) {
       h.byCommand[0] = 1;
       h.byPort[0] = 1;
       h.smackBad = 1;
     })},
    {"bad_escape", "C0 00 DB 41 C0", With([](LinkHealth& h) {
       h.byCommand[0] = 1;
       h.byPort[0] = 1;
       h.badEscapes = 1;
     })},
    {"fesc_before_closing_fend", "C0 00 41 DB C0", With([](LinkHealth& h) {
       h.byCommand[0] = 1;
       h.byPort[0] = 1;
       h.badEscapes = 1;
     })},
    {"good_escapes_only", "C0 00 DB DC DB DD C0", With([](LinkHealth& h) {
       h.byCommand[0] = 1;
       h.byPort[0] = 1;
     })},
    {"fesc_fesc_tfend", "C0 00 DB DB DC C0", With([](LinkHealth& h) {
       h.byCommand[0] = 1;
       h.byPort[0] = 1;
       h.badEscapes = 1;
     })},
    // 0xC0 has the SMACK flag: port 4, and no CRC that fits.
    {"escaped_command_byte", "C0 DB DC 41 C0", With([](LinkHealth& h) {
       h.byCommand[0] = 1;
       h.byPort[4] = 1;
       h.smackBad = 1;
     })},
    {"stray_bytes_before_first_fend", "7E 7F C0 00 41 C0", With([](LinkHealth& h) {
       h.byCommand[0] = 1;
       h.byPort[0] = 1;
       h.strays = 2;
     })},
    {"stray_between_frames", "C0 00 41 C0 7E C0 00 42 C0", With([](LinkHealth& h) {
       h.byCommand[0] = 2;
       h.byPort[0] = 2;
       h.strays = 1;
     })},
    {"empty_frames", "C0 C0 C0 C0", With([](LinkHealth& h) { h.emptyFrames = 2; })},
    {"nothing", "", LinkHealth{}},
};

class LinkHealthCases : public ::testing::TestWithParam<HealthCase> {};

TEST_P(LinkHealthCases, CountsTheStream) { EXPECT_TRUE(Count(GetParam().stream) == GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Streams, LinkHealthCases, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LinkHealthTest, CountsAnOversizeFrameOnceAndTheNextFrameAsUsual) {
  std::string stream = "C0 00";
  for (std::size_t i = 0; i < kFrameBufferCapacity; ++i) stream += " 41";
  stream += " C0 C0 00 42 C0";
  const LinkHealth h = Count(stream);
  EXPECT_EQ(h.oversize, 1u);
  EXPECT_EQ(h.byCommand[0], 1u);
}

TEST(KissUnescapeTest, GivesCommandAndDataWithoutFendsOrEscapes) {
  UnescapedFrame buffer;
  const auto frame = Hex("C0 00 DB DC 41 DB DD DB 42 DB C0");
  const auto out = UnescapeFrame(frame, buffer);
  EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.end()), Hex("00 C0 41 DB 42"));
  EXPECT_EQ(CountBadEscapes(frame), 2u);
}

}  // namespace
}  // namespace vorlink
