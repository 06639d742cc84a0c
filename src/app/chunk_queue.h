// Byte queues that share one bounded pool of fixed-size chunks. Many queues
// (one per KISS server client) draw on the pool; a queue that is emptied or
// dropped gives its chunks back at once, and the pool keeps only a small
// reserve of free chunks, so memory follows the bytes actually waiting
// instead of the largest any queue ever reached. Chunks are pages mapped for
// the pool alone: one given back leaves the process, where a heap would keep
// it for whatever came next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <vector>

namespace vorlink {

inline constexpr std::size_t kChunkSize = 4096;
// Free chunks kept for the next frames instead of being handed back.
inline constexpr std::size_t kChunkReserve = 64;

class ChunkPool {
 public:
  struct Unmap {
    void operator()(std::uint8_t* chunk) const;
  };
  using Chunk = std::unique_ptr<std::uint8_t, Unmap>;

  // At most byteBudget bytes (rounded down to whole chunks, at least one) in
  // chunks handed out.
  explicit ChunkPool(std::size_t byteBudget);

  // Empty when the budget is spent.
  Chunk Take();
  void Give(Chunk chunk);

  std::size_t FreeChunksInBudget() const { return limit_ - inUse_; }
  std::size_t ChunksInUse() const { return inUse_; }
  // Bytes allocated: chunks in use plus the reserve.
  std::size_t BytesHeld() const { return (inUse_ + reserve_.size()) * kChunkSize; }

 private:
  std::size_t limit_;
  std::size_t inUse_ = 0;
  std::vector<Chunk> reserve_;
};

// First in, first out; the front is read a chunk at a time.
class ChunkQueue {
 public:
  explicit ChunkQueue(ChunkPool& pool) : pool_(pool) {}
  ~ChunkQueue() { Clear(); }
  ChunkQueue(const ChunkQueue&) = delete;
  ChunkQueue& operator=(const ChunkQueue&) = delete;

  // False, with nothing appended, when the pool's budget cannot give the
  // room; false too if the system runs out of memory half-way, when part may
  // be appended and the queue is good only for dropping.
  bool Append(std::span<const std::uint8_t> bytes);
  // Whether Append would succeed now.
  bool Fits(std::size_t count) const;
  // The oldest bytes, up to the end of their chunk; empty when nothing waits.
  std::span<const std::uint8_t> Front() const;
  // Drops the first count bytes (at most all).
  void Consume(std::size_t count);
  void Clear();

  std::size_t Size() const { return size_; }
  std::size_t Chunks() const { return chunks_.size(); }

 private:
  std::size_t TailRoom() const;

  ChunkPool& pool_;
  std::deque<ChunkPool::Chunk> chunks_;
  std::size_t head_ = 0;  // read offset in the first chunk
  std::size_t size_ = 0;
};

}  // namespace vorlink
