// Once warm, the receive core handles frame after frame without the heap:
// every buffer and text it builds per frame reuses storage it already has.
// This binary counts allocations with its own global operator new.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <new>
#include <vector>

#include "aprs_sample.h"
#include "decode/aprs_decoder.h"
#include "decode_session.h"
#include "sample_stream.h"
#include "support/fake_clock.h"

namespace {

// Counted only while a test asks; gtest itself allocates freely around it.
bool counting = false;
std::size_t allocations = 0;

}  // namespace

void* operator new(std::size_t size) {
  if (counting) ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace vorlink {
namespace {

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

std::size_t AllocationsOnceWarm(const DisplayOptions& options) {
  testing::FakeClock clock;
  DiscardPane pane;
  DecodeSession session(pane, clock, options);
  const auto warmUp = sample::GenerateStream(3000, 11);
  const auto more = sample::GenerateStream(3000, 12);
  Feed(session, sample::SampleCapture());
  Feed(session, warmUp);

  allocations = 0;
  counting = true;
  Feed(session, more);
  Feed(session, warmUp);
  counting = false;
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
  allocations = 0;
  counting = true;
  for (const auto& s : samples) {
    const AprsReport r = DecodeAprs(s.info, s.destination);
    if (const auto* t = r.As<AprsThirdParty>()) (void)DecodeInner(*t);
  }
  counting = false;
  EXPECT_EQ(allocations, 0u);
}

TEST(NoAllocationTest, CounterSeesAnAllocation) {
  allocations = 0;
  counting = true;
  void* volatile p = ::operator new(100);
  counting = false;
  ::operator delete(p);
  EXPECT_GE(allocations, 1u);
}

}  // namespace
}  // namespace vorlink
