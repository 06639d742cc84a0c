#include "link/smack_crc.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "../support/hex.h"

namespace vorlink {
namespace {

using testing::Hex;

// The same CRC worked the long way: polynomial 0x8005 most significant bit
// first, over bit-reversed bytes, the result reversed.
std::uint16_t Reverse(std::uint16_t value, int bits) {
  std::uint16_t out = 0;
  for (int i = 0; i < bits; ++i) out = static_cast<std::uint16_t>(out << 1 | ((value >> i) & 1));
  return out;
}

std::uint16_t LongHandCrc(const std::vector<std::uint8_t>& bytes) {
  std::uint16_t crc = 0;
  for (const std::uint8_t b : bytes) {
    crc ^= static_cast<std::uint16_t>(Reverse(b, 8) << 8);
    for (int bit = 0; bit < 8; ++bit) {
      crc = static_cast<std::uint16_t>((crc & 0x8000) != 0 ? (crc << 1) ^ 0x8005 : crc << 1);
    }
  }
  return Reverse(crc, 16);
}

TEST(SmackCrcTest, GivesTheCatalogueCheckValue) {
  const std::string_view digits = "123456789";
  const std::vector<std::uint8_t> bytes(digits.begin(), digits.end());
  EXPECT_EQ(SmackCrc(bytes), 0xBB3D);
  EXPECT_EQ(LongHandCrc(bytes), 0xBB3D);
}

struct KnownFrame {
  const char* name;
  const char* unescaped;  // command byte, data, CRC low, CRC high
  bool good;
};

// CRCs worked out apart from the code under test.
constexpr KnownFrame kKnownFrames[] = {
    {"ui_frame_port_0", "80 82A0A4A6404060 9C6E9880A2406103F0 48656C6C6F F8 37", true},
    {"one_data_byte", "80 41 A1 F0", true},
    {"port_3", "B0 74657374 6F 22", true},
    {"data_holding_fend_and_fesc", "80 C0 DB 01 B2 CC", true},
    {"crc_bytes_swapped", "80 41 F0 A1", false},
    {"one_bit_flipped_in_data", "80 43 A1 F0", false},
    {"crc_missing", "80 41", false},
    {"command_byte_alone", "80", false},
    {"zero_crc_over_nothing", "80 00 00", false},
};

class SmackCrcKnownFrames : public ::testing::TestWithParam<KnownFrame> {};

TEST_P(SmackCrcKnownFrames, ChecksAsExpected) {
  const std::vector<std::uint8_t> frame = Hex(GetParam().unescaped);
  EXPECT_EQ(SmackCrcGood(frame), GetParam().good);
  if (frame.size() > kSmackCrcLength) {
    const std::vector<std::uint8_t> body(frame.begin(), frame.end() - kSmackCrcLength);
    const std::uint16_t sent = static_cast<std::uint16_t>(frame[frame.size() - 2] |
                                                          frame[frame.size() - 1] << 8);
    EXPECT_EQ(SmackCrc(body), LongHandCrc(body));
    EXPECT_EQ(SmackCrc(body) == sent, GetParam().good);
  }
}

INSTANTIATE_TEST_SUITE_P(Frames, SmackCrcKnownFrames, ::testing::ValuesIn(kKnownFrames),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SmackCrcTest, AgreesWithTheLongHandOverEveryByteValue) {
  std::vector<std::uint8_t> bytes;
  for (int b = 0; b < 256; ++b) {
    bytes.push_back(static_cast<std::uint8_t>(b));
    EXPECT_EQ(SmackCrc(bytes), LongHandCrc(bytes)) << b;
  }
}

}  // namespace
}  // namespace vorlink
