#include "app/chunk_queue.h"

#include <algorithm>
#include <cstring>

#include <sys/mman.h>

namespace vorlink {

void ChunkPool::Unmap::operator()(std::uint8_t* chunk) const { munmap(chunk, kChunkSize); }

ChunkPool::ChunkPool(std::size_t byteBudget)
    : limit_(std::max<std::size_t>(byteBudget / kChunkSize, 1)) {}

ChunkPool::Chunk ChunkPool::Take() {
  if (inUse_ == limit_) return nullptr;
  if (reserve_.empty()) {
    void* pages = mmap(nullptr, kChunkSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) return nullptr;
    ++inUse_;
    return Chunk(static_cast<std::uint8_t*>(pages));
  }
  ++inUse_;
  Chunk chunk = std::move(reserve_.back());
  reserve_.pop_back();
  return chunk;
}

void ChunkPool::Give(Chunk chunk) {
  if (!chunk) return;
  --inUse_;
  if (reserve_.size() < kChunkReserve) reserve_.push_back(std::move(chunk));
}

std::size_t ChunkQueue::TailRoom() const {
  if (chunks_.empty()) return 0;
  // Bytes of the last chunk in use: what the queue holds past the first chunk's head.
  const std::size_t used = (head_ + size_) - (chunks_.size() - 1) * kChunkSize;
  return kChunkSize - used;
}

bool ChunkQueue::Fits(std::size_t count) const {
  const std::size_t room = TailRoom();
  if (count <= room) return true;
  const std::size_t more = (count - room + kChunkSize - 1) / kChunkSize;
  return more <= pool_.FreeChunksInBudget();
}

bool ChunkQueue::Append(std::span<const std::uint8_t> bytes) {
  if (!Fits(bytes.size())) return false;
  while (!bytes.empty()) {
    std::size_t room = TailRoom();
    if (room == 0) {
      ChunkPool::Chunk chunk = pool_.Take();
      // Out of memory with budget left: what was appended stays, the rest is refused.
      if (!chunk) return false;
      chunks_.push_back(std::move(chunk));
      room = kChunkSize;
    }
    const std::size_t n = std::min(room, bytes.size());
    std::memcpy(chunks_.back().get() + (kChunkSize - room), bytes.data(), n);
    size_ += n;
    bytes = bytes.subspan(n);
  }
  return true;
}

std::span<const std::uint8_t> ChunkQueue::Front() const {
  if (size_ == 0) return {};
  return {chunks_.front().get() + head_, std::min(size_, kChunkSize - head_)};
}

void ChunkQueue::Consume(std::size_t count) {
  count = std::min(count, size_);
  size_ -= count;
  head_ += count;
  while (!chunks_.empty() && (head_ >= kChunkSize || size_ == 0)) {
    // An emptied queue keeps no chunk: an idle client holds nothing.
    head_ = size_ == 0 ? 0 : head_ - kChunkSize;
    pool_.Give(std::move(chunks_.front()));
    chunks_.pop_front();
  }
}

void ChunkQueue::Clear() { Consume(size_); }

}  // namespace vorlink
