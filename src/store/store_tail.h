// The frames of a store from one frame number on: what one load of the main
// window shows, while the store keeps the frames of the whole run. Notes of
// the run, when given, show as one-line blocks at their places between the
// frames; those anchored before the first frame shown are left out.
#pragma once

#include <cstddef>
#include <string_view>

#include "store/frame_notes.h"
#include "store/frame_store.h"

namespace vorlink {

class StoreTail final : public FrameSequence {
 public:
  StoreTail(const FrameStore& store, FrameIndex from, const FrameNotes* notes = nullptr)
      : store_(store), from_(from), notes_(notes) {}

  FrameIndex From() const { return from_; }
  std::uint64_t LineCount() const override;
  LinePosition LocateLine(std::uint64_t line) const override;
  FrameIndex NextFrame(FrameIndex index) const override { return index + 1; }
  int NotesBefore(FrameIndex index) const override;
  std::string_view Note(FrameIndex index, int line) const override;

 private:
  FrameIndex Start() const;
  std::uint64_t SkippedLines() const;
  // Lines of the store's held text before a frame's block (or all of them).
  std::uint64_t StoreLinesBefore(FrameIndex index) const;
  std::size_t FirstNote() const;
  std::size_t NoteCount() const { return notes_ ? notes_->Size() : 0; }

  const FrameStore& store_;
  FrameIndex from_;
  const FrameNotes* notes_;
};

}  // namespace vorlink
