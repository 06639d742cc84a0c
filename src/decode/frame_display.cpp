#include "decode/frame_display.h"

#include "base/utc.h"

namespace vorlink {

void FrameDisplay::ShowFrame(std::span<const std::uint8_t> frame) {
  ShowFrame(frame, UtcNowPrecise(clock_));
}

void FrameDisplay::ShowFrame(std::span<const std::uint8_t> frame, const DateTime& arrival) {
  const int lines = text_.Make(frame, arrival, options_, pane_);
  if (sink_ != nullptr) sink_->OnFrame({frame, arrival, options_, text_.LastLeftovers(), lines});
}

}  // namespace vorlink
