#include "store/frame_renderer.h"

#include <algorithm>

namespace vorlink {
namespace {

constexpr char kRenderedLineBreak = '\r';

// Passes a block on, with the sent marker after the empty line it opens with,
// so the marker heads the frame it belongs to.
class SentMarking final : public TextPane {
 public:
  explicit SentMarking(TextPane& pane) : pane_(pane) {}
  void AppendColoredText(std::string_view text, PaneRole colour) override {
    const std::size_t end = marked_ ? std::string_view::npos : text.find(kRenderedLineBreak);
    if (end == std::string_view::npos) {
      pane_.AppendColoredText(text, colour);
      return;
    }
    pane_.AppendColoredText(text.substr(0, end + 1), colour);
    pane_.AppendColoredText(kSentMarker, PaneRole::Title);
    pane_.AppendColoredText("\r", PaneRole::Title);
    marked_ = true;
    if (end + 1 < text.size()) pane_.AppendColoredText(text.substr(end + 1), colour);
  }

 private:
  TextPane& pane_;
  bool marked_ = false;
};

}  // namespace

int FrameRenderer::Render(const StoredFrame& frame, TextPane& pane) {
  text_.RestoreLeftovers(frame.leftovers);
  const DateTime arrival = frame.HasArrival() ? frame.Arrival() : DateTime{};
  if (!frame.sent) return text_.Make(frame.bytes, arrival, frame.options, &pane);
  SentMarking marking(pane);
  return text_.Make(frame.bytes, arrival, frame.options, &marking) + 1;
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
