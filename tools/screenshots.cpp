// vorlink-screenshots FOLDER: draws the setup dialog, the statistics window,
// the about window and the frame browser (over the sample capture) as the
// program shows them and saves them as FOLDER/setup-dialog.png,
// FOLDER/statistics-window.png, FOLDER/about-window.png and
// FOLDER/frame-browser.png, for the documentation. The statistics are
// the figures after receiving the sample capture. Run it on a display (under
// xvfb-run for a headless build).
#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <iterator>
#include <vector>

#include "base/package.h"
#include "link/deframer.h"
#include "link/kiss.h"
#include "ui/about_window.h"
#include "ui/frame_browser.h"
#include "ui/setup_dialog.h"
#include "ui/statistics_window.h"

namespace {

// The counters as the receive handler leaves them after the capture arrives
// in one piece.
class Counting final : public vorlink::UnitSink {
 public:
  explicit Counting(vorlink::ReceiveCounters& counters) : counters_(counters) {}
  void OnUnit(std::span<const std::uint8_t>) override { ++counters_.FrameCount; }
  void OnEscape(std::uint8_t escaped) override {
    if (escaped == vorlink::kTfesc) ++counters_.TfescCount;
    if (escaped == vorlink::kTfend) ++counters_.TfendCount;
  }

 private:
  vorlink::ReceiveCounters& counters_;
};

vorlink::ReceiveCounters SampleCounters(const char* capture) {
  std::ifstream in(capture, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  vorlink::ReceiveCounters counters;
  counters.BytesReceived = bytes.size();
  vorlink::Deframer deframer;
  Counting sink(counters);
  deframer.Feed(bytes, sink);
  return counters;
}

bool Save(QWidget& window, const std::filesystem::path& file) {
  window.show();
  // Let the window system map and paint it before it is grabbed.
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
  const bool saved = window.grab().save(QString::fromStdString(file.string()));
  if (!saved) std::fprintf(stderr, "vorlink-screenshots: cannot write %s\n", file.c_str());
  return saved;
}

}  // namespace

constexpr const char* kUsage =
    "Usage: vorlink-screenshots FOLDER\n"
    "Draw the setup dialog, the statistics, the about window and the frame browser\n"
    "into FOLDER as PNG.\n"
    "\n"
    "  -h, --help   show this text and exit\n"
    "  --version    show the program's name and version and exit\n";

int main(int argc, char** argv) {
  // Answered before Qt starts, which needs a display.
  const std::string_view first = argc > 1 ? argv[1] : "";
  if (argc == 2 && (first == "--help" || first == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 2 && first == "--version") {
    std::printf("%s\n", vorlink::VersionText("vorlink-screenshots").c_str());
    return 0;
  }
  if (argc != 2 || (first.size() > 1 && first.front() == '-')) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  QApplication app(argc, argv);
  const std::filesystem::path folder = argv[1];
  vorlink::SetupDialog dialog;
  vorlink::StatisticsWindow statistics(SampleCounters(VORLINK_SAMPLE_CAPTURE));
  vorlink::AboutWindow about;
  vorlink::FrameBrowser browser;
  browser.resize(960, 640);
  browser.show();
  browser.OpenCapture(VORLINK_SAMPLE_CAPTURE);
  while (browser.Loading()) QApplication::processEvents();
  browser.FilterBySource("N0CALL*");
  while (browser.Filtering()) QApplication::processEvents();
  const bool saved = Save(dialog, folder / "setup-dialog.png") &&
                     Save(statistics, folder / "statistics-window.png") &&
                     Save(about, folder / "about-window.png") &&
                     Save(browser, folder / "frame-browser.png");
  return saved ? 0 : 1;
}
