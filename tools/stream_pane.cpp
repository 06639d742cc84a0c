#include "stream_pane.h"

namespace vorlink {
namespace {

constexpr std::size_t kFlushAt = 64 * 1024;
constexpr std::string_view kReset = "\x1b[0m";

// 16-colour codes, readable on dark and light terminals alike; black text
// would vanish on a dark one, so it keeps the terminal's own colour.
std::string_view AnsiCode(PaneColour colour) {
  switch (colour) {
    case PaneColour::Black: return "\x1b[39m";
    case PaneColour::Grey: return "\x1b[90m";
    case PaneColour::Red: return "\x1b[31m";
    case PaneColour::Blue: return "\x1b[94m";
    case PaneColour::Green: return "\x1b[32m";
    case PaneColour::SystemGreyText: return "\x1b[90m";
  }
  return kReset;
}

}  // namespace

void StreamPane::AppendColoredText(std::string_view text, PaneColour colour) {
  while (!text.empty()) {
    const std::size_t end = text.find('\r');
    const std::string_view piece = text.substr(0, end);
    if (!piece.empty()) {
      if (colour_) buffer_ += AnsiCode(colour);
      buffer_ += piece;
      if (colour_) buffer_ += kReset;
    }
    if (end == std::string_view::npos) break;
    buffer_ += '\n';
    text.remove_prefix(end + 1);
  }
  if (buffer_.size() >= kFlushAt) Flush();
}

void StreamPane::Flush() {
  if (buffer_.empty()) return;
  std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
  buffer_.clear();
}

}  // namespace vorlink
