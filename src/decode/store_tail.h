// The frames of a store from one frame number on: what one load of the main
// window shows, while the store keeps the frames of the whole run.
#pragma once

#include <algorithm>

#include "decode/frame_store.h"

namespace vorlink {

class StoreTail final : public FrameSequence {
 public:
  StoreTail(const FrameStore& store, FrameIndex from) : store_(store), from_(from) {}

  FrameIndex From() const { return from_; }
  std::uint64_t LineCount() const override {
    return store_.LineCount() - SkippedLines();
  }
  LinePosition LocateLine(std::uint64_t line) const override {
    return store_.LocateLine(line + SkippedLines());
  }
  FrameIndex NextFrame(FrameIndex index) const override { return index + 1; }

 private:
  std::uint64_t SkippedLines() const {
    const FrameIndex start = std::max(from_, store_.FirstIndex());
    return start < store_.EndIndex() ? store_.FirstLineOf(start) : store_.LineCount();
  }

  const FrameStore& store_;
  FrameIndex from_;
};

}  // namespace vorlink
