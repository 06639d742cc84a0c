#include "base/text.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace vorlink {

void AppendHexByte(std::string& out, std::uint8_t value) {
  out += kHexDigits[value >> 4];
  out += kHexDigits[value & 0x0F];
}

void AppendLongDecimal(std::string& out, long long value) {
  char digits[24];
  const auto result = std::to_chars(std::begin(digits), std::end(digits), value);
  out.append(digits, result.ptr);
}

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = UpperCase(c);
  return upper;
}

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return UpperCase(x) == UpperCase(y); });
}

void AppendDisplayText(std::string& out, std::string_view bytes) {
  constexpr unsigned char kFirstShown = 0x20;
  constexpr unsigned char kDelete = 0x7F;
  constexpr unsigned char kFirstHigh = 0x80;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < kFirstShown || b == kDelete) {
      out += '.';
    } else if (b < kFirstHigh) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
}

std::string DisplayText(std::string_view bytes) {
  std::string text;
  AppendDisplayText(text, bytes);
  return text;
}

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace vorlink
