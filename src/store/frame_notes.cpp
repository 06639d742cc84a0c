#include "store/frame_notes.h"

#include <algorithm>
#include <utility>

namespace vorlink {

void FrameNotes::Add(FrameIndex before, std::string text) {
  if (limit_ == 0) return;
  if (!notes_.empty()) before = std::max(before, notes_.back().before);
  if (notes_.size() == limit_) notes_.pop_front();
  notes_.push_back({before, std::move(text)});
}

std::size_t FrameNotes::FirstFrom(FrameIndex frame) const {
  const auto at = std::lower_bound(notes_.begin(), notes_.end(), frame,
                                   [](const Note& n, FrameIndex f) { return n.before < f; });
  return static_cast<std::size_t>(at - notes_.begin());
}

}  // namespace vorlink
