#include "capture/time_frame.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "base/utc.h"

namespace vorlink {
namespace {
constexpr std::string_view kTextPrefix = "asy: ";
constexpr std::string_view kTextSuffix = " UTC";

// Digits of a stamp "yyyy-MM-dd HH:nn:ss.mmm": where each field starts, its width.
struct StampField {
  std::size_t at;
  std::size_t width;
};
constexpr StampField kStampFields[] = {{0, 4}, {5, 2}, {8, 2}, {11, 2}, {14, 2}, {17, 2}, {20, 3}};
constexpr std::string_view kStampPunctuation = "-- ::.";  // after each field but the last

std::optional<int> ReadDigits(std::string_view text) {
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

std::optional<DateTime> ReadTimeFrame(std::span<const std::uint8_t> frame) {
  const std::size_t tail = kTextPrefix.size() + kTimestampLength + kTextSuffix.size() + 1;
  if (frame.size() < 3 + tail || frame[1] != kCommandTime || frame.back() != kFend) {
    return std::nullopt;
  }
  const auto* text = reinterpret_cast<const char*>(frame.data() + frame.size() - tail);
  const std::string_view all(text, tail - 1);
  if (frame[frame.size() - tail - 1] != kTimeFramePid || !all.starts_with(kTextPrefix) ||
      !all.ends_with(kTextSuffix)) {
    return std::nullopt;
  }
  const std::string_view stamp = all.substr(kTextPrefix.size(), kTimestampLength);
  int values[std::size(kStampFields)];
  for (std::size_t i = 0; i < std::size(kStampFields); ++i) {
    const auto v = ReadDigits(stamp.substr(kStampFields[i].at, kStampFields[i].width));
    if (!v) return std::nullopt;
    values[i] = *v;
    const std::size_t after = kStampFields[i].at + kStampFields[i].width;
    if (i < kStampPunctuation.size() && stamp[after] != kStampPunctuation[i]) return std::nullopt;
  }
  const DateTime t{values[0], values[1], values[2], values[3], values[4], values[5], values[6]};
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59 ||
      t.second > 59) {
    return std::nullopt;
  }
  return t;
}

std::span<const std::uint8_t> TimeFrameBuilder::Build(std::span<const std::uint8_t> frame,
                                                      std::string_view timestamp) {
  // Both limits hold for what the deframer hands on; they keep the buffer safe anyway.
  frame = frame.first(std::min(frame.size(), kFrameBufferCapacity));
  timestamp = timestamp.substr(0, kTimestampLength);
  std::size_t out = 0;
  buffer_[out++] = kFend;
  buffer_[out++] = kCommandTime;
  // The byte at offset 2 is always copied, even when it is the closing FEND.
  buffer_[out++] = frame.size() > 2 ? frame[2] : kFend;
  const std::size_t last = frame.size() >= 2 ? frame.size() - 2 : 0;
  for (std::size_t o = 3; o <= last && frame[o] != kTimeFramePid; ++o) {
    buffer_[out++] = frame[o];
  }
  buffer_[out++] = kTimeFramePid;
  auto put = [&](std::string_view text) {
    out = static_cast<std::size_t>(
        std::copy(text.begin(), text.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(out)) -
        buffer_.begin());
  };
  put(kTextPrefix);
  put(timestamp);
  put(kTextSuffix);
  buffer_[out++] = kFend;
  return {buffer_.data(), out};
}

}  // namespace vorlink
