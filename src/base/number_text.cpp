#include "base/number_text.h"

#include <cstddef>

namespace vorlink {
namespace {

// Nine digits always fit an int.
constexpr std::size_t kMaxDecimalDigits = 9;

}  // namespace

std::optional<int> Digits(std::string_view text) {
  if (text.empty() || text.size() > kMaxDecimalDigits) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if ((c < '0' || c > '9')) return std::nullopt;
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
    if ((c < '0' || c > '9') || ++digits > static_cast<int>(kMaxDecimalDigits)) return std::nullopt;
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

}  // namespace vorlink
