// VORLINK: the desktop program. SIGINT, SIGTERM and SIGHUP close the windows
// normally, so the shut-down sequence runs (captures closed, exit script
// sent, configuration saved) when the desktop session ends or the process is
// told to stop.
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <filesystem>

#include "app/station.h"
#include "base/system_clock.h"
#include "ui/app_controller.h"

namespace {

// Blocked in every thread and read from a descriptor, so the stop requests
// arrive as ordinary events on the GUI thread.
int BlockStopSignals() {
  sigset_t stopSet;
  sigemptyset(&stopSet);
  sigaddset(&stopSet, SIGINT);
  sigaddset(&stopSet, SIGTERM);
  sigaddset(&stopSet, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stopSet, nullptr);
  return signalfd(-1, &stopSet, SFD_NONBLOCK | SFD_CLOEXEC);
}

}  // namespace

int main(int argc, char** argv) {
  const int stopSignals = BlockStopSignals();
  QApplication app(argc, argv);
  app.setApplicationName("vorlink");
  app.setQuitOnLastWindowClosed(false);

  vorlink::SystemClock clock;
  vorlink::Station station;
  station.programFolder = QCoreApplication::applicationDirPath().toStdString();
  std::error_code ignored;
  station.workingFolder = std::filesystem::current_path(ignored);

  vorlink::AppController controller(station, clock);
  QObject::connect(&controller, &vorlink::AppController::LastWindowClosed, &app,
                   &QCoreApplication::quit);
  QSocketNotifier notifier(stopSignals, QSocketNotifier::Read);
  QObject::connect(&notifier, &QSocketNotifier::activated, &controller, [&] {
    signalfd_siginfo info;
    while (read(stopSignals, &info, sizeof info) == sizeof info) {
    }
    controller.CloseAll();
  });
  controller.Start();
  return app.exec();
}
