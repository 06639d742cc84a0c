#include "decode/aprs_reader.h"

namespace vorlink::aprs {
namespace {

constexpr int kBase91Radix = 91;
// More than this many base-91 digits would overflow a long: no field has them.
constexpr std::size_t kMaxBase91Digits = 8;
constexpr std::size_t kMaxDecimalDigits = 9;

}  // namespace

std::optional<int> Digits(std::string_view text) {
  if (text.empty() || text.size() > kMaxDecimalDigits) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<double> Decimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && text.front() == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  double value = 0;
  double scale = 0;  // 0 before the point, then 0.1, 0.01...
  int digits = 0;
  for (char c : text) {
    if (c == '.' && scale == 0) {
      scale = 1;
      continue;
    }
    if (!IsDigit(c) || ++digits > static_cast<int>(kMaxDecimalDigits)) return std::nullopt;
    if (scale == 0) {
      value = value * 10 + (c - '0');
    } else {
      scale /= 10;
      value += (c - '0') * scale;
    }
  }
  if (digits == 0) return std::nullopt;
  return negative ? -value : value;
}

std::optional<long> Base91(std::string_view text) {
  if (text.empty() || text.size() > kMaxBase91Digits) return std::nullopt;
  long value = 0;
  for (char c : text) {
    if (!IsBase91(c)) return std::nullopt;
    value = value * kBase91Radix + (static_cast<unsigned char>(c) - kBase91First);
  }
  return value;
}

bool NotSent(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c != '.' && c != ' ') return false;
  }
  return true;
}

bool IsTimestamp(std::string_view text) {
  if (text.size() != 7 || !Digits(text.substr(0, 6))) return false;
  return text[6] == 'z' || text[6] == '/' || text[6] == 'h';
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace vorlink::aprs
