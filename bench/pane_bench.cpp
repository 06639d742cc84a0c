// vorlink-pane-bench: the frame pane widget as the main window uses it,
// offscreen. Feeds generated frame blocks through the core into the pane and
// prints blocks per second and the memory each block costs, in steps up to
// 100,000 blocks. The pane keeps its newest lines, so memory levels off.
#include <unistd.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "decode_session.h"
#include "sample_stream.h"
#include "base/system_clock.h"
#include "ui/qt_text_pane.h"

namespace {

constexpr std::size_t kBlocks = 100'000;
constexpr std::size_t kStep = 20'000;
constexpr std::uint64_t kSeed = 0x50414E45;

// Resident memory of this process in bytes.
double ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QPlainTextEdit edit;
  edit.resize(649, 265);
  edit.show();
  vorlink::QtTextPane pane(edit);
  vorlink::SystemClock clock;
  vorlink::DisplayOptions options;
  vorlink::DecodeSession session(pane, clock, options);

  std::printf("frame pane (QPlainTextEdit, newest %d lines kept), offscreen\n",
              vorlink::kPaneMaximumLines);
  std::printf("%10s %14s %16s\n", "blocks", "blocks/s", "KiB per block");
  const double startMemory = ResidentBytes();
  std::size_t shown = 0;
  while (shown < kBlocks) {
    const auto stream = vorlink::sample::GenerateStream(kStep, kSeed + shown);
    const auto start = std::chrono::steady_clock::now();
    session.Feed(stream);
    app.processEvents();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    shown += kStep;
    std::printf("%10zu %14.0f %16.2f\n", shown, kStep / seconds,
                (ResidentBytes() - startMemory) / 1024.0 / static_cast<double>(shown));
  }
  return 0;
}
