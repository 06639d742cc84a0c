// The lines a frame sequence shows, walked one at a time in either
// direction: the notes before a block (its lines below 0), then the block's
// own lines. Each block is rendered once when the walk comes to it. The pane
// paints with it; Find and Copy run it in slices (LineScan), going on where
// they stopped even when frames arrived or old chunks went meanwhile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "store/frame_renderer.h"
#include "store/frame_store.h"

namespace vorlink {

struct TextPosition {
  FrameIndex frame = 0;
  int line = 0;  // within its block
  int column = 0;

  auto operator<=>(const TextPosition&) const = default;
};

inline LinePosition LineOfText(const TextPosition& p) { return {p.frame, p.line}; }
bool Before(LinePosition a, LinePosition b);
bool SameLine(LinePosition a, LinePosition b);

// The line number of a position, or of the first line after it when its
// frame is gone (LineCount() when none follows).
std::uint64_t LineOf(const FrameStore& store, const FrameSequence& sequence, LinePosition at);

class LineWalker {
 public:
  LineWalker(const FrameStore& store, const FrameSequence& sequence)
      : store_(store), sequence_(sequence) {}

  // False when no line is shown there (nor after it, for Seek).
  bool Seek(LinePosition at);
  bool SeekLine(std::uint64_t line);
  // False at the end (or start): the walker stays on its line.
  bool Next();
  bool Previous();

  LinePosition Position() const { return {frame_, line_}; }
  std::uint64_t LineNumber() const { return number_; }
  BlockLines::Line Line() const;

 private:
  void Load(FrameIndex frame);
  int BlockCount() const { return static_cast<int>(block_.Count()); }

  const FrameStore& store_;
  const FrameSequence& sequence_;
  FrameRenderer renderer_;
  BlockLines block_;
  FrameIndex frame_ = 0;
  int notes_ = 0;
  int line_ = 0;
  std::uint64_t number_ = 0;
};

// A walk from a line on, forward or backward, up to an optional last line,
// that a window runs a number of lines at a time.
class LineScan {
 public:
  // Visits one line; false stops the scan.
  using Visit = std::function<bool(LinePosition, const BlockLines::Line&)>;

  LineScan(const FrameStore& store, const FrameSequence& sequence, LinePosition from,
           bool forward, std::optional<LinePosition> last = std::nullopt);

  // Visits up to `lines` lines; true while some are left.
  bool Run(std::size_t lines, const Visit& visit);
  bool Done() const { return done_; }
  std::uint64_t Visited() const { return visited_; }

 private:
  bool Finish();
  bool PastLast(LinePosition at) const;

  const FrameStore& store_;
  LineWalker walker_;
  LinePosition next_;
  bool forward_;
  std::optional<LinePosition> last_;
  bool placed_ = false;
  FrameIndex firstHeld_ = 0;  // when the walker was placed: line numbers hold while it stays
  bool done_ = false;
  std::uint64_t visited_ = 0;
};

// Where a text occurs in a line: forward, the first start at or after
// `from`; backward, the last start at or before it. -1 when nowhere. Columns
// are the caller's units (the window counts UTF-16 units).
using LineMatch = std::function<int(std::string_view line, int from, bool forward)>;

// The next (or previous) occurrence after the caret, round from the other
// end up to the caret's line when none is left.
class TextFind {
 public:
  TextFind(const FrameStore& store, const FrameSequence& sequence, TextPosition caret,
           bool forward, int textLength, LineMatch match);

  // Looks at up to `lines` lines; true while it goes on.
  bool Run(std::size_t lines);
  const std::optional<TextPosition>& Found() const { return found_; }
  std::uint64_t Visited() const { return visited_; }

 private:
  bool Look(LinePosition at, std::string_view line);

  const FrameStore& store_;
  const FrameSequence& sequence_;
  TextPosition caret_;
  bool forward_;
  int textLength_;
  LineMatch match_;
  std::optional<LineScan> scan_;
  bool roundAgain_ = false;
  std::optional<TextPosition> found_;
  std::uint64_t visited_ = 0;
};

}  // namespace vorlink
