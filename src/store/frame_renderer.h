// Held frames drawn again: the same FrameText as at arrival, with the
// arrival time, options and leftovers the store kept, so the pieces are
// those ShowFrame gave then. A view that paints lines takes them from
// BlockLines, walking a sequence with LineWalker (line_walker.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "decode/display_options.h"
#include "decode/frame_text.h"
#include "decode/text_pane.h"
#include "store/frame_store.h"

namespace vorlink {

// The line that heads a sent frame's block, after its opening empty line.
inline constexpr std::string_view kSentMarker = ">>> sent by VORLINK";

class FrameRenderer {
 public:
  // Appends the frame's block to the pane (a sent frame's with its marker);
  // returns its line count.
  int Render(const StoredFrame& frame, TextPane& pane);

 private:
  FrameText text_;
};

// A pane that keeps what it is given as lines of one colour each (every
// piece of a block is whole lines of one colour). Reuses its storage.
class BlockLines final : public TextPane {
 public:
  struct Line {
    std::string_view text;  // UTF-8, without the line break
    PaneRole colour;
  };

  void AppendColoredText(std::string_view text, PaneRole colour) override;
  void Clear();
  std::size_t Count() const { return lines_.size(); }
  Line At(std::size_t k) const;

 private:
  struct Span {
    std::size_t offset;
    std::size_t length;
    PaneRole colour;
  };
  std::string text_;
  std::vector<Span> lines_;
  bool open_ = false;  // the last line has no break yet
};

}  // namespace vorlink
