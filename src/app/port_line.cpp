#include "app/port_line.h"

#include <array>
#include <cmath>
#include <variant>

#include "base/text.h"
#include "link/line_settings.h"

namespace vorlink {
namespace {

// Only the first two characters hold the port number.
constexpr std::size_t kPortDigits = 2;
// The settings start at the fourth character, after the comma.
constexpr std::size_t kSettingsStart = 3;
constexpr char kSeparator = ',';

constexpr std::array<std::string_view, 6> kFieldWords{
    "port number", "baud rate", "parity", "data bits", "stop bits", "extra text",
};

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

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The port number in front of the first comma, when it is one or two digits.
std::optional<std::int16_t> PortField(std::string_view line) {
  const std::string_view field = TrimBlanks(line.substr(0, line.find(kSeparator)));
  if (field.empty() || field.size() > kPortDigits) return std::nullopt;
  std::int16_t port = 0;
  for (char c : field) {
    if (!IsDigit(c)) return std::nullopt;
    port = static_cast<std::int16_t>(port * 10 + (c - '0'));
  }
  return port;
}

// The settings after the first comma; empty when there is none.
std::string_view SettingsField(std::string_view line) {
  const std::size_t comma = line.find(kSeparator);
  return comma == std::string_view::npos ? std::string_view() : line.substr(comma + 1);
}

PortLineField ToPortLineField(LineSettingsField field) {
  switch (field) {
    case LineSettingsField::kBaudRate: return PortLineField::kBaudRate;
    case LineSettingsField::kParity: return PortLineField::kParity;
    case LineSettingsField::kDataBits: return PortLineField::kDataBits;
    case LineSettingsField::kStopBits: return PortLineField::kStopBits;
    case LineSettingsField::kExtra: break;
  }
  return PortLineField::kExtra;
}

}  // namespace

PortLineParts SplitPortLine(std::string_view line) {
  PortLineParts parts;
  if (const auto port = PortField(line)) {
    parts.port = *port;
    parts.settings = UpperCase(SettingsField(line));
    return parts;
  }
  // Halves go to the even neighbour: ".5" gives 0, "1.5" cannot occur in two characters.
  parts.port = static_cast<std::int16_t>(std::nearbyint(LeadingNumber(line.substr(0, kPortDigits))));
  if (line.size() > kSettingsStart) parts.settings = UpperCase(line.substr(kSettingsStart));
  return parts;
}

std::optional<PortLineFault> FindPortLineFault(std::string_view line) {
  if (line.empty()) return std::nullopt;
  if (!PortField(line)) {
    const std::string_view field = line.substr(0, line.find(kSeparator));
    return PortLineFault{PortLineField::kPortNumber, std::string(field), TrimBlanks(field).empty()};
  }
  const auto read = ReadLineSettings(SettingsField(line));
  const auto* fault = std::get_if<LineSettingsFault>(&read);
  if (fault == nullptr) return std::nullopt;
  return PortLineFault{ToPortLineField(fault->field), fault->text, fault->missing};
}

std::string DescribePortLineFault(const PortLineFault& fault) {
  const std::string word(kFieldWords[static_cast<std::size_t>(fault.field)]);
  if (fault.missing) return word + " missing";
  return word + " " + fault.text + " not understood";
}

}  // namespace vorlink
