// The main window's menus: File, Options and Info as they always were, with
// Open Capture in File, the station's own position and callsign in Options,
// the View menu beside them, and Terminal for the connected-mode sessions.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "ui/main_window.h"

namespace vorlink {

void MainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("MnuFile");
  QAction* setup = file->addAction("TNC Setup");
  setup->setObjectName("MnuSetup");
  QAction* exit = file->addAction("&Exit");
  exit->setObjectName("MnuExit");

  QMenu* options = menuBar()->addMenu("&Options");
  options->setObjectName("MnuOptions");
  QAction* clear = options->addAction("Clear Counter");
  clear->setObjectName("MnuClear");
  mirrorAction_ = options->addAction("mirror incoming data from COM A to COM B");
  mirrorAction_->setObjectName("MnuMirror");
  mirrorAction_->setCheckable(true);
  QAction* hexFile = options->addAction("Write Payload to ASCII File (Hexdump)");
  hexFile->setObjectName("MnuDecodePayload");
  hexFile->setCheckable(true);
  hexFile->setChecked(true);
  QAction* station = options->addAction("Station...");
  station->setObjectName("MnuStation");

  BuildViewMenu(file, exit);

  QMenu* info = menuBar()->addMenu("&Info");
  info->setObjectName("MnuInfo");
  QAction* statistics = info->addAction("&Statistics");
  statistics->setObjectName("MnuStatistics");
  QAction* about = info->addAction("&About");
  about->setObjectName("MnuAbout");

  QMenu* terminal = menuBar()->addMenu("&Terminal");
  terminal->setObjectName("MnuTerminal");
  QAction* connectLink = terminal->addAction("Connect...");
  connectLink->setObjectName("MnuConnect");

  connect(setup, &QAction::triggered, this, [this] { emit SetupDialogRequested(false); });
  connect(exit, &QAction::triggered, this, &MainWindow::ExitRequested);
  connect(clear, &QAction::triggered, this, &MainWindow::ClearCounters);
  connect(mirrorAction_, &QAction::triggered, this, [this] { session_->ToggleMirror(); });
  connect(hexFile, &QAction::toggled, this, [this](bool on) { session_->Options().hexFile = on; });
  connect(station, &QAction::triggered, this, &MainWindow::StationDialogRequested);
  connect(statistics, &QAction::triggered, this, &MainWindow::StatisticsRequested);
  connect(about, &QAction::triggered, this, &MainWindow::AboutRequested);
  connect(connectLink, &QAction::triggered, this, &MainWindow::ConnectRequested);
}

void MainWindow::BuildViewMenu(QMenu* file, QAction* exit) {
  auto* openCapture = new QAction("Open Capture...", file);
  openCapture->setObjectName("MnuOpenCapture");
  file->insertAction(exit, openCapture);
  QMenu* view = menuBar()->addMenu("&View");
  view->setObjectName("MnuView");
  QAction* frames = view->addAction("&Frames");
  frames->setObjectName("MnuFrames");
  frames->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  QAction* heard = view->addAction("&Heard Stations");
  heard->setObjectName("MnuHeard");
  QAction* map = view->addAction("M&ap");
  map->setObjectName("MnuMap");
  QAction* messages = view->addAction("&Messages");
  messages->setObjectName("MnuMessages");
  QAction* aprsMessages = view->addAction("&APRS Messages");
  aprsMessages->setObjectName("MnuAprsMessages");
  connect(openCapture, &QAction::triggered, this, &MainWindow::OpenCaptureRequested);
  connect(frames, &QAction::triggered, this, &MainWindow::FramesRequested);
  connect(heard, &QAction::triggered, this, &MainWindow::HeardRequested);
  connect(map, &QAction::triggered, this, &MainWindow::MapRequested);
  connect(messages, &QAction::triggered, this, &MainWindow::MessagesRequested);
  connect(aprsMessages, &QAction::triggered, this, &MainWindow::AprsMessagesRequested);
}

}  // namespace vorlink
