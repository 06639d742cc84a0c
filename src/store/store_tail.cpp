#include "store/store_tail.h"

#include <algorithm>

namespace vorlink {

FrameIndex StoreTail::Start() const { return std::max(from_, store_.FirstIndex()); }

std::uint64_t StoreTail::StoreLinesBefore(FrameIndex index) const {
  return index < store_.EndIndex() ? store_.FirstLineOf(index) : store_.LineCount();
}

std::uint64_t StoreTail::SkippedLines() const { return StoreLinesBefore(Start()); }

std::size_t StoreTail::FirstNote() const { return notes_ ? notes_->FirstFrom(Start()) : 0; }

std::uint64_t StoreTail::LineCount() const {
  return store_.LineCount() - SkippedLines() + (NoteCount() - FirstNote());
}

LinePosition StoreTail::LocateLine(std::uint64_t line) const {
  const std::uint64_t skipped = SkippedLines();
  const std::size_t first = FirstNote();
  // A note's line: the store's lines before its anchor and the notes before it.
  const auto noteLine = [&](std::size_t k) {
    return StoreLinesBefore(notes_->AnchorOf(k)) - skipped + (k - first);
  };
  std::size_t low = first;
  std::size_t high = NoteCount();
  while (low < high) {
    const std::size_t mid = low + (high - low) / 2;
    if (noteLine(mid) < line) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  if (low < NoteCount() && noteLine(low) == line) {
    const FrameIndex anchor = notes_->AnchorOf(low);
    return {anchor, static_cast<int>(low) - static_cast<int>(notes_->FirstFrom(anchor + 1))};
  }
  return store_.LocateLine(line - (low - first) + skipped);
}

int StoreTail::NotesBefore(FrameIndex index) const {
  if (notes_ == nullptr || index < Start()) return 0;
  return static_cast<int>(notes_->FirstFrom(index + 1) - notes_->FirstFrom(index));
}

std::string_view StoreTail::Note(FrameIndex index, int line) const {
  const auto k = static_cast<std::ptrdiff_t>(notes_->FirstFrom(index + 1)) + line;
  return notes_->TextOf(static_cast<std::size_t>(k));
}

}  // namespace vorlink
