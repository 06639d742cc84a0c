// vorlink-map-bench: the map, offscreen at 1280 x 800, over 10,000 stations
// with 1,000,000 positions in their tracks (or STATIONS and POSITIONS),
// painted while panning across Europe at a few zooms, with the offline base
// map when it is installed. Prints milliseconds per frame (mean, 95th
// percentile, worst) per zoom, on the wall clock and in the thread's own CPU
// time (which other work on a busy machine does not inflate), and the first
// frame at each zoom alone; --save FILE keeps the last frame as a PNG.
// Then a flood of as many stations and positions, each report anywhere on
// earth, panned over the same way at zoom 0 to 5, and a swarm whose every
// report jumps as far as a track may: one frame must stay short however the
// tracks run.
// Then live: new reports arriving (kLiveReports every kLiveEveryMs) while
// panning at zoom 10 and while zooming 9, 10, 11: the longest event-loop
// stall, which a rebuild of the map's tracks in one paint would make long.
// Then View > Map opened over a live frame store of 1,000,000 frames with
// APRS positions (--frames N): how long until the map has read them all, and
// the longest time the event loop could not turn meanwhile. Then online
// tiles from a tile server on 127.0.0.1 while panning to and fro over the
// same strip: requests per pass and per minute, in the first pass and in the
// repeats, which the caches must answer (the last after reopening the
// window, so only the disk cache can).
//   build/bench/vorlink-map-bench [STATIONS [POSITIONS]] [--save FILE] [--frames N] [--pans N] [--live-only]
#include <QApplication>
#include <QBuffer>
#include <QDateTime>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <ctime>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "aprs_sample.h"
#include "decode/frame_text.h"
#include "store/frame_store.h"
#include "sample_stream.h"
#include "ui/base_map.h"
#include "ui/map_view.h"
#include "ui/map_window.h"
#include "ui/tile_layer.h"

