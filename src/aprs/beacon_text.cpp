#include "aprs/beacon_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vorlink {
namespace {

constexpr char kNoTimeNoMessaging = '!';
constexpr int kHundredthsPerDegree = 6000;
constexpr int kHundredthsPerMinute = 100;
constexpr double kLatitudeScale = 380926.0;
constexpr double kLongitudeScale = 190463.0;
constexpr int kBase91 = 91;
constexpr char kBase91Zero = '!';
constexpr int kBase91Digits = 4;
constexpr std::int64_t kBase91Most = 91LL * 91 * 91 * 91 - 1;
// c = " ": no course, speed or range; the type byte then says nothing more
// than "current fix, software".
constexpr std::string_view kNoCourseSpeed = "  ";
constexpr char kCompressionType = '!' + 0x20 + 0x02;
constexpr char kFirstSymbolCode = '!';
constexpr char kLastSymbolCode = '~';

bool IsOverlayTable(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool IsBeaconTable(char c) { return c == '/' || c == '\\' || IsOverlayTable(c); }

// A compressed report takes overlay digits as the letters a-j.
char CompressedTable(char table) {
  return table >= '0' && table <= '9' ? static_cast<char>('a' + (table - '0')) : table;
}

void AppendDegrees(std::string& out, double degrees, int degreeDigits, char positive,
                   char negative) {
  const auto hundredths =
      static_cast<std::int64_t>(std::llround(std::fabs(degrees) * kHundredthsPerDegree));
  const std::int64_t whole = hundredths / kHundredthsPerDegree;
  const std::int64_t minutes = hundredths % kHundredthsPerDegree;
  std::string digits = std::to_string(whole);
  out.append(static_cast<std::size_t>(std::max<int>(degreeDigits - static_cast<int>(digits.size()), 0)), '0');
  out += digits;
  const std::int64_t wholeMinutes = minutes / kHundredthsPerMinute;
  const std::int64_t fraction = minutes % kHundredthsPerMinute;
  out += static_cast<char>('0' + wholeMinutes / 10);
  out += static_cast<char>('0' + wholeMinutes % 10);
  out += '.';
  out += static_cast<char>('0' + fraction / 10);
  out += static_cast<char>('0' + fraction % 10);
  out += degrees < 0 ? negative : positive;
}

void AppendBase91(std::string& out, double value) {
  auto n = static_cast<std::int64_t>(std::floor(value));
  n = std::clamp<std::int64_t>(n, 0, kBase91Most);
  char digits[kBase91Digits];
  for (int k = kBase91Digits - 1; k >= 0; --k) {
    digits[k] = static_cast<char>(kBase91Zero + n % kBase91);
    n /= kBase91;
  }
  out.append(digits, kBase91Digits);
}

}  // namespace

std::optional<AprsSymbol> ParseSymbolText(std::string_view text) {
  if (text.size() != 2 || !IsBeaconTable(text[0]) || text[1] < kFirstSymbolCode || text[1] > kLastSymbolCode) {
    return std::nullopt;
  }
  return AprsSymbol{text[0], text[1]};
}

std::string SymbolText(AprsSymbol symbol) { return {symbol.table, symbol.code}; }

std::string BeaconComment(std::string_view typed) {
  std::string comment;
  for (const char c : typed) {
    if (comment.size() == kMaxBeaconComment) break;
    if (c >= ' ' && c < '\x7F' && c != '|' && c != '~') comment += c;
  }
  return comment;
}

std::string PositionField(GeoPoint point, AprsSymbol symbol, bool compressed) {
  const double latitude = std::clamp(point.latitude, -90.0, 90.0);
  const double longitude = std::clamp(point.longitude, -180.0, 180.0);
  std::string field;
  if (compressed) {
    field += CompressedTable(symbol.table);
    AppendBase91(field, kLatitudeScale * (90 - latitude));
    AppendBase91(field, kLongitudeScale * (180 + longitude));
    field += symbol.code;
    field += kNoCourseSpeed;
    field += kCompressionType;
    return field;
  }
  AppendDegrees(field, latitude, 2, 'N', 'S');
  field += symbol.table;
  AppendDegrees(field, longitude, 3, 'E', 'W');
  field += symbol.code;
  return field;
}

std::string BeaconInfo(GeoPoint point, AprsSymbol symbol, std::string_view comment,
                       bool compressed) {
  std::string info(1, kNoTimeNoMessaging);
  info += PositionField(point, symbol, compressed);
  info += BeaconComment(comment);
  return info;
}

}  // namespace vorlink
