#include "store/frame_store.h"

#include <algorithm>
#include <cstring>

#include "base/utc.h"
#include "link/kiss.h"

namespace vorlink {
namespace {

constexpr std::int64_t kMillisecondsPerSecond = 1000;

// The display options as stored, one bit each.
constexpr std::uint8_t kTimeStampBit = 0x01;
constexpr std::uint8_t kTimeFramesBit = 0x02;
constexpr std::uint8_t kDecodeBit = 0x04;
constexpr std::uint8_t kHexFileBit = 0x08;
constexpr std::uint8_t kSentBit = 0x10;
constexpr int kMostSentLines = 0xFFFF;

std::uint8_t PackOptions(const DisplayOptions& o) {
  return static_cast<std::uint8_t>((o.timeStamp ? kTimeStampBit : 0) |
                                   (o.timeFrames ? kTimeFramesBit : 0) |
                                   (o.decode ? kDecodeBit : 0) | (o.hexFile ? kHexFileBit : 0));
}

DisplayOptions UnpackOptions(std::uint8_t bits) {
  DisplayOptions o;
  o.timeStamp = (bits & kTimeStampBit) != 0;
  o.timeFrames = (bits & kTimeFramesBit) != 0;
  o.decode = (bits & kDecodeBit) != 0;
  o.hexFile = (bits & kHexFileBit) != 0;
  return o;
}

// The largest frame and its leftovers: a chunk must take it whole.
constexpr std::size_t kLargestEntry = kFrameBufferCapacity + kMaxLeftoverBytes;

}  // namespace

std::int64_t ToEpochMilliseconds(const DateTime& utc) {
  return ToEpochSeconds(utc) * kMillisecondsPerSecond + utc.millisecond;
}

DateTime FromEpochMilliseconds(std::int64_t milliseconds) {
  std::int64_t seconds = milliseconds / kMillisecondsPerSecond;
  std::int64_t rest = milliseconds % kMillisecondsPerSecond;
  if (rest < 0) {
    rest += kMillisecondsPerSecond;
    --seconds;
  }
  DateTime t = FromEpochSeconds(seconds);
  t.millisecond = static_cast<int>(rest);
  return t;
}

struct FrameStore::Record {
  std::int64_t arrival;
  std::uint32_t byteOffset;
  std::uint32_t lineStart;
  std::uint16_t length;
  std::uint8_t leftoverOffset;
  std::uint8_t leftoverLength;
  std::uint8_t options;
  std::uint16_t sentLines;
};

struct FrameStore::Chunk {
  Chunk(std::size_t frames, std::size_t bytes)
      : records(std::make_unique_for_overwrite<Record[]>(frames)),
        arena(std::make_unique_for_overwrite<std::uint8_t[]>(bytes)) {}

  void Reset(FrameIndex first, std::uint64_t line) {
    firstIndex = first;
    firstLine = line;
    count = 0;
    used = 0;
    lines = 0;
  }
  int LinesOf(std::size_t k) const {
    const std::uint32_t end = k + 1 < count ? records[k + 1].lineStart : lines;
    return static_cast<int>(end - records[k].lineStart);
  }

