#include "base/text.h"

#include <charconv>
#include <iterator>

namespace vorlink {

void AppendHexByte(std::string& out, std::uint8_t value) {
  out += kHexDigits[value >> 4];
  out += kHexDigits[value & 0x0F];
}

void AppendDecimal(std::string& out, long long value) {
  // Nearly every number a frame shows (lengths, control bytes, SSIDs, dump
  // line numbers) is below 1000: spare them the general conversion.
  constexpr long long kThreeDigits = 1000;
  if (value >= 0 && value < kThreeDigits) {
    const auto digit = [](long long d) { return static_cast<char>('0' + d); };
    if (value >= 100) out += digit(value / 100);
    if (value >= 10) out += digit(value / 10 % 10);
    out += digit(value % 10);
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

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace vorlink
