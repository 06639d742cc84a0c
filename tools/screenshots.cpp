// vorlink-screenshots FOLDER: draws the setup dialog, the statistics window,
// the about window and the frame browser (over the sample capture) as the
// program shows them and saves them as FOLDER/setup-dialog.png,
// FOLDER/statistics-window.png, FOLDER/about-window.png and
// FOLDER/frame-browser.png (a position in its detail tree), and the map of
// the capture's stations as FOLDER/map.png, for the documentation. The statistics are
// the figures after receiving the sample capture. Run it on a display (under
// xvfb-run for a headless build).
#include <QApplication>
#include <QWidget>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <iterator>
#include <vector>

#include "base/package.h"
#include "decode/frame_text.h"
#include "link/deframer.h"
#include "link/kiss.h"
#include "store/frame_store.h"
#include "sample_stream.h"
#include "ui/about_window.h"
#include "ui/frame_browser.h"
#include "ui/frame_view.h"
#include "ui/map_window.h"
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

// A handful of stations round the own position, two of them on the move,
// for the map's picture: the sample capture's stations span the globe.
struct MapStationPlan {
  const char* call;
  int ssid;
  char symbol;
  double latitude, longitude;      // first report
  double toLatitude, toLongitude;  // last report; the same for a fixed station
  bool viaDigipeater;
};
constexpr MapStationPlan kMapStations[] = {
    {"VE2MOB", 9, '>', 48.62, -72.45, 49.02, -71.98, false},
    {"VE2BIK", 7, 'b', 48.88, -71.62, 48.99, -71.55, false},
    {"VE2ABC", 0, '-', 49.12, -71.58, 49.12, -71.58, false},
    {"VE2DIG", 1, '#', 48.68, -71.42, 48.68, -71.42, false},
    {"VE2WX", 0, '_', 49.33, -72.21, 49.33, -72.21, true},
    {"VE2FAR", 5, '-', 48.41, -72.02, 48.41, -72.02, true},
};
constexpr int kMapTrackSteps = 8;
constexpr std::int64_t kMapEpochMs = 1'780'000'000'000;
constexpr std::int64_t kMapStepMs = 8 * 60'000;

std::string AprsAngle(double degrees, int width, char positive, char negative) {
  const double a = std::fabs(degrees);
  const int whole = static_cast<int>(a);
  char text[32];
  std::snprintf(text, sizeof text, "%0*d%05.2f%c", width, whole, (a - whole) * 60,
                degrees < 0 ? negative : positive);
  return text;
}

// Frames a minute apart, as received: a capture file holds no times, and
// tracks fade by them.
void FillMapStore(vorlink::FrameStore& store) {
  namespace sample = vorlink::sample;
  for (int step = 0; step < kMapTrackSteps; ++step) {
    for (const MapStationPlan& p : kMapStations) {
      const bool moving = p.latitude != p.toLatitude || p.longitude != p.toLongitude;
      if (!moving && step != kMapTrackSteps - 1) continue;
      const double f = static_cast<double>(step) / (kMapTrackSteps - 1);
      const std::string info = "!" + AprsAngle(p.latitude + f * (p.toLatitude - p.latitude), 2, 'N', 'S') +
                               "/" + AprsAngle(p.longitude + f * (p.toLongitude - p.longitude), 3, 'E', 'W') +
                               p.symbol;
      std::vector<sample::Address> path;
      if (p.viaDigipeater) path.emplace_back("VE2DIG", 1, true);
      const sample::Ax25Frame frame{sample::Address("APRS"), sample::Address(p.call, p.ssid), path, true,
                                    sample::kControlUi, sample::kPidNoLayer3, sample::Bytes(info)};
      std::vector<std::uint8_t> kiss;
      sample::AppendKissFrame(kiss, vorlink::kCommandData, sample::EncodeAx25(frame));
      vorlink::FrameText text;
      const vorlink::DisplayOptions options;
      const int lines = text.Make(kiss, vorlink::DateTime{}, options, nullptr);
      store.Append(kiss, kMapEpochMs + step * kMapStepMs, options, text.LastLeftovers(), lines);
    }
  }
}

}  // namespace

constexpr const char* kUsage =
    "Usage: vorlink-screenshots FOLDER\n"
    "Draw the setup dialog, the statistics, the about window, the frame browser and\n"
    "the map into FOLDER as PNG.\n"
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
  browser.resize(1100, 1080);
  browser.show();
  browser.OpenCapture(VORLINK_SAMPLE_CAPTURE);
  while (browser.Loading()) QApplication::processEvents();
  browser.FilterBySource("N0CALL*");
  while (browser.Filtering()) QApplication::processEvents();
  // A mobile's position in the detail tree, measured from a station nearby.
  browser.SetOwnStation({vorlink::GeoPoint{48.95, -71.9}, "N0CALL"});
  browser.Pane().StartFind("088/036 mobile", true);
  while (browser.Pane().Working()) QApplication::processEvents();
  // Stations over the offline base map, range rings round the same station.
  vorlink::FrameStore mapStore;
  FillMapStore(mapStore);
  vorlink::MapWindow map(mapStore, {vorlink::MapSettings{}, std::nullopt, QString(), true,
                                              vorlink::GeoPoint{48.95, -71.9}});
  map.resize(1100, 700);
  map.Refresh();
  const bool saved = Save(dialog, folder / "setup-dialog.png") &&
                     Save(statistics, folder / "statistics-window.png") &&
                     Save(about, folder / "about-window.png") &&
                     Save(browser, folder / "frame-browser.png") && Save(map, folder / "map.png");
  return saved ? 0 : 1;
}
