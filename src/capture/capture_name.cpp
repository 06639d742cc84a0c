#include "capture/capture_name.h"

#include <algorithm>

namespace vorlink {
namespace {

constexpr std::size_t kStampLength = 13;  // ddmmyyyy_hhmm
constexpr std::size_t kUnderscoreAt = 8;

void PutTwo(std::string& out, int value) {
  out += static_cast<char>('0' + value / 10 % 10);
  out += static_cast<char>('0' + value % 10);
}

bool IsDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string CaptureStamp(const DateTime& utc) {
  std::string stamp;
  PutTwo(stamp, utc.day);
  PutTwo(stamp, utc.month);
  PutTwo(stamp, utc.year / 100);
  PutTwo(stamp, utc.year % 100);
  stamp += '_';
  PutTwo(stamp, utc.hour);
  PutTwo(stamp, utc.minute);
  return stamp;
}

bool IsCaptureFileName(std::string_view name) {
  if (name.size() <= kStampLength) return false;
  const std::string_view stamp = name.substr(0, kStampLength);
  const std::string_view extension = name.substr(kStampLength);
  return IsDigits(stamp.substr(0, kUnderscoreAt)) && stamp[kUnderscoreAt] == '_' &&
         IsDigits(stamp.substr(kUnderscoreAt + 1)) &&
         std::find(kCaptureExtensions.begin(), kCaptureExtensions.end(), extension) !=
             kCaptureExtensions.end();
}

}  // namespace vorlink
