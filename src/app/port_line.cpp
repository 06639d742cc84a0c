#include "app/port_line.h"

#include <cmath>

namespace vorlink {
namespace {

// Only the first two characters hold the port number.
constexpr std::size_t kPortDigits = 2;
// The settings start at the fourth character, after the comma.
constexpr std::size_t kSettingsStart = 3;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of the leading number of text, 0 when there is none: an optional
// sign, digits and an optional decimal fraction, blanks anywhere skipped.
double LeadingNumber(std::string_view text) {
  double value = 0.0;
  double sign = 1.0;
  double scale = 0.0;  // 0 before the decimal point, then 0.1, 0.01, ...
  bool signAllowed = true;
  for (char c : text) {
    if (IsBlank(c)) continue;
    if (signAllowed && (c == '+' || c == '-')) {
      sign = (c == '-') ? -1.0 : 1.0;
    } else if (IsDigit(c)) {
      if (scale == 0.0) {
        value = value * 10.0 + (c - '0');
      } else {
        value += (c - '0') * scale;
        scale /= 10.0;
      }
    } else if (c == '.' && scale == 0.0) {
      scale = 0.1;
    } else {
      break;
    }
    signAllowed = false;
  }
  return sign * value;
}

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

}  // namespace

PortLineParts SplitPortLine(std::string_view line) {
  PortLineParts parts;
  // Halves go to the even neighbour: ".5" gives 0, "1.5" cannot occur in two characters.
  parts.port = static_cast<std::int16_t>(std::nearbyint(LeadingNumber(line.substr(0, kPortDigits))));
  if (line.size() > kSettingsStart) parts.settings = UpperCase(line.substr(kSettingsStart));
  return parts;
}

}  // namespace vorlink