namespace {

constexpr std::int64_t kNow = 1'800'000'000'000;
constexpr int kFramesPerZoom = 60;  // or --pans N
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

// A flood: every report of every station anywhere on earth, so each track
// is a string of jumps across the world. Or a swarm: every report a jump of
// up to kSwarmStepDegrees from the last, round Europe, as long as a track
// may jump unbroken, so a frame holds as many long lines as it can.
constexpr double kSwarmStepDegrees = 0.3;

vorlink::TrackStore GenerateFlood(std::size_t stations, std::size_t positions, bool swarm) {
  vorlink::TrackStore store;
  std::mt19937 random(11);
  std::uniform_real_distribution<double> lat(-85, 85), lon(-180, 180), near(-2, 2),
      step(-kSwarmStepDegrees, kSwarmStepDegrees);
  const std::size_t each = std::max<std::size_t>(positions / stations, 1);
  for (std::size_t s = 0; s < stations; ++s) {
    vorlink::StationReport r;
    r.name = "FL" + std::to_string(s);
    r.symbolCode = kSymbols[s % (sizeof kSymbols - 1)];
    r.position = {48 + near(random), 10 + near(random)};
    for (std::size_t k = 0; k < each; ++k) {
      r.position = swarm ? vorlink::GeoPoint{r.position.latitude + step(random), r.position.longitude + step(random)}
                         : vorlink::GeoPoint{lat(random), lon(random)};
      r.time = kNow - static_cast<std::int64_t>((each - k) * 7'200'000 / each);
      store.Add(r);
    }
  }
  return store;
}

// Panning at each zoom: the first frame at the zoom (which builds its track
// lines) alone, then `pans` frames each moved a few pixels.
void PanFigures(vorlink::MapView& view, QImage& frame, std::initializer_list<int> zooms, vorlink::GeoPoint centre,
                int pans) {
  QElapsedTimer clock;
  for (const int zoom : zooms) {
    view.SetZoom(zoom);
    view.CentreOn(centre);
    clock.start();
    view.render(&frame);  // the base map projected and the track lines built at this zoom
    const double firstMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    std::vector<double> wall, cpu;
    for (int i = 0; i < pans; ++i) {
      const vorlink::GeoPoint at = view.PointAt(QPointF(640 + kPanPixels, 400 + kPanPixels / 2));
      view.CentreOn(at);
      clock.restart();
      const double cpuStart = CpuMs();
      view.render(&frame);
      cpu.push_back(CpuMs() - cpuStart);
      wall.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    const Figures w = Summary(wall), c = Summary(cpu);
    std::printf("zoom %2d: wall %.1f ms mean, %.1f ms 95th percentile, %.1f ms worst; "
                "CPU %.1f / %.1f / %.1f ms per frame; first frame %.1f ms\n", zoom, w.mean, w.p95, w.worst,
                c.mean, c.p95, c.worst, firstMs);
  }
}

// The frames of a live store: APRS reports of every kind from kSenders
// stations, some via a digipeater, arriving over the last two hours; the
// last one a plain position, so the map has read them all when its newest
// report is that frame's.
constexpr std::size_t kSenders = 10'000;
constexpr std::size_t kDistinctPayloads = 4096;
constexpr std::int64_t kSpreadMs = 7'200'000;
constexpr std::uint64_t kAprsSeed = 0x4D4150;

std::int64_t FillStore(vorlink::FrameStore& store, std::size_t frames, std::int64_t now) {
  namespace sample = vorlink::sample;
  const auto payloads = sample::AprsSamples(kDistinctPayloads, kAprsSeed);
  vorlink::FrameText text;
  const vorlink::DisplayOptions options{};
  std::vector<std::uint8_t> kiss;
  std::int64_t arrival = now;
  for (std::size_t k = 0; k < frames; ++k) {
    const bool last = k + 1 == frames;
    const sample::AprsSample& payload = payloads[k % payloads.size()];
    sample::Ax25Frame frame;
    frame.destination = sample::Address(last ? "APRS" : payload.destination);
    frame.source = sample::Address("N" + std::to_string(k % kSenders), static_cast<int>(k % 16));
    if (k % 3 == 0) frame.digipeaters.emplace_back("WIDE1", 1, true);
    frame.info = sample::Bytes(last ? "!4903.50N/00815.00E-" : payload.info);
    kiss.clear();
    sample::AppendKissFrame(kiss, 0, sample::EncodeAx25(frame));
    arrival = now - kSpreadMs + static_cast<std::int64_t>(k * kSpreadMs / frames);
    const int lines = text.Make(kiss, vorlink::DateTime{}, options, nullptr);
    store.Append(kiss, arrival, options, text.LastLeftovers(), lines);
  }
  return arrival;
}

// The longest gap between two turns of the event loop while an action runs
// to its end.
struct Stall {
  double longestMs = 0;
  double doneMs = 0;
  int over100Ms = 0;  // turns longer than the operator notices
};

constexpr qint64 kNoticedStallNs = 100'000'000;

Stall MeasureStall(const std::function<void()>& start, const std::function<bool()>& done) {
  QElapsedTimer clock;
  qint64 last = 0, longest = 0;
  int over = 0;
  QTimer beat;
  beat.setInterval(0);
  QObject::connect(&beat, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    longest = std::max(longest, now - last);
    over += now - last > kNoticedStallNs ? 1 : 0;
    last = now;
  });
  bool started = false;
  clock.start();
  QTimer::singleShot(0, [&] {
    start();
    started = true;
  });
  beat.start();
  while (!started || !done()) QApplication::processEvents();
  return {static_cast<double>(longest) / 1e6, static_cast<double>(clock.nsecsElapsed()) / 1e6, over};
}

constexpr int kLiveReports = 100;
constexpr int kLiveEveryMs = 100;
constexpr int kLivePanEveryMs = 20;
constexpr qint64 kLivePhaseMs = 3000;

// Reports of existing stations, each a short step from its last position,
// arriving while the view pans; a zoom change now and then when `zooms` has
// more than one.
void LivePhase(vorlink::TrackStore& store, vorlink::MapView& view, std::mt19937& random,
               std::initializer_list<int> zooms, const char* what) {
  std::uniform_int_distribution<std::size_t> pick(0, store.Size() - 1);
  std::uniform_real_distribution<double> step(-0.01, 0.01);
  QElapsedTimer clock;
  QTimer reports, pan;
  QObject::connect(&reports, &QTimer::timeout, [&] {
    for (int k = 0; k < kLiveReports; ++k) {
      vorlink::StationReport r = store.At(pick(random)).last;
      r.position = {r.position.latitude + step(random), r.position.longitude + step(random)};
      r.time = std::max(store.Newest() + 1, r.time + 1);
      store.Add(r);
    }
    view.SetNow(store.Newest());
    view.StationsChanged();
  });
  QObject::connect(&pan, &QTimer::timeout, [&] {
    const auto phase = static_cast<std::size_t>(clock.elapsed() * static_cast<qint64>(zooms.size()) / kLivePhaseMs);
    view.SetZoom(zooms.begin()[std::min(phase, zooms.size() - 1)]);
    view.CentreOn(view.PointAt(QPointF(view.width() / 2.0 + kPanPixels, view.height() / 2.0 + kPanPixels / 2)));
  });
  const std::size_t before = store.StoredPoints();
  const Stall stall = MeasureStall(
      [&] {
        clock.start();
        reports.start(kLiveEveryMs);
        pan.start(kLivePanEveryMs);
      },
      [&] { return clock.isValid() && clock.elapsed() >= kLivePhaseMs; });
  std::printf("live, %s: longest event-loop stall %.1f ms, %d stalls over 100 ms (%zu positions added)\n", what,
              stall.longestMs, stall.over100Ms, store.StoredPoints() - before);
}

void LiveBench(std::size_t stations, std::size_t positions, vorlink::BaseMap& base) {
  vorlink::TrackStore store = Generate(stations, positions);
  vorlink::MapView view(store, base);
  view.resize(1280, 800);
  view.SetNow(kNow);
  view.SetLook({vorlink::GeoPoint{50, 8}, {10, 25, 50, 100}, 7'200'000});
  view.SetZoom(10);
  view.CentreOn({48, 10});
  view.show();
  QImage frame(view.size(), QImage::Format_ARGB32_Premultiplied);
  view.render(&frame);  // projected and built before the clock starts
  std::printf("\nlive: %zu stations, %zu positions, %d new reports every %d ms, panned every %d ms\n",
              store.Size(), store.StoredPoints(), kLiveReports, kLiveEveryMs, kLivePanEveryMs);
  std::mt19937 random(13);
  LivePhase(store, view, random, {10}, "panning at zoom 10");
  LivePhase(store, view, random, {9, 10, 11}, "zooming 9, 10, 11");
}

void OpenWindowBench(std::size_t frames) {
  vorlink::FrameStore store;
  QElapsedTimer clock;
  clock.start();
  const std::int64_t newest = FillStore(store, frames, QDateTime::currentMSecsSinceEpoch());
  std::printf("\nlive store of %zu frames with APRS reports, filled in %lld ms\n", store.Size(),
              static_cast<long long>(clock.elapsed()));
  std::unique_ptr<vorlink::MapWindow> window;
  double shownMs = 0;
  const Stall stall = MeasureStall(
      [&] {
        QElapsedTimer shown;
        shown.start();
        window = std::make_unique<vorlink::MapWindow>(store, vorlink::MapWindowSetup{});
        window->show();
        shownMs = static_cast<double>(shown.nsecsElapsed()) / 1e6;
      },
      [&] { return window && window->Stations().Newest() == newest; });
  std::printf("map window: shown after %.1f ms, all frames read after %.1f ms, "
              "longest event-loop stall %.1f ms, %d stalls over 100 ms (%zu stations, %zu positions)\n",
              shownMs, stall.doneMs, stall.longestMs, stall.over100Ms, window->Stations().Size(),
              window->Stations().StoredPoints());
}

// Answers every GET with the same small PNG, fresh for a day; counts them.
class TileServer {
 public:
  TileServer() {
    QImage tile(vorlink::kTilePixels, vorlink::kTilePixels, QImage::Format_RGB32);
    tile.fill(Qt::darkGreen);
    QBuffer buffer(&png_);
    buffer.open(QIODevice::WriteOnly);
    tile.save(&buffer, "PNG");
    server_.listen(QHostAddress::LocalHost);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        auto pending = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, pending] {
          *pending += socket->readAll();
          for (qsizetype end; (end = pending->indexOf("\r\n\r\n")) >= 0; pending->remove(0, end + 4)) {
            ++requests_;
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nCache-Control: max-age=86400\r\n"
                          "Content-Length: " + QByteArray::number(png_.size()) + "\r\n\r\n" + png_);
          }
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
      }
    });
  }
  QString Template() const { return QString("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(server_.serverPort()); }
  int Requests() const { return requests_; }

 private:
  QTcpServer server_;
  QByteArray png_;
  int requests_ = 0;
};

constexpr int kTileZoom = 12;
constexpr int kPanSteps = 80;
constexpr int kPanStepPixels = 128;
constexpr int kTileWaitMs = 5000;

// East kPanSteps steps and back, each step painted and its tiles let arrive.
void PanPass(vorlink::MapWindow& window, const QString& name, const TileServer& server) {
  vorlink::MapView& view = window.View();
  const int before = server.Requests();
  QElapsedTimer clock;
  clock.start();
  for (const int direction : {1, -1}) {
    for (int step = 0; step < kPanSteps; ++step) {
      const QPointF middle(view.width() / 2.0, view.height() / 2.0);
      view.CentreOn(view.PointAt(middle + QPointF(direction * kPanStepPixels, 0)));
      view.repaint();
      QElapsedTimer wait;
      wait.start();
      QApplication::processEvents();
      while (window.Tiles()->Pending() > 0 && wait.elapsed() < kTileWaitMs) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
      }
    }
  }
  const double minutes = static_cast<double>(clock.nsecsElapsed()) / 6e10;
  const int requests = server.Requests() - before;
  std::printf("%-34s %5d tile requests in %.2f s: %.0f tiles fetched per minute\n",
              name.toUtf8().constData(), requests, minutes * 60, requests / minutes);
}

