// vorlink-pane-bench: the frame pane as the main window uses it, offscreen,
// over a frame store. Generated frames go through the decoding core into the
// store in steps up to 1,000,000; at 100,000, 500,000 and 1,000,000 it
// prints the frames per second appended to store and pane, the bytes the
// store holds per frame and the time to paint one screen after jumping to a
// random place. With --open FILE it times opening that capture in a frame
// browser window until its title names the frames.
#include <QApplication>
#include <QFontDatabase>
#include <QLineEdit>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string_view>

#include "store/capture_loader.h"
#include "sample_stream.h"
#include "ui/frame_browser.h"
#include "ui/frame_view.h"

namespace {

constexpr std::size_t kStep = 100'000;
constexpr std::size_t kReports[] = {100'000, 500'000, 1'000'000};
constexpr int kJumps = 50;
constexpr std::uint64_t kSeed = 0x50414E45;

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

int TimeOpening(const char* file) {
  vorlink::FrameBrowser viewer;
  viewer.show();
  const auto start = std::chrono::steady_clock::now();
  viewer.OpenCapture(file);
  while (viewer.Loading()) QApplication::processEvents();
  const double opened = Seconds(std::chrono::steady_clock::now() - start);
  std::printf("%s: \"%s\" after %.2f s\n", file, viewer.windowTitle().toUtf8().constData(), opened);
  auto* from = viewer.findChild<QLineEdit*>("FilterFrom");
  from->setText("N0CALL*");
  const auto filtering = std::chrono::steady_clock::now();
  viewer.ApplyFilter();
  while (viewer.Filtering()) QApplication::processEvents();
  std::printf("filter From N0CALL*: %s after %.2f s\n", viewer.StatusText().toUtf8().constData(),
              Seconds(std::chrono::steady_clock::now() - filtering));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc == 3 && std::string_view(argv[1]) == "--open") return TimeOpening(argv[2]);
  vorlink::FrameStore store;
  vorlink::FrameView view(store);
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  fixed.setPointSizeF(9);
  view.setFont(fixed);
  view.resize(649, 265);
  view.show();
  vorlink::CaptureLoader loader(store, vorlink::DisplayOptions{});
  std::mt19937_64 random(kSeed);

  std::printf("frame pane over the frame store (%d-line screen), offscreen\n",
              view.viewport()->height() / view.fontMetrics().lineSpacing());
  std::printf("%10s %14s %16s %18s\n", "frames", "frames/s", "bytes per frame",
              "ms per screen (jump)");
  double appendSeconds = 0;
  std::size_t appended = 0;
  for (const std::size_t report : kReports) {
    while (appended < report) {
      const auto stream = vorlink::sample::GenerateStream(kStep, kSeed + appended);
      const auto start = std::chrono::steady_clock::now();
      loader.Feed(stream);
      view.Refresh();
      app.processEvents();
      appendSeconds += Seconds(std::chrono::steady_clock::now() - start);
      appended += kStep;
    }
    QScrollBar* bar = view.verticalScrollBar();
    std::uniform_int_distribution<int> place(0, bar->maximum());
    const auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < kJumps; ++k) {
      bar->setValue(place(random));
      view.viewport()->repaint();
    }
    const double paintMs = Seconds(std::chrono::steady_clock::now() - start) * 1000.0 / kJumps;
    view.ScrollToEnd();
    std::printf("%10zu %14.0f %16.1f %18.2f\n", store.Size(),
                static_cast<double>(appended) / appendSeconds,
                static_cast<double>(store.BytesHeld()) / static_cast<double>(store.Size()),
                paintMs);
  }
  return 0;
}
