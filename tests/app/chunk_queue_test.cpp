#include "app/chunk_queue.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace vorlink {
namespace {

std::vector<std::uint8_t> Bytes(std::size_t count, std::uint8_t first = 0) {
  std::vector<std::uint8_t> bytes(count);
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

std::vector<std::uint8_t> Drain(ChunkQueue& queue) {
  std::vector<std::uint8_t> all;
  for (auto front = queue.Front(); !front.empty(); front = queue.Front()) {
    all.insert(all.end(), front.begin(), front.end());
    queue.Consume(front.size());
  }
  return all;
}

// Bytes come out as they went in, whatever the chunk boundaries, and the
// budget is whole chunks: exactly it fits, one byte more does not.
TEST(ChunkQueueTest, BytesInOrderAcrossChunksUpToTheBudget) {
  struct Row {
    const char* name;
    std::size_t consumedFirst;  // read before the rest is appended
    std::vector<std::size_t> appends;
    bool lastFits;
  } rows[] = {
      {"one small append", 0, {10}, true},
      {"exactly one chunk, then one byte", 0, {kChunkSize, 1}, true},
      {"exactly the budget", 0, {kChunkSize * 2 - 1, 1}, true},
      {"one byte over the budget", 0, {kChunkSize * 2, 1}, false},
      {"room made by reading", kChunkSize, {kChunkSize * 2, kChunkSize}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ChunkPool pool(2 * kChunkSize + kChunkSize / 2);
    ChunkQueue queue(pool);
    std::vector<std::uint8_t> expected;
    for (std::size_t i = 0; i < row.appends.size(); ++i) {
      const auto bytes = Bytes(row.appends[i], static_cast<std::uint8_t>(i * 7));
      const bool last = i + 1 == row.appends.size();
      EXPECT_EQ(queue.Append(bytes), last ? row.lastFits : true);
      if (!last || row.lastFits) expected.insert(expected.end(), bytes.begin(), bytes.end());
      if (i == 0 && row.consumedFirst != 0) {
        queue.Consume(row.consumedFirst);
        expected.erase(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(row.consumedFirst));
      }
    }
    EXPECT_EQ(queue.Size(), expected.size());
    EXPECT_EQ(Drain(queue), expected);
    EXPECT_EQ(queue.Chunks(), 0u);
    EXPECT_EQ(pool.ChunksInUse(), 0u);
  }
}

// Queues that go hand their chunks back; beyond a small reserve the pool
// frees them.
TEST(ChunkQueueTest, ChunksGoBackWhenQueuesGo) {
  ChunkPool pool(std::size_t{1} << 20);
  {
    std::vector<std::unique_ptr<ChunkQueue>> queues;
    for (int i = 0; i < 100; ++i) {
      queues.push_back(std::make_unique<ChunkQueue>(pool));
      ASSERT_TRUE(queues.back()->Append(Bytes(2000)));
    }
    EXPECT_EQ(pool.ChunksInUse(), 100u);
    EXPECT_EQ(pool.BytesHeld(), 100 * kChunkSize);
  }
  EXPECT_EQ(pool.ChunksInUse(), 0u);
  EXPECT_EQ(pool.BytesHeld(), kChunkReserve * kChunkSize);
}

}  // namespace
}  // namespace vorlink
