#include "base/text.h"

#include <charconv>
#include <iterator>

namespace vorlink {

void AppendHexByte(std::string& out, std::uint8_t value) {
  out += kHexDigits[value >> 4];
  out += kHexDigits[value & 0x0F];
}

void AppendDecimal(std::string& out, long long value) {
  // Most numbers a frame shows (SSIDs, counters of I frames, lengths) are
  // below 100: spare them the general conversion.
  constexpr long long kTwoDigits = 100;
  if (value >= 0 && value < kTwoDigits) {
    if (value >= 10) out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
    return;
  }
  char digits[24];
  const auto result = std::to_chars(std::begin(digits), std::end(digits), value);
  out.append(digits, result.ptr);
}

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = UpperCase(c);
  return upper;
}

}  // namespace vorlink
