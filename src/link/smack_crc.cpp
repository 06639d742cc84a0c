#include "link/smack_crc.h"

#include <array>

namespace vorlink {
namespace {

constexpr std::uint16_t kReflectedPolynomial = 0xA001;

constexpr std::array<std::uint16_t, 256> MakeTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned i = 0; i < table.size(); ++i) {
    std::uint16_t crc = static_cast<std::uint16_t>(i);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 1) != 0 ? static_cast<std::uint16_t>((crc >> 1) ^ kReflectedPolynomial)
                           : static_cast<std::uint16_t>(crc >> 1);
    }
    table[i] = crc;
  }
  return table;
}

constexpr std::array<std::uint16_t, 256> kTable = MakeTable();

}  // namespace

std::uint16_t SmackCrc(std::span<const std::uint8_t> bytes) {
  std::uint16_t crc = 0;
  for (const std::uint8_t b : bytes) {
    crc = static_cast<std::uint16_t>((crc >> 8) ^ kTable[(crc ^ b) & 0xFF]);
  }
  return crc;
}

bool SmackCrcGood(std::span<const std::uint8_t> frame) {
  // The command byte and the two CRC bytes at least.
  return frame.size() > kSmackCrcLength && SmackCrc(frame) == 0;
}

}  // namespace vorlink
