// vorlink-stall-bench: the frame browser, offscreen, over a live store of
// 1,000,000 generated frames (or FRAMES). A zero-timer beats on every turn
// of the event loop; for each action the longest time between two beats is
// how long the window could not answer. Actions: settling (the stations
// heard catching up), find forward and backward for a text in no frame, a
// filter by source, and copying all frames.
//   build/bench/vorlink-stall-bench [FRAMES]
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QAbstractItemModel>
#include <QTableView>
#include <QStatusBar>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "store/capture_loader.h"
#include "sample_stream.h"
#include "ui/frame_browser.h"
#include "ui/frame_view.h"
#include "ui/heard_view.h"

namespace {

constexpr std::size_t kDefaultFrames = 1'000'000;
constexpr std::size_t kStep = 100'000;
constexpr std::uint64_t kSeed = 0x5354414C4C;

// The longest gap between two turns of the event loop while an action runs.
class Beat {
 public:
  Beat() {
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 now = clock_.nsecsElapsed();
      longest_ = std::max(longest_, now - last_);
      last_ = now;
    });
  }
  // Starts the action on the loop, so its own first slice counts too, and
  // runs the loop until it is done.
  void Measure(const char* name, const std::function<void()>& start,
               const std::function<bool()>& done, const std::function<QString()>& outcome) {
    clock_.start();
    last_ = 0;
    longest_ = 0;
    bool started = false;
    QTimer::singleShot(0, [&] {
      start();
      started = true;
    });
    timer_.start();
    while (!started || !done()) QApplication::processEvents();
    timer_.stop();
    std::printf("%-28s longest stall %7.1f ms, done after %6.2f s: %s\n", name,
                static_cast<double>(longest_) / 1e6, static_cast<double>(clock_.nsecsElapsed()) / 1e9,
                outcome().toUtf8().constData());
  }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = 0;
  qint64 longest_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::size_t frames = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : kDefaultFrames;
  if (frames == 0) {
    std::fputs("Usage: vorlink-stall-bench [FRAMES]\n", stderr);
    return 2;
  }
  vorlink::FrameStore store;
  vorlink::CaptureLoader loader(store, vorlink::DisplayOptions{});
  for (std::size_t done = 0; done < frames; done += kStep) {
    loader.Feed(vorlink::sample::GenerateStream(std::min(kStep, frames - done), kSeed + done));
  }
  std::printf("frame browser over %zu frames (%llu lines), offscreen\n", store.Size(),
              static_cast<unsigned long long>(store.LineCount()));

  Beat beat;
  vorlink::FrameBrowser* browser = nullptr;
  beat.Measure(
      "opening, heard list caught up",
      [&] {
        browser = new vorlink::FrameBrowser(store, {});
        browser->show();
      },
      [&] { return browser && browser->Heard().Table().model()->rowCount() > 0 &&
                   !browser->Heard().CatchingUp(); },
      [&] { return QString("%1 stations").arg(browser->Heard().Table().model()->rowCount()); });

  vorlink::FrameView& pane = browser->Pane();
  auto* find = browser->findChild<QLineEdit*>("FindText");
  find->setText("no such text anywhere");
  const auto status = [&] { return browser->statusBar()->currentMessage(); };
  const auto idle = [&] { return !pane.Working(); };
  beat.Measure("find forward, no match",
               [&] { browser->findChild<QPushButton*>("FindNext")->click(); }, idle, status);
  beat.Measure("find backward, no match",
               [&] { browser->findChild<QPushButton*>("FindPrevious")->click(); }, idle, status);

  beat.Measure(
      "filter From N0CALL*",
      [&] {
        browser->findChild<QLineEdit*>("FilterFrom")->setText("N0CALL*");
        browser->findChild<QPushButton*>("FilterApply")->click();
      },
      [&] { return !browser->Filtering(); }, [&] { return browser->StatusText(); });
  browser->findChild<QLineEdit*>("FilterFrom")->clear();
  browser->ApplyFilter();

  beat.Measure(
      "select all, copy",
      [&] {
        pane.SelectAll();
        pane.Copy();
      },
      idle,
      [&] {
        return QString("%1 characters on the clipboard; %2")
            .arg(QApplication::clipboard()->text().size())
            .arg(status().isEmpty() ? QString("all of it") : status());
      });
  delete browser;
  return 0;
}
