#include "decode/frame_display.h"

#include <string_view>

#include "base/utc.h"

namespace vorlink {
namespace {

constexpr std::string_view kTimestampSeparator = " UTC: ";

}  // namespace

void FrameDisplay::WritePayloadLines() {
  const std::string& hex = text_.HexText();
  if (options_.hexFile && !hex.empty()) {
    captures_.WritePayloadHexLine(std::string_view(hex).substr(0, hex.size() - 1));
  }
  line_.clear();
  if (options_.timeFrames) {
    // Its own clock reading, after the block: the .dump line always had one.
    char stamp[kTimestampLength];
    FormatTimestamp(UtcNowPrecise(clock_), stamp);
    line_.append(stamp, kTimestampLength);
    line_ += kTimestampSeparator;
  }
  line_ += text_.AsciiText();
  captures_.WritePayloadTextLine(line_);
}

void FrameDisplay::ShowFrame(std::span<const std::uint8_t> frame) {
  const DateTime arrival = UtcNowPrecise(clock_);
  const int lines = text_.Make(frame, arrival, options_, pane_);
  if (options_.decode) WritePayloadLines();
  if (sink_ != nullptr) sink_->OnFrame({frame, arrival, options_, text_.LastLeftovers(), lines});
}

}  // namespace vorlink