  std::unique_ptr<Record[]> records;
  std::unique_ptr<std::uint8_t[]> arena;
  FrameIndex firstIndex = 0;
  std::uint64_t firstLine = 0;
  std::size_t count = 0;
  std::size_t used = 0;
  std::uint32_t lines = 0;
};

FrameStore::FrameStore(FrameStoreLimits limits) : limits_(limits) {
  limits_.maxFrames = std::max<std::size_t>(limits_.maxFrames, 1);
  limits_.framesPerChunk = std::clamp<std::size_t>(limits_.framesPerChunk, 1, limits_.maxFrames);
  limits_.bytesPerChunk = std::max(limits_.bytesPerChunk, kLargestEntry);
}

FrameStore::~FrameStore() = default;

std::size_t FrameStore::ChunkBytes() const {
  return limits_.framesPerChunk * sizeof(Record) + limits_.bytesPerChunk;
}

std::size_t FrameStore::BytesHeld() const {
  return (chunks_.size() + (spare_ ? 1 : 0)) * ChunkBytes();
}

void FrameStore::OnFrame(const ArrivedFrame& frame) {
  Append(frame.bytes, ToEpochMilliseconds(frame.arrival), frame.options, frame.leftovers,
         frame.lines);
}

void FrameStore::OpenChunk() {
  std::unique_ptr<Chunk> chunk = std::move(spare_);
  if (!chunk) chunk = std::make_unique<Chunk>(limits_.framesPerChunk, limits_.bytesPerChunk);
  chunk->Reset(nextIndex_, nextLine_);
  chunks_.push_back(std::move(chunk));
}

void FrameStore::DropOldestChunk() {
  std::unique_ptr<Chunk> oldest = std::move(chunks_.front());
  chunks_.pop_front();
  dropped_ += oldest->count;
  firstIndex_ = chunks_.empty() ? nextIndex_ : chunks_.front()->firstIndex;
  firstLine_ = chunks_.empty() ? nextLine_ : chunks_.front()->firstLine;
  spare_ = std::move(oldest);
}

void FrameStore::MakeRoom(std::size_t bytes) {
  const bool full = chunks_.empty() || chunks_.back()->count == limits_.framesPerChunk ||
                    chunks_.back()->used + bytes > limits_.bytesPerChunk;
  if (full) {
    // The oldest goes first, so that its memory serves the new chunk.
    const std::size_t maxChunks = std::max<std::size_t>(limits_.maxBytes / ChunkBytes(), 1);
    while (!chunks_.empty() && chunks_.size() + 1 > maxChunks) DropOldestChunk();
    OpenChunk();
  }
  while (chunks_.size() > 1 && Size() >= limits_.maxFrames) DropOldestChunk();
}

void FrameStore::Append(std::span<const std::uint8_t> bytes, std::int64_t arrival,
                        const DisplayOptions& options, const Leftovers& leftovers, int lines) {
  Put(bytes, arrival, PackOptions(options), leftovers, lines, 0);
}

void FrameStore::AppendSent(std::span<const std::uint8_t> bytes, std::int64_t sentAt,
                            const DisplayOptions& options, int blockLines) {
  Put(bytes, sentAt, PackOptions(options) | kSentBit, Leftovers{}, 0, blockLines);
}

void FrameStore::Put(std::span<const std::uint8_t> bytes, std::int64_t arrival,
                     std::uint8_t options, const Leftovers& leftovers, int lines, int sentLines) {
  bytes = bytes.first(std::min(bytes.size(), kFrameBufferCapacity));
  const auto leftoverBytes = leftovers.bytes.first(
      std::min<std::size_t>(leftovers.bytes.size(), static_cast<std::size_t>(kMaxLeftoverBytes)));
  static_assert(sizeof(Record) == 24, "the record layout in frame_store.h");
  MakeRoom(bytes.size() + leftoverBytes.size());
  Chunk& chunk = *chunks_.back();
  Record& r = chunk.records[chunk.count];
  r.arrival = arrival;
  r.byteOffset = static_cast<std::uint32_t>(chunk.used);
  r.lineStart = chunk.lines;
  r.length = static_cast<std::uint16_t>(bytes.size());
  r.leftoverOffset = static_cast<std::uint8_t>(std::clamp(leftovers.offset, 0, kMaxHeaderOffset));
  r.leftoverLength = static_cast<std::uint8_t>(leftoverBytes.size());
  r.options = options;
  r.sentLines = static_cast<std::uint16_t>(std::clamp(sentLines, 0, kMostSentLines));
  std::memcpy(chunk.arena.get() + chunk.used, bytes.data(), bytes.size());
  chunk.used += bytes.size();
  if (!leftoverBytes.empty()) {
    std::memcpy(chunk.arena.get() + chunk.used, leftoverBytes.data(), leftoverBytes.size());
    chunk.used += leftoverBytes.size();
  }
  const auto blockLines = static_cast<std::uint32_t>(std::max(lines, 0));
  chunk.lines += blockLines;
  ++chunk.count;
  ++nextIndex_;
  nextLine_ += blockLines;
}

void FrameStore::Clear() {
  const std::uint64_t dropped = dropped_;  // cleared frames were not dropped
  while (!chunks_.empty()) DropOldestChunk();
  dropped_ = dropped;
}

const FrameStore::Chunk& FrameStore::ChunkOf(FrameIndex index) const {
  const auto it = std::upper_bound(
      chunks_.begin(), chunks_.end(), index,
      [](FrameIndex i, const std::unique_ptr<Chunk>& c) { return i < c->firstIndex; });
  return **(it - 1);
}

StoredFrame FrameStore::Frame(FrameIndex index) const {
  const Chunk& chunk = ChunkOf(index);
  const auto k = static_cast<std::size_t>(index - chunk.firstIndex);
  const Record& r = chunk.records[k];
  const std::uint8_t* at = chunk.arena.get() + r.byteOffset;
  StoredFrame f;
  f.bytes = {at, r.length};
  f.arrival = r.arrival;
  f.options = UnpackOptions(r.options);
  f.leftovers = {r.leftoverOffset, {at + r.length, r.leftoverLength}};
  f.lines = chunk.LinesOf(k);
  f.sent = (r.options & kSentBit) != 0;
  f.sentLines = r.sentLines;
  return f;
}

std::uint64_t FrameStore::LineCount() const { return nextLine_ - firstLine_; }

LinePosition FrameStore::LocateLine(std::uint64_t line) const {
  const std::uint64_t absolute = firstLine_ + line;
  auto it = std::upper_bound(
      chunks_.begin(), chunks_.end(), absolute,
      [](std::uint64_t l, const std::unique_ptr<Chunk>& c) { return l < c->firstLine; });
  const Chunk& chunk = **(it - 1);
  const auto within = static_cast<std::uint32_t>(absolute - chunk.firstLine);
  const Record* begin = chunk.records.get();
  const Record* end = begin + chunk.count;
  const Record* r = std::upper_bound(begin, end, within, [](std::uint32_t l, const Record& rec) {
                      return l < rec.lineStart;
                    }) - 1;
  return {chunk.firstIndex + static_cast<FrameIndex>(r - begin),
          static_cast<int>(within - r->lineStart)};
}

std::uint64_t FrameStore::FirstLineOf(FrameIndex index) const {
  const Chunk& chunk = ChunkOf(index);
  const Record& r = chunk.records[index - chunk.firstIndex];
  return chunk.firstLine + r.lineStart - firstLine_;
}

}  // namespace vorlink
