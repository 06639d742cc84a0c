#include "store/line_walker.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace vorlink {

bool Before(LinePosition a, LinePosition b) {
  return a.frame != b.frame ? a.frame < b.frame : a.line < b.line;
}

bool SameLine(LinePosition a, LinePosition b) { return a.frame == b.frame && a.line == b.line; }

std::uint64_t LineOf(const FrameStore& store, const FrameSequence& sequence, LinePosition at) {
  if (&sequence == &store && store.Holds(at.frame) && at.line >= 0) {
    return store.FirstLineOf(at.frame) + static_cast<std::uint64_t>(at.line);
  }
  std::uint64_t low = 0;
  std::uint64_t high = sequence.LineCount();
  while (low < high) {
    const std::uint64_t mid = low + (high - low) / 2;
    if (Before(sequence.LocateLine(mid), at)) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return low;
}

void LineWalker::Load(FrameIndex frame) {
  frame_ = frame;
  notes_ = sequence_.NotesBefore(frame);
  block_.Clear();
  if (store_.Holds(frame)) renderer_.Render(store_.Frame(frame), block_);
}

bool LineWalker::SeekLine(std::uint64_t line) {
  if (line >= sequence_.LineCount()) return false;
  const LinePosition at = sequence_.LocateLine(line);
  Load(at.frame);
  if (notes_ == 0 && BlockCount() == 0) return false;
  line_ = std::clamp(at.line, -notes_, std::max(BlockCount() - 1, -1));
  number_ = line;
  return true;
}

bool LineWalker::Seek(LinePosition at) { return SeekLine(LineOf(store_, sequence_, at)); }

bool LineWalker::Next() {
  if (number_ + 1 >= sequence_.LineCount()) return false;
  if (line_ + 1 < BlockCount()) {
    ++line_;
  } else {
    const FrameIndex before = frame_;
    const int line = line_;
    Load(sequence_.NextFrame(frame_));
    if (notes_ == 0 && BlockCount() == 0) {
      // Lines counted but none to show: stay where the walk was.
      Load(before);
      line_ = line;
      return false;
    }
    line_ = -notes_;
  }
  ++number_;
  return true;
}

bool LineWalker::Previous() {
  if (number_ == 0) return false;
  if (line_ > -notes_) {
    --line_;
    --number_;
    return true;
  }
  return SeekLine(number_ - 1);
}

BlockLines::Line LineWalker::Line() const {
  if (line_ < 0) return {sequence_.Note(frame_, line_), PaneRole::Separator};
  return block_.At(static_cast<std::size_t>(line_));
}

LineScan::LineScan(const FrameStore& store, const FrameSequence& sequence, LinePosition from,
                   bool forward, std::optional<LinePosition> last)
    : store_(store), walker_(store, sequence), next_(from), forward_(forward), last_(last) {}

bool LineScan::Finish() {
  done_ = true;
  return false;
}

bool LineScan::PastLast(LinePosition at) const {
  if (!last_) return false;
  return forward_ ? Before(*last_, at) : Before(at, *last_);
}

bool LineScan::Run(std::size_t lines, const Visit& visit) {
  if (done_) return false;
  if (!placed_ || store_.FirstIndex() != firstHeld_) {
    // Backwards, a dropped frame has nothing held before it.
    if (!forward_ && next_.frame < store_.FirstIndex()) return Finish();
    if (!walker_.Seek(next_)) return Finish();
    placed_ = true;
    firstHeld_ = store_.FirstIndex();
  }
  for (std::size_t n = 0; n < lines; ++n) {
    const LinePosition at = walker_.Position();
    if (PastLast(at)) return Finish();
    ++visited_;
    if (!visit(at, walker_.Line())) return Finish();
    if (!(forward_ ? walker_.Next() : walker_.Previous())) return Finish();
    next_ = walker_.Position();
  }
  return true;
}

TextFind::TextFind(const FrameStore& store, const FrameSequence& sequence, TextPosition caret,
                   bool forward, int textLength, LineMatch match)
    : store_(store),
      sequence_(sequence),
      caret_(caret),
      forward_(forward),
      textLength_(textLength),
      match_(std::move(match)) {
  scan_.emplace(store_, sequence_, LineOfText(caret_), forward_);
}

bool TextFind::Look(LinePosition at, std::string_view line) {
  const bool caretLine = !roundAgain_ && SameLine(at, LineOfText(caret_));
  int from = forward_ ? 0 : INT_MAX;
  if (caretLine) {
    // Backwards, a match ends at the caret at the latest.
    from = forward_ ? caret_.column : caret_.column - textLength_;
    if (from < 0) return true;
  }
  const int column = match_(line, from, forward_);
  if (column < 0) return true;
  found_ = TextPosition{at.frame, at.line, column};
  return false;
}

bool TextFind::Run(std::size_t lines) {
  if (!scan_) return false;
  const std::uint64_t before = scan_->Visited();
  const bool more = scan_->Run(lines, [this](LinePosition at, const BlockLines::Line& line) {
    return Look(at, line.text);
  });
  visited_ += scan_->Visited() - before;
  if (more) return true;
  const std::uint64_t count = sequence_.LineCount();
  if (found_ || roundAgain_ || count == 0) {
    scan_.reset();
    return false;
  }
  // Round again from the other end, up to the caret's line.
  roundAgain_ = true;
  scan_.emplace(store_, sequence_, sequence_.LocateLine(forward_ ? 0 : count - 1), forward_,
                LineOfText(caret_));
  return true;
}

}  // namespace vorlink