void TileBench() {
  TileServer server;
  QTemporaryDir cache;
  const vorlink::FrameStore empty;
  vorlink::MapWindowSetup setup;
  setup.settings.onlineTiles = true;
  setup.tileUrlForThisRun = server.Template().toStdString();
  setup.tileCacheFolder = cache.path();
  std::printf("\nonline tiles from %s, zoom %d, %d steps of %d pixels east and back per pass, "
              "each step's tiles let arrive\n", server.Template().toUtf8().constData(), kTileZoom,
              kPanSteps, kPanStepPixels);
  for (const char* opening : {"", " (window reopened)"}) {
    vorlink::MapWindow window(empty, setup);
    window.show();
    window.View().SetZoom(kTileZoom);
    window.View().CentreOn({50, 8});
    const bool first = *opening == '\0';
    for (int pass = 1; pass <= (first ? 3 : 1); ++pass) {
      PanPass(window, first && pass == 1 ? QString("first pass")
                                         : QString("repeat%1").arg(opening), server);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string save;
  if (const auto it = std::find(args.begin(), args.end(), "--save"); it != args.end() && it + 1 != args.end()) {
    save = *(it + 1);
    args.erase(it, it + 2);
  }
  const auto liveOnly = std::find(args.begin(), args.end(), "--live-only");
  const bool onlyLive = liveOnly != args.end();
  if (onlyLive) args.erase(liveOnly);
  std::size_t frames = 1'000'000;
  if (const auto it = std::find(args.begin(), args.end(), "--frames"); it != args.end() && it + 1 != args.end()) {
    frames = std::strtoull((it + 1)->c_str(), nullptr, 10);
    args.erase(it, it + 2);
  }
  int pans = kFramesPerZoom;
  if (const auto it = std::find(args.begin(), args.end(), "--pans"); it != args.end() && it + 1 != args.end()) {
    pans = std::max(1, std::atoi((it + 1)->c_str()));
    args.erase(it, it + 2);
  }
  const std::size_t stations = args.size() > 0 ? std::strtoull(args[0].c_str(), nullptr, 10) : 10'000;
  const std::size_t positions = args.size() > 1 ? std::strtoull(args[1].c_str(), nullptr, 10) : 1'000'000;
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);

  if (onlyLive) {
    vorlink::BaseMap base;
    LiveBench(stations, positions, base);
    return 0;
  }
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
  view.SetLook({vorlink::GeoPoint{50, 8}, {10, 25, 50, 100}, 7'200'000});
  QImage frame(view.size(), QImage::Format_ARGB32_Premultiplied);

  clock.restart();
  view.render(&frame);  // the first frame projects every track
  std::printf("first frame (projecting the tracks): %lld ms\n", static_cast<long long>(clock.elapsed()));
  PanFigures(view, frame, {3, 5, 7, 10}, {48, 10}, pans);
  if (!save.empty()) frame.save(QString::fromStdString(save));

  const struct {
    bool swarm;
    const char* what;
    std::initializer_list<int> zooms;
    vorlink::GeoPoint centre;
  } floods[] = {
      {false, "flood: %zu stations, %zu positions anywhere on earth", {0, 1, 2, 3, 4, 5}, {20, 0}},
      {true, "swarm: %zu stations, %zu positions each a jump from the last", {3, 5, 7, 8, 9, 10}, {48, 10}},
  };
  for (const auto& flood : floods) {
    clock.restart();
    const vorlink::TrackStore crowd = GenerateFlood(stations, positions, flood.swarm);
    std::printf("\n");
    std::printf(flood.what, crowd.Size(), crowd.StoredPoints());
    std::printf(", generated in %lld ms\n", static_cast<long long>(clock.elapsed()));
    vorlink::MapView floodView(crowd, base);
    floodView.resize(view.size());
    floodView.SetNow(kNow);
    floodView.SetLook({vorlink::GeoPoint{50, 8}, {10, 25, 50, 100}, 7'200'000});
    clock.restart();
    floodView.render(&frame);
    std::printf("first frame (projecting the tracks): %lld ms\n", static_cast<long long>(clock.elapsed()));
    PanFigures(floodView, frame, flood.zooms, flood.centre, pans);
  }
  LiveBench(stations, positions, base);
  if (frames > 0) OpenWindowBench(frames);
  TileBench();
  return 0;
}
