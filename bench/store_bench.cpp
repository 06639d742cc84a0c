// vorlink-store-bench: the frame store under a generated stream of
// 1,000,000 frames, at 100,000, 500,000 and 1,000,000 frames held:
//   append     frames/s through deframer, frame text (no pane) and store,
//              and frames/s of the store's Append alone
//   memory     bytes the store holds per frame
//   screen     time to draw 40 lines after a jump to a random line
// then, over all frames: filters, the heard list, and loading the stream
// as a .kss capture from a file.
//   build/bench/vorlink-store-bench [FRAMES]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/system_clock.h"
#include "decode/frame_display.h"
#include "link/deframer.h"
#include "store/capture_loader.h"
#include "store/frame_filter.h"
#include "store/frame_store.h"
#include "store/heard_list.h"
#include "store/line_walker.h"
#include "sample_stream.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint64_t kSeed = 0x53544F5245;
constexpr std::size_t kScreenLines = 40;
constexpr int kJumps = 2000;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// Every frame of the stream, as the deframer hands them on.
class Frames final : public vorlink::UnitSink {
 public:
  void OnUnit(std::span<const std::uint8_t> frame) override {
    if (frame.size() <= 2) return;
    starts.push_back(bytes.size());
    bytes.insert(bytes.end(), frame.begin(), frame.end());
  }
  void OnEscape(std::uint8_t) override {}
  std::span<const std::uint8_t> At(std::size_t k) const {
    const std::size_t end = k + 1 < starts.size() ? starts[k + 1] : bytes.size();
    return {bytes.data() + starts[k], end - starts[k]};
  }
  std::vector<std::uint8_t> bytes;
  std::vector<std::size_t> starts;
};

void ScreenTimes(const vorlink::FrameStore& store) {
  vorlink::LineWalker walker(store, store);
  std::mt19937_64 random(kSeed);
  std::vector<double> times;
  for (int j = 0; j < kJumps; ++j) {
    const std::uint64_t line = random() % (store.LineCount() - kScreenLines);
    const auto start = Clock::now();
    walker.SeekLine(line);
    for (std::size_t k = 1; k < kScreenLines && walker.Next(); ++k) {
    }
    times.push_back(Seconds(start) * 1e3);
  }
  std::sort(times.begin(), times.end());
  std::printf("  screen of %zu lines after a random jump: median %.3f ms, 99%% %.3f ms, max %.3f ms\n",
              kScreenLines, times[times.size() / 2], times[times.size() * 99 / 100], times.back());
}

void Filter(const vorlink::FrameStore& store, const char* name, vorlink::FrameFilterSpec spec) {
  vorlink::FrameFilter filter(std::move(spec));
  vorlink::FilteredFrames shown;
  const auto start = Clock::now();
  vorlink::FilterFrames(store, filter, store.FirstIndex(), store.EndIndex(), shown);
  std::printf("  filter %-34s %8zu of %zu frames in %.3f s\n", name, shown.Size(), store.Size(),
              Seconds(start));
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t target = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1'000'000;
  const std::vector<std::size_t> steps{target / 10, target / 2, target};

  std::printf("generating %zu frames...\n", target);
  const std::vector<std::uint8_t> stream = vorlink::sample::GenerateStream(target, kSeed);
  Frames frames;
  vorlink::Deframer deframer;
  deframer.Feed(stream, frames);
  const std::size_t count = frames.starts.size();
  std::printf("%zu frames (time frames included), %.1f MB, %.1f bytes per frame\n\n", count,
              static_cast<double>(stream.size()) / 1e6,
              static_cast<double>(frames.bytes.size()) / static_cast<double>(count));

  // The live path: frame text without a pane (a view draws from the store),
  // no capture files, every frame into the store.
  vorlink::SystemClock clock;
  vorlink::DisplayOptions options;
  options.timeFrames = false;
  vorlink::FrameStore live;
  struct Unused final : vorlink::TextPane {
    void AppendColoredText(std::string_view, vorlink::PaneRole) override {}
  } unused;
  vorlink::FrameDisplay display(unused, clock, options);
  display.SetPane(nullptr);
  display.SetFrameSink(&live);
  vorlink::FrameStore bare;
  std::size_t done = 0;
  for (const std::size_t step : steps) {
    const std::size_t upTo = std::min(step, count);
    const auto start = Clock::now();
    for (std::size_t k = done; k < upTo; ++k) display.ShowFrame(frames.At(k));
    const double liveSeconds = Seconds(start);
    const auto bareStart = Clock::now();
    for (std::size_t k = done; k < upTo; ++k) bare.Append(frames.At(k), 0, options, {}, 7);
    const double bareSeconds = Seconds(bareStart);
    const double n = static_cast<double>(upTo - done);
    std::printf("%zu frames held:\n", live.Size());
    std::printf("  append through frame text and store: %.0f frames/s; store alone: %.0f frames/s\n",
                n / liveSeconds, n / bareSeconds);
    std::printf("  held: %.1f bytes per frame (%.1f MB for %zu frames)\n",
                static_cast<double>(live.BytesHeld()) / static_cast<double>(live.Size()),
                static_cast<double>(live.BytesHeld()) / 1e6, live.Size());
    ScreenTimes(live);
    done = upTo;
  }

  std::printf("\nover all %zu frames:\n", live.Size());
  Filter(live, "(nothing asked)", {});
  Filter(live, "--from N0CALL-*", {.from = "N0CALL-*"});
  Filter(live, "--via WIDE2*", {.via = "WIDE2*"});
  Filter(live, "--type I --pid F0", {.type = vorlink::FrameType::I, .pid = 0xF0});
  Filter(live, "--grep \"weekend camp\"", {.text = "weekend camp"});
  Filter(live, "all six", {.from = "*", .to = "APZ*", .via = "*", .type = vorlink::FrameType::UI,
                           .pid = 0xF0, .text = "on the air"});
  {
    vorlink::HeardList heard;
    const auto start = Clock::now();
    heard.Compute(live);
    std::printf("  heard list: %zu stations in %.3f s\n", heard.Size(), Seconds(start));
  }

  const auto file = std::filesystem::temp_directory_path() /
                    ("vorlink-store-bench-" + std::to_string(::getpid()) + ".kss");
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(stream.data()), static_cast<std::streamsize>(stream.size()));
  for (int run = 0; run < 2; ++run) {
    vorlink::FrameStore loaded;
    std::string error;
    const auto start = Clock::now();
    const bool ok = vorlink::LoadCapture(file, loaded, vorlink::DisplayOptions{}, error);
    std::printf("  load .kss (%.1f MB, %s): %zu frames in %.3f s\n",
                static_cast<double>(stream.size()) / 1e6, run == 0 ? "first" : "again",
                loaded.Size(), Seconds(start));
    if (!ok) std::printf("  load failed: %s\n", error.c_str());
  }
  std::filesystem::remove(file);
  return 0;
}
