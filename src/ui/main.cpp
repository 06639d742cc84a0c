// VORLINK: the desktop program. SIGINT, SIGTERM and SIGHUP end it as File >
// Exit does: every window closes, the shut-down sequence runs once (captures
// closed, exit script sent, configuration saved) and the lock goes, when the
// desktop session ends or the process is told to stop. A second VORLINK in a
// folder that a running one uses, or one that cannot lock its folders,
// touches nothing and ends with status 1.
//
// The options are read before Qt starts, so --help and --version answer
// without a display; Qt's own options (-platform, -style) are not taken, its
// environment variables are.
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <cstdio>
#include <string_view>
#include <vector>

#include "app/folder_lock.h"
#include "app/program_options.h"
#include "app/qt_station_config.h"
#include "app/station.h"
#include "base/system_clock.h"
#include "base/utc.h"
#include "link/qt_serial_devices.h"
#include "ui/app_controller.h"
#include "ui/station_entry.h"

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

constexpr int kExitRefused = 1;

int RefuseStart(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  if (vorlink::OnDesktop()) QMessageBox::critical(nullptr, "Vorlink", QString::fromStdString(text));
  return kExitRefused;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const vorlink::CommandLine line = vorlink::ParseProgramOptions(args);
  vorlink::QtSerialDevices devices;
  if (const auto answered = vorlink::AnswerCommandLine(line, stdout, stderr, &devices)) {
    return *answered;
  }

  const int stopSignals = BlockStopSignals();
  // The arguments are the program's own.
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  app.setApplicationName("vorlink");
  app.setQuitOnLastWindowClosed(false);

  const auto folders = vorlink::EnterStation(line);
  if (!folders) return vorlink::kExitNoStation;
  vorlink::SystemClock clock;
  vorlink::Station station;
  station.programFolder = folders->programFolder;
  station.workingFolder = folders->workingFolder;
  station.config = vorlink::ReadStationConfig(station.workingFolder);
  station.kissTcpForThisRun = vorlink::KissTcpOption(line);
  station.kissServerForThisRun = vorlink::KissServerOption(line);
  station.messages.SetFile(station.workingFolder / vorlink::kMessageFileName);

  // Before any port or file is touched; held until the last file is written.
  const vorlink::FolderLock lock({station.workingFolder, station.programFolder});
  if (!lock.Refusal().empty()) return RefuseStart(lock.Refusal());
  for (const std::string& note : lock.TakenOver()) {
    std::fprintf(stderr, "vorlink: %s\n", note.c_str());
    station.messages.Add(vorlink::UtcNow(clock), note);
  }

  vorlink::AppController controller(station, clock);
  QObject::connect(&controller, &vorlink::AppController::Ended, &app, &QCoreApplication::quit);
  QSocketNotifier notifier(stopSignals, QSocketNotifier::Read);
  QObject::connect(&notifier, &QSocketNotifier::activated, &controller, [&] {
    signalfd_siginfo info;
    while (read(stopSignals, &info, sizeof info) == sizeof info) {
    }
    controller.Exit();
  });
  controller.Start();
  return app.exec();
}
