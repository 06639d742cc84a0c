#include "stream_pane.h"

namespace vorlink {
namespace {

constexpr std::size_t kFlushAt = 64 * 1024;
constexpr std::string_view kReset = "\x1b[0m";

// 16-colour codes, readable on dark and light terminals alike; black text
// would vanish on a dark one, so it keeps the terminal's own colour.
std::string_view AnsiCode(PaneRole colour) {
  switch (colour) {
    case PaneRole::Plain: return "\x1b[39m";
    case PaneRole::Header: return "\x1b[90m";
    case PaneRole::DecodedDump: return "\x1b[31m";
    case PaneRole::RawDump: return "\x1b[94m";
    case PaneRole::Characters: return "\x1b[32m";
    case PaneRole::Separator: return "\x1b[90m";
    case PaneRole::Title: return "\x1b[94m";
  }
  return kReset;
}

}  // namespace

void StreamPane::AppendColoredText(std::string_view text, PaneRole colour) {
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
