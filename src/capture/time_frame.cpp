#include "capture/time_frame.h"

#include <algorithm>

#include "base/utc.h"

namespace vorlink {
namespace {
constexpr std::string_view kTextPrefix = "asy: ";
constexpr std::string_view kTextSuffix = " UTC";
}  // namespace

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
