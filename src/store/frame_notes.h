// Lines of the run's own between the frames, such as a link lost and back:
// each is anchored before the frame that arrives after it. They are kept
// beside the store, so the store's frames, their numbers, filters, counts
// and heard list never see them; a sequence that wants them interleaves
// them. Bounded: past the limit the oldest goes.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

#include "store/frame_store.h"

namespace vorlink {

inline constexpr std::size_t kMaxFrameNotes = 10'000;

class FrameNotes {
 public:
  explicit FrameNotes(std::size_t limit = kMaxFrameNotes) : limit_(limit) {}

  // A note before frame `before` (the store's end when it is noted). Anchors
  // never go back: an earlier one is taken as the latest anchor.
  void Add(FrameIndex before, std::string text);
  void Clear() { notes_.clear(); }

  std::size_t Size() const { return notes_.size(); }
  // The first note anchored at or after a frame (Size() when none).
  std::size_t FirstFrom(FrameIndex frame) const;
  FrameIndex AnchorOf(std::size_t k) const { return notes_[k].before; }
  std::string_view TextOf(std::size_t k) const { return notes_[k].text; }

 private:
  struct Note {
    FrameIndex before;
    std::string text;
  };
  std::deque<Note> notes_;
  std::size_t limit_;
};

}  // namespace vorlink
