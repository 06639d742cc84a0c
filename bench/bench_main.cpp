// vorlink-bench: the whole receive core on a large generated KISS stream,
// fed in 4 KiB chunks as serial events would bring it. Two figures:
//   with capture files  the window's default options, the real clock, the
//                       three capture files in a temporary folder
//   frame text alone    deframing, decoding and the frame pane's text, no
//                       capture folder (and so no time frames)
// Each prints MB/s of KISS input (MB = 10^6 bytes) and frames/s, the best of
// three runs, and the heap allocations per frame once the session is warm.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "counting_new.h"
#include "decode_session.h"
#include "link/deframer.h"
#include "sample_stream.h"
#include "base/system_clock.h"

namespace {

constexpr std::size_t kDefaultFrames = 120'000;
constexpr std::size_t kChunkSize = 4096;
constexpr int kRuns = 3;

// Takes the pane's text and throws it away; keeps a count so the text is made.
class DiscardPane final : public vorlink::TextPane {
 public:
  void AppendColoredText(std::string_view text, vorlink::PaneRole) override {
    characters += text.size();
  }
  std::uint64_t characters = 0;
};

class FrameCounter final : public vorlink::UnitSink {
 public:
  void OnUnit(std::span<const std::uint8_t> frame) override { frames += frame.size() > 2; }
  void OnEscape(std::uint8_t) override {}
  std::size_t frames = 0;
};

// A folder of its own under the system's temporary folder, gone afterwards.
class TempFolder {
 public:
  TempFolder() {
    const auto base = std::filesystem::temp_directory_path();
    for (int i = 0;; ++i) {
      path_ = base / ("vorlink-bench-" + std::to_string(::getpid()) + "-" + std::to_string(i));
      if (std::filesystem::create_directory(path_)) break;
    }
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

void FeedAll(vorlink::DecodeSession& session, const std::vector<std::uint8_t>& stream) {
  for (std::size_t at = 0; at < stream.size(); at += kChunkSize) {
    const std::size_t n = std::min(kChunkSize, stream.size() - at);
    session.Feed(std::span(stream.data() + at, n));
  }
}

struct Result {
  double seconds = 0;
  double allocationsPerFrame = 0;
};

Result Measure(const std::vector<std::uint8_t>& stream, std::size_t frames,
               const vorlink::DisplayOptions& options, bool captures) {
  Result result;
  vorlink::SystemClock clock;
  DiscardPane pane;
  for (int run = 0; run < kRuns; ++run) {
    std::optional<TempFolder> folder;
    if (captures) folder.emplace();
    std::optional<std::filesystem::path> captureFolder;
    if (folder) captureFolder = folder->path();
    vorlink::DecodeSession session(pane, clock, options, captureFolder);

    const auto start = std::chrono::steady_clock::now();
    FeedAll(session, stream);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (run == 0 || elapsed.count() < result.seconds) result.seconds = elapsed.count();

    if (run == 0) {
      // The session is warm now: a second pass must not touch the heap.
      const std::uint64_t before = allocationCount;
      FeedAll(session, stream);
      result.allocationsPerFrame =
          static_cast<double>(allocationCount - before) / static_cast<double>(frames);
    }
    session.CloseCaptures();
  }
  return result;
}

void Report(const char* name, const Result& r, std::size_t bytes, std::size_t frames) {
  std::printf("%-36s %8.1f MB/s %10.0f frames/s %8.3f allocations per frame once warm\n", name,
              static_cast<double>(bytes) / 1e6 / r.seconds,
              static_cast<double>(frames) / r.seconds, r.allocationsPerFrame);
}

}  // namespace

int main(int argc, char** argv) {
  // vorlink-bench [FRAMES] [--captures-only | --text-only]; one figure alone
  // serves profiling.
  std::size_t frameTarget = kDefaultFrames;
  bool withCaptures = true;
  bool textOnly = true;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--captures-only") {
      textOnly = false;
    } else if (arg == "--text-only") {
      withCaptures = false;
    } else if (!arg.empty() && arg.find_first_not_of("0123456789") == std::string_view::npos) {
      frameTarget = static_cast<std::size_t>(std::strtoull(argv[i], nullptr, 10));
    } else {
      frameTarget = 0;
    }
  }
  if (frameTarget == 0 || (!withCaptures && !textOnly)) {
    std::fputs("Usage: vorlink-bench [FRAMES] [--captures-only | --text-only]\n", stderr);
    return 2;
  }

  const std::vector<std::uint8_t> stream = vorlink::sample::GenerateStream(frameTarget, vorlink::sample::kBenchSeed);
  FrameCounter counter;
  vorlink::Deframer deframer;
  deframer.Feed(stream, counter);
  const std::size_t frames = counter.frames;

  std::printf("vorlink-bench: %zu frames, %.1f MB of KISS input (%.1f bytes per frame), "
              "%zu-byte chunks, best of %d runs\n",
              frames, static_cast<double>(stream.size()) / 1e6,
              static_cast<double>(stream.size()) / static_cast<double>(frames), kChunkSize, kRuns);

  if (withCaptures) {
    const vorlink::DisplayOptions defaults;  // time stamps, time frames, decoding, hexdump: all on
    Report("whole core with capture files:", Measure(stream, frames, defaults, true),
           stream.size(), frames);
  }
  if (textOnly) {
    vorlink::DisplayOptions options;
    options.timeFrames = false;  // time frames exist for the raw capture only
    Report("deframing, decoding and frame text:", Measure(stream, frames, options, false),
           stream.size(), frames);
  }
  return 0;
}
