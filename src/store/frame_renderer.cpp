#include "store/frame_renderer.h"

#include <algorithm>

namespace vorlink {
namespace {

constexpr char kRenderedLineBreak = '\r';

}  // namespace

int FrameRenderer::Render(const StoredFrame& frame, TextPane& pane) {
  text_.RestoreLeftovers(frame.leftovers);
  const DateTime arrival = frame.HasArrival() ? frame.Arrival() : DateTime{};
  return text_.Make(frame.bytes, arrival, frame.options, &pane);
}

void BlockLines::AppendColoredText(std::string_view text, PaneRole colour) {
  while (!text.empty()) {
    const std::size_t end = text.find(kRenderedLineBreak);
    const std::string_view piece = text.substr(0, end);
    if (open_) {
      // Text without a break goes on the line before, in its colour.
      text_ += piece;
      lines_.back().length += piece.size();
    } else {
      lines_.push_back({text_.size(), piece.size(), colour});
      text_ += piece;
    }
    open_ = end == std::string_view::npos;
    if (open_) break;
    text.remove_prefix(end + 1);
  }
}

void BlockLines::Clear() {
  text_.clear();
  lines_.clear();
  open_ = false;
}

BlockLines::Line BlockLines::At(std::size_t k) const {
  const Span& s = lines_[k];
  return {std::string_view(text_).substr(s.offset, s.length), s.colour};
}

}  // namespace vorlink
