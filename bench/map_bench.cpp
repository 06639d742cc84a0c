// vorlink-map-bench: the map, offscreen at 1280 x 800, over 10,000 stations
// with 1,000,000 positions in their tracks (or STATIONS and POSITIONS),
// painted while panning across Europe at a few zooms, with the offline base
// map when it is installed. Prints milliseconds per frame (mean, 95th
// percentile, worst) per zoom, on the wall clock and in the thread's own CPU
// time (which other work on a busy machine does not inflate); --save FILE
// keeps the last frame as a PNG.
//   build/bench/vorlink-map-bench [STATIONS [POSITIONS]] [--save FILE]
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <ctime>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "ui/base_map.h"
#include "ui/map_view.h"

namespace {

constexpr std::int64_t kNow = 1'800'000'000'000;
constexpr int kFramesPerZoom = 60;
constexpr int kPanPixels = 8;
const char kSymbols[] = ">k-#_&[bsO^!/";

double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Figures {
  double mean, p95, worst;
};

Figures Summary(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  double sum = 0;
  for (const double m : ms) sum += m;
  return {sum / static_cast<double>(ms.size()), ms[ms.size() * 95 / 100], ms.back()};
}

vorlink::TrackStore Generate(std::size_t stations, std::size_t positions) {
  vorlink::TrackStore store;
  std::mt19937 random(7);
  std::uniform_real_distribution<double> lat(36, 60), lon(-10, 30), step(-0.01, 0.01);
  const std::size_t each = std::max<std::size_t>(positions / stations, 1);
  for (std::size_t s = 0; s < stations; ++s) {
    vorlink::StationReport r;
    r.name = "ST" + std::to_string(s);
    r.symbolTable = s % 3 == 0 ? '\\' : '/';
    r.symbolCode = kSymbols[s % (sizeof kSymbols - 1)];
    r.direct = s % 2 == 0;
    r.position = {lat(random), lon(random)};
    for (std::size_t k = 0; k < each; ++k) {
      r.position.latitude += step(random);
      r.position.longitude += step(random);
      // Spread over the last two hours, oldest first.
      r.time = kNow - static_cast<std::int64_t>((each - k) * 7'200'000 / each);
      store.Add(r);
    }
  }
  return store;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string save;
  if (const auto it = std::find(args.begin(), args.end(), "--save"); it != args.end() && it + 1 != args.end()) {
    save = *(it + 1);
    args.erase(it, it + 2);
  }
  const std::size_t stations = args.size() > 0 ? std::strtoull(args[0].c_str(), nullptr, 10) : 10'000;
  const std::size_t positions = args.size() > 1 ? std::strtoull(args[1].c_str(), nullptr, 10) : 1'000'000;
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);

  QElapsedTimer clock;
  clock.start();
  const vorlink::TrackStore store = Generate(stations, positions);
  std::printf("%zu stations, %zu positions stored, generated in %lld ms\n", store.Size(),
              store.StoredPoints(), static_cast<long long>(clock.elapsed()));
  vorlink::BaseMap base;
  std::printf("base map: %s (%zu points)\n",
              base.Complete() ? "installed" : base.Missing().toUtf8().constData(), base.Points());
  vorlink::MapView view(store, base);
  view.resize(1280, 800);
  view.SetNow(kNow);
  view.SetLook({vorlink::LatLon{50, 8}, {10, 25, 50, 100}, 7'200'000});
  QImage frame(view.size(), QImage::Format_ARGB32_Premultiplied);

  clock.restart();
  view.render(&frame);  // the first frame projects every track
  std::printf("first frame (projecting the tracks): %lld ms\n", static_cast<long long>(clock.elapsed()));
  for (const int zoom : {3, 5, 7, 10}) {
    view.SetZoom(zoom);
    view.CentreOn({48, 10});
    view.render(&frame);  // the base map projected at this zoom
    std::vector<double> wall, cpu;
    for (int i = 0; i < kFramesPerZoom; ++i) {
      const vorlink::LatLon at = view.PointAt(QPointF(640 + kPanPixels, 400 + kPanPixels / 2));
      view.CentreOn(at);
      clock.restart();
      const double cpuStart = CpuMs();
      view.render(&frame);
      cpu.push_back(CpuMs() - cpuStart);
      wall.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    const Figures w = Summary(wall), c = Summary(cpu);
    std::printf("zoom %2d: wall %.1f ms mean, %.1f ms 95th percentile, %.1f ms worst; "
                "CPU %.1f / %.1f / %.1f ms per frame\n", zoom, w.mean, w.p95, w.worst, c.mean, c.p95, c.worst);
  }
  if (!save.empty()) frame.save(QString::fromStdString(save));
  return 0;
}
