// Every frame of the run kept as data, to be drawn again on demand: its bytes
// as received, its arrival time, the options in force and the leftovers its
// block read of earlier frames (see frame_text.h). Frames VORLINK sent itself
// are kept too, marked as sent.
//
// Storage comes in chunks: one array of fixed-size records and one byte arena
// per chunk, so appending a frame never touches the heap except to open a
// chunk. A record:
//   arrival     8 bytes  UTC milliseconds since 1970, or kNoArrivalTime
//   byteOffset  4        where its bytes start in the chunk's arena (the
//                        leftovers follow them)
//   lineStart   4        lines of the chunk before its block
//   length      2        bytes as received
//   leftovers   2        offset (its decoded length) and count
//   options     1        the display options, one bit each, and the sent mark
//   sentLines   2        a sent frame's own line count (see below)
//
// Frames are numbered from 0 for the store's whole life; the numbers go on
// across Clear() and dropped chunks, so a number a view holds never names
// another frame. Past the limits the oldest chunk goes whole.
//
// Lines: each block's line count is kept (prefix sums per chunk and of the
// chunks), so a line number of the held text maps to (frame, line of its
// block) by two binary searches. Line numbers count from the first held
// line and so shift when a chunk is dropped; a view anchors on frame numbers.
// A sent frame adds no line to that text, which is the frame pane's and is
// received frames only; its own line count is kept beside it for a filtered
// view that shows it (FilteredFrames).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <span>
#include <string_view>

#include "base/clock.h"
#include "decode/display_options.h"
#include "decode/frame_sink.h"
#include "decode/frame_text.h"

namespace vorlink {

using FrameIndex = std::uint64_t;

inline constexpr std::int64_t kNoArrivalTime = std::numeric_limits<std::int64_t>::min();

std::int64_t ToEpochMilliseconds(const DateTime& utc);
DateTime FromEpochMilliseconds(std::int64_t milliseconds);

struct FrameStoreLimits {
  std::size_t maxFrames = 2'000'000;
  std::size_t maxBytes = std::size_t{1} << 30;  // chunks allocated, all told
  std::size_t framesPerChunk = 8192;
  std::size_t bytesPerChunk = std::size_t{1} << 20;  // at least one largest frame
};

// One held frame; the views stay valid until the store drops or clears it.
struct StoredFrame {
  std::span<const std::uint8_t> bytes;
  std::int64_t arrival = kNoArrivalTime;
  DisplayOptions options;
  Leftovers leftovers;
  int lines = 0;      // in the store's text: 0 for a sent frame
  bool sent = false;  // VORLINK sent it; nobody was heard
  int sentLines = 0;  // a sent frame's block, its marker line included

  // Its lines in a view that shows it.
  int BlockLines() const { return sent ? sentLines : lines; }
  bool HasArrival() const { return arrival != kNoArrivalTime; }
  DateTime Arrival() const { return FromEpochMilliseconds(arrival); }
};

struct LinePosition {
  FrameIndex frame = 0;
  int line = 0;  // within its block
};

// The frames a view shows, in order, with their lines: the whole store, or
// the frames a filter let through.
class FrameSequence {
 public:
  virtual ~FrameSequence() = default;
  virtual std::uint64_t LineCount() const = 0;
  // Only for line < LineCount().
  virtual LinePosition LocateLine(std::uint64_t line) const = 0;
  // The frame after a shown one; a number the store does not hold when none.
  virtual FrameIndex NextFrame(FrameIndex index) const = 0;
  // One-line notes shown before a frame's block, as its lines -count..-1; a
  // sequence may show some before the number past its last frame too.
  virtual int NotesBefore(FrameIndex) const { return 0; }
  // Only for -NotesBefore(index) <= line < 0.
  virtual std::string_view Note(FrameIndex, int) const { return {}; }
};

class FrameStore final : public ArrivedFrameSink, public FrameSequence {
 public:
  explicit FrameStore(FrameStoreLimits limits = {});
  FrameStore(const FrameStore&) = delete;
  FrameStore& operator=(const FrameStore&) = delete;
  ~FrameStore() override;

  // The live path: a frame as the frame display showed it.
  void OnFrame(const ArrivedFrame& frame) override;
  // A frame of more than two bytes (longer ones than the receive buffer
  // takes are cut); leftovers of more than kMaxLeftoverBytes are cut too.
  void Append(std::span<const std::uint8_t> bytes, std::int64_t arrival,
              const DisplayOptions& options, const Leftovers& leftovers, int lines);
  // A frame VORLINK sent, in the form Append takes, and the lines of its
  // block as a view showing sent frames draws it (see sent_frame.h).
  void AppendSent(std::span<const std::uint8_t> bytes, std::int64_t sentAt,
                  const DisplayOptions& options, int blockLines);
  // "Clear Counter": no frame held; numbering goes on.
  void Clear();

  FrameIndex FirstIndex() const { return firstIndex_; }
  FrameIndex EndIndex() const { return nextIndex_; }
  std::size_t Size() const { return static_cast<std::size_t>(nextIndex_ - firstIndex_); }
  bool Holds(FrameIndex index) const { return index >= firstIndex_ && index < nextIndex_; }
  // Only for a held frame.
  StoredFrame Frame(FrameIndex index) const;

  // Lines of all held blocks.
  std::uint64_t LineCount() const override;
  LinePosition LocateLine(std::uint64_t line) const override;
  FrameIndex NextFrame(FrameIndex index) const override { return index + 1; }
  // The first line of a held frame's block.
  std::uint64_t FirstLineOf(FrameIndex index) const;

  // Memory the store has allocated (chunks held and the spare).
  std::size_t BytesHeld() const;
  // Frames dropped at the limits since the start (not those cleared).
  std::uint64_t DroppedFrames() const { return dropped_; }
  const FrameStoreLimits& Limits() const { return limits_; }

 private:
  struct Record;
  struct Chunk;

  std::size_t ChunkBytes() const;
  void MakeRoom(std::size_t bytes);
  void OpenChunk();
  void DropOldestChunk();
  const Chunk& ChunkOf(FrameIndex index) const;
  void Put(std::span<const std::uint8_t> bytes, std::int64_t arrival, std::uint8_t options,
           const Leftovers& leftovers, int lines, int sentLines);

  FrameStoreLimits limits_;
  std::deque<std::unique_ptr<Chunk>> chunks_;
  std::unique_ptr<Chunk> spare_;  // a dropped chunk, opened again next
  FrameIndex firstIndex_ = 0;
  FrameIndex nextIndex_ = 0;
  std::uint64_t firstLine_ = 0;  // absolute, like the frame numbers
  std::uint64_t nextLine_ = 0;
  std::uint64_t dropped_ = 0;
};

// Visits the held frames from `next` on (from the first held one when older
// frames went), at most `most` of them, the sent ones passed over: they
// were not heard; returns the frame to go on from. Lists kept up with the
// store (heard stations, messages) catch up by it.
template <typename Visit>
FrameIndex VisitFramesFrom(const FrameStore& store, FrameIndex next, std::size_t most,
                           Visit&& visit) {
  FrameIndex i = next > store.FirstIndex() ? next : store.FirstIndex();
  const FrameIndex end = store.EndIndex() - i > most ? i + most : store.EndIndex();
  for (; i < end; ++i) {
    const StoredFrame frame = store.Frame(i);
    if (!frame.sent) visit(frame);
  }
  return end;
}

}  // namespace vorlink
