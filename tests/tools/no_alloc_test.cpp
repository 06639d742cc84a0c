// Once warm, the receive core handles frame after frame without the heap:
// every buffer and text it builds per frame reuses storage it already has.
// This binary counts allocations with its own global operator new, the
// benches' counter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <new>
#include <vector>

#include "aprs_sample.h"
#include "counting_new.h"
#include "aprs/aprs_decoder.h"
#include "decode_session.h"
#include "sample_stream.h"
#include "support/fake_clock.h"

namespace vorlink {
namespace {

// Heap allocations while `work` runs; gtest allocates freely around it.
template <typename Work>
std::uint64_t AllocationsIn(Work work) {
  const std::uint64_t before = allocationCount;
  work();
  return allocationCount - before;
}

class DiscardPane final : public TextPane {
 public:
  void AppendColoredText(std::string_view text, PaneRole) override { characters += text.size(); }
  std::size_t characters = 0;
};

// Feeds the stream in chunks of varying size, as serial events bring it.
void Feed(DecodeSession& session, const std::vector<std::uint8_t>& stream) {
  static constexpr std::size_t kChunks[] = {4096, 1, 7, 300, 64, 1500};
  std::size_t at = 0;
  for (std::size_t i = 0; at < stream.size(); ++i) {
    const std::size_t n = std::min(kChunks[i % std::size(kChunks)], stream.size() - at);
    session.Feed(std::span(stream.data() + at, n));
    at += n;
  }
}

std::uint64_t AllocationsOnceWarm(const DisplayOptions& options) {
  testing::FakeClock clock;
  DiscardPane pane;
  DecodeSession session(pane, clock, options);
  const auto warmUp = sample::GenerateStream(3000, 11);
  const auto more = sample::GenerateStream(3000, 12);
  Feed(session, sample::SampleCapture());
  Feed(session, warmUp);

  const std::uint64_t allocations = AllocationsIn([&] {
    Feed(session, more);
    Feed(session, warmUp);
  });
  EXPECT_GT(pane.characters, 0u);
  return allocations;
}

TEST(NoAllocationTest, DecodedViewWithEveryOptionOn) {
  EXPECT_EQ(AllocationsOnceWarm(DisplayOptions{}), 0u);
}

TEST(NoAllocationTest, RawView) {
  DisplayOptions options;
  options.decode = false;
  EXPECT_EQ(AllocationsOnceWarm(options), 0u);
}

TEST(NoAllocationTest, EveryOptionOff) {
  DisplayOptions options;
  options.timeStamp = false;
  options.timeFrames = false;
  options.hexFile = false;
  EXPECT_EQ(AllocationsOnceWarm(options), 0u);
}

// Every APRS report kind the generator makes, third-party packets opened.
TEST(NoAllocationTest, AprsDecoder) {
  const auto samples = sample::AprsSamples(sample::kAprsSampleKinds * 20, 7);
  EXPECT_EQ(AllocationsIn([&] {
              for (const auto& s : samples) {
                const AprsReport r = DecodeAprs(s.info, s.destination);
                if (const auto* t = r.As<AprsThirdParty>()) (void)DecodeInner(*t);
              }
            }),
            0u);
}

TEST(NoAllocationTest, CounterSeesAnAllocation) {
  void* volatile p = nullptr;
  EXPECT_GE(AllocationsIn([&] { p = ::operator new(100); }), 1u);
  ::operator delete(p);
}

}  // namespace
}  // namespace vorlink
