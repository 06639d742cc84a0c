#include "link/line_settings.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <vector>

#include "base/text.h"

namespace vorlink {
namespace {

constexpr char kSeparator = ',';
constexpr std::size_t kFieldCount = 4;
constexpr int kMinDataBits = 5;
constexpr int kMaxDataBits = 8;

struct ParityLetter {
  char letter;
  Parity parity;
};

constexpr std::array<ParityLetter, 5> kParityLetters{{
    {'N', Parity::None},
    {'E', Parity::Even},
    {'O', Parity::Odd},
    {'M', Parity::Mark},
    {'S', Parity::Space},
}};

struct StopBitsText {
  std::string_view text;
  StopBits stopBits;
};

constexpr std::array<StopBitsText, 3> kStopBitsTexts{{
    {"1", StopBits::One},
    {"1.5", StopBits::OneAndHalf},
    {"2", StopBits::Two},
}};

std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(kSeparator, start);
    if (comma == std::string_view::npos) {
      fields.push_back(text.substr(start));
      return fields;
    }
    fields.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
}

// Digits only: no sign, no blanks, nothing after the number.
std::optional<int> ParseNumber(std::string_view field) {
  if (field.empty() || !std::all_of(field.begin(), field.end(),
                                    [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  int value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (error != std::errc() || end != field.data() + field.size()) return std::nullopt;
  return value;
}

std::optional<Parity> ParseParity(std::string_view field) {
  if (field.size() != 1) return std::nullopt;
  const char letter = UpperCase(field[0]);
  for (const auto& entry : kParityLetters) {
    if (entry.letter == letter) return entry.parity;
  }
  return std::nullopt;
}

std::optional<StopBits> ParseStopBits(std::string_view field) {
  for (const auto& entry : kStopBitsTexts) {
    if (entry.text == field) return entry.stopBits;
  }
  return std::nullopt;
}

}  // namespace

std::variant<LineSettings, LineSettingsFault> ReadLineSettings(std::string_view text) {
  const std::vector<std::string_view> fields = SplitFields(text);
  const auto fault = [&](LineSettingsField field) {
    const auto index = static_cast<std::size_t>(field);
    if (index >= fields.size()) return LineSettingsFault{field, "", true};
    return LineSettingsFault{field, std::string(fields[index]), false};
  };
  // An empty text has one empty field: the baud rate is missing, not wrong.
  if (text.empty()) return LineSettingsFault{LineSettingsField::kBaudRate, "", true};
  const auto baud = ParseNumber(fields[0]);
  if (!baud || *baud <= 0 || *baud > kMaxBaud) return fault(LineSettingsField::kBaudRate);
  const auto parity = fields.size() > 1 ? ParseParity(fields[1]) : std::nullopt;
  if (!parity) return fault(LineSettingsField::kParity);
  const auto dataBits = fields.size() > 2 ? ParseNumber(fields[2]) : std::nullopt;
  if (!dataBits || *dataBits < kMinDataBits || *dataBits > kMaxDataBits) {
    return fault(LineSettingsField::kDataBits);
  }
  const auto stopBits = fields.size() > 3 ? ParseStopBits(fields[3]) : std::nullopt;
  if (!stopBits || (*stopBits == StopBits::OneAndHalf && *dataBits != kMinDataBits)) {
    return fault(LineSettingsField::kStopBits);
  }
  if (fields.size() > kFieldCount) {
    // Everything from the comma after the stop bits on, so that a lone
    // trailing comma still shows.
    const std::size_t extraStart =
        fields[0].size() + fields[1].size() + fields[2].size() + fields[3].size() + kFieldCount - 1;
    return LineSettingsFault{LineSettingsField::kExtra, std::string(text.substr(extraStart)), false};
  }
  return LineSettings{*baud, *parity, *dataBits, *stopBits};
}

std::optional<LineSettings> ParseLineSettings(std::string_view text) {
  const auto read = ReadLineSettings(text);
  if (const auto* settings = std::get_if<LineSettings>(&read)) return *settings;
  return std::nullopt;
}

std::string LineSettingsText(std::string_view text) { return UpperCase(text); }

}  // namespace vorlink
