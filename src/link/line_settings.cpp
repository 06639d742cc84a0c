#include "link/line_settings.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <vector>

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
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(field[0])));
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

std::optional<LineSettings> ParseLineSettings(std::string_view text) {
  const std::vector<std::string_view> fields = SplitFields(text);
  if (fields.size() != kFieldCount) return std::nullopt;
  const auto baud = ParseNumber(fields[0]);
  const auto parity = ParseParity(fields[1]);
  const auto dataBits = ParseNumber(fields[2]);
  const auto stopBits = ParseStopBits(fields[3]);
  if (!baud || *baud <= 0 || *baud > kMaxBaud) return std::nullopt;
  if (!parity || !stopBits) return std::nullopt;
  if (!dataBits || *dataBits < kMinDataBits || *dataBits > kMaxDataBits) return std::nullopt;
  if (*stopBits == StopBits::OneAndHalf && *dataBits != kMinDataBits) return std::nullopt;
  return LineSettings{*baud, *parity, *dataBits, *stopBits};
}

std::string LineSettingsText(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper;
}

}  // namespace vorlink
