// VORLINK: the desktop program. SIGINT, SIGTERM and SIGHUP close the windows
// normally, so the shut-down sequence runs (captures closed, exit script
// sent, configuration saved) when the desktop session ends or the process is
// told to stop. A second VORLINK in a folder that a running one uses touches
// nothing and ends with status 1.
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <cstdio>
#include <filesystem>

#include "app/station.h"
#include "base/system_clock.h"
#include "ui/app_controller.h"
#include "ui/folder_lock.h"

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

constexpr int kExitAlreadyRunning = 1;

// Under the offscreen and minimal platforms nobody could close a message box.
bool OnDesktop() {
  const QString platform = QGuiApplication::platformName();
  return platform != "offscreen" && platform != "minimal";
}

int RefuseSecondStart(qint64 holder) {
  const std::string text = vorlink::AlreadyRunningText(holder);
  std::fprintf(stderr, "%s\n", text.c_str());
  if (OnDesktop()) QMessageBox::critical(nullptr, "Vorlink", QString::fromStdString(text));
  return kExitAlreadyRunning;
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

  // Before any port or file is touched; held until the last file is written.
  const vorlink::FolderLock lock({station.workingFolder, station.programFolder});
  if (const auto holder = lock.Holder()) return RefuseSecondStart(*holder);

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
