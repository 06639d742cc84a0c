// libFuzzer target: the receive path, the AX.25 decoder and the frame text
// together, through DecodeSession as a data-received event drives them.
//
// Input layout:
//   byte 0        option bits: 0 time stamps, 1 time frames, 2 hexdump file,
//                 3 mirroring (to a closed port)
//   byte 1        n: the number of chunk sizes that follow (n % 8)
//   next n bytes  chunk sizes, each byte + 1; none: the stream in one chunk
//   the rest      the KISS byte stream, fed in chunks of those sizes in turn
//
// The stream goes through three sessions: decoded in those chunks, decoded
// in one piece, and in the raw view. Beyond the sanitizers' findings the
// target traps when the pane's text is not UTF-8, when chunking changes what
// the pane shows, or when the counters disagree with the input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "decode_session.h"
#include "utf8_check.h"
#include "support/fake_clock.h"

namespace {

constexpr std::size_t kMaxChunkSizes = 8;

// Keeps a running hash of the pane's text and checks that it is UTF-8.
class CheckingPane final : public vorlink::TextPane {
 public:
  VORLINK_NOT_TRACED void AppendColoredText(std::string_view text,
                                            vorlink::PaneRole colour) override {
    // Raw pointers: the string_view members would be traced all the same.
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    if (!vorlink::fuzz::IsUtf8(p, end)) __builtin_trap();
    hash_ = (hash_ ^ static_cast<std::uint64_t>(colour)) * kPrime;
    for (; p != end; ++p) hash_ = (hash_ ^ *p) * kPrime;
  }
  std::uint64_t Hash() const { return hash_; }

 private:
  static constexpr std::uint64_t kPrime = 0x100000001B3ULL;  // FNV-1a

  std::uint64_t hash_ = 0xCBF29CE484222325ULL;
};

struct Outcome {
  std::uint64_t paneHash;
  std::uint64_t frameCount;
  std::uint64_t bytesReceived;
  std::int64_t escapes;
};

Outcome Run(std::span<const std::uint8_t> stream, std::span<const std::uint8_t> chunkSizes,
            const vorlink::DisplayOptions& options) {
  vorlink::testing::FakeClock clock;
  CheckingPane pane;
  vorlink::DecodeSession session(pane, clock, options);
  if (chunkSizes.empty()) {
    session.Feed(stream);
  } else {
    std::size_t next = 0;
    while (!stream.empty()) {
      const std::size_t n = std::min<std::size_t>(chunkSizes[next++ % chunkSizes.size()] + 1u,
                                                  stream.size());
      session.Feed(stream.first(n));
      stream = stream.subspan(n);
    }
  }
  const auto& counters = session.Counters();
  return {pane.Hash(), static_cast<std::uint64_t>(counters.FrameCount),
          static_cast<std::uint64_t>(counters.BytesReceived),
          counters.TfescCount + counters.TfendCount};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  std::span<const std::uint8_t> input(data, size);
  const std::uint8_t flags = input[0];
  const std::size_t sizeCount = std::min<std::size_t>(input[1] % kMaxChunkSizes, size - 2);
  const auto chunkSizes = input.subspan(2, sizeCount);
  const auto stream = input.subspan(2 + sizeCount);

  vorlink::DisplayOptions options;
  options.timeStamp = (flags & 0x01) != 0;
  options.timeFrames = (flags & 0x02) != 0;
  options.hexFile = (flags & 0x04) != 0;
  options.decode = true;
  const Outcome chunked = Run(stream, chunkSizes, options);
  const Outcome whole = Run(stream, {}, options);
  options.decode = false;
  const Outcome raw = Run(stream, chunkSizes, options);

  if (chunked.paneHash != whole.paneHash) __builtin_trap();
  if (chunked.frameCount != whole.frameCount || chunked.frameCount != raw.frameCount ||
      chunked.escapes != whole.escapes || chunked.escapes != raw.escapes) {
    __builtin_trap();
  }
  if (chunked.frameCount > stream.size() || chunked.bytesReceived != stream.size()) {
    __builtin_trap();
  }
  return 0;
}
