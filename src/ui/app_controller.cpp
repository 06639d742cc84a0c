#include "ui/app_controller.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QVBoxLayout>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <vector>

#include "app/config_file.h"
#include "app/qt_station_config.h"
#include "base/utc.h"
#include "app/device_links.h"
#include "link/qt_serial_devices.h"
#include "store/message_feed.h"
#include "ui/about_window.h"
#include "ui/connect_dialog.h"
#include "ui/session_window.h"
#include "ui/session_windows.h"
#include "ui/aprs_messages_window.h"
#include "ui/frame_browser.h"
#include "ui/heard_view.h"
#include "ui/main_window.h"
#include "ui/map_window.h"
#include "ui/messages_window.h"
#include "ui/own_station_dialog.h"
#include "ui/setup_dialog.h"
#include "ui/statistics_window.h"
#include "ui/tile_layer.h"
#include "ui/window_place.h"

namespace vorlink {
namespace {
// Acks want to go soon after the message: the center is fed and polled
// once a second, a slice of frames at a time while the store is far ahead.
constexpr int kMessagePollMs = 1000;
constexpr std::size_t kMessageFeedSlice = 20'000;
}  // namespace

void CentreOnScreen(QWidget& window) {
  window.adjustSize();
  const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}

// Raises a window that exists and hands it the focus.
static void BringToFront(QWidget& window) {
  window.show();
  window.raise();
  window.activateWindow();
}

AppController::AppController(Station& station, Clock& clock, std::uint16_t timeServerPort)
    : station_(station),
      clock_(clock),
      timeServerPort_(timeServerPort),
      machineDevices_(std::make_unique<QtSerialDevices>()),
      devices_(machineDevices_.get()),
      sessions_(std::make_unique<SessionWindows>(station.config.ax25.link, clock, status_,
                                                 station.programFolder)),
      messageCenter_(std::make_unique<MessageCenter>(clock, AprsSend{})),
      messageFeed_(std::make_unique<MessageFeed>(station.frames)) {
  sessions_->Sessions().SetOwnCall(OwnAddress(station.config.station));
  connect(sessions_.get(), &SessionWindows::WindowOpened, this, [this](SessionWindow* window) {
    Track(window);
    CentreOnScreen(*window);
  });
  connect(sessions_.get(), &SessionWindows::FramesWanted, this,
          [this](const QString& own, const QString& remote) { OpenFrames().FilterByLink(own, remote); });
  messageCenter_->SetOwnCallsign(station_.config.station.callsign);
  messageCenter_->SetIncomingListener([this](const std::string& from, const ThreadLine& line) {
    AnnounceMessage(from, line.text);
  });
  messageTimer_ = new QTimer(this);
  messageTimer_->setInterval(kMessagePollMs);
  connect(messageTimer_, &QTimer::timeout, this, &AppController::FeedMessageCenter);
  messageTimer_->start();
}

void AppController::ControllerStatus::SetSimpleText(std::string_view text) {
  if (owner_.main_) {
    static_cast<StatusLine&>(*owner_.main_).SetSimpleText(text);
  } else {
    owner_.station_.messages.Add(UtcNow(owner_.clock_), text);
  }
}

void AppController::UseLinkSender(FrameSink& sender, std::function<bool()> transmitOn) {
  sessions_->Route().SetSender(&sender);
  transmitOn_ = std::move(transmitOn);
}

OwnSender* AppController::Sender() { return main_ ? &main_->Session().Sender() : nullptr; }

// The data links and the APRS messages transmit through the station
// session's one sender, and only while it would send.
void AppController::UseOwnSender() {
  linkSink_ = std::make_unique<OwnSenderLinkSink>([this] { return Sender(); });
  UseLinkSender(*linkSink_, [this] { return Sender() != nullptr && !Sender()->Refusal(); });
  SetAprsSend([this](std::string_view info) {
    OwnSender* sender = Sender();
    return sender ? AprsResultOf(sender->SendAprs(info)) : AprsSendResult::TransmitOff;
  });
}

void AppController::FeedMessageCenter() {
  messageFeed_->CatchUp(station_.frames, *messageCenter_, kMessageFeedSlice);
  messageCenter_->Poll();
}

void AppController::AnnounceMessage(const std::string& from, const std::string& text) {
  const QString shown = QString("Message from %1: %2").arg(QString::fromStdString(from),
                                                           QString::fromStdString(text));
  if (main_) {
    static_cast<StatusLine&>(*main_).SetSimpleText(shown.toStdString());
  } else {
    station_.messages.Add(UtcNow(clock_), shown.toStdString());
  }
  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    if (!tray_) {
      tray_ = new QSystemTrayIcon(QApplication::windowIcon(), this);
      tray_->setToolTip("VORLINK");
      tray_->show();
    }
    tray_->showMessage("APRS message from " + QString::fromStdString(from),
                       QString::fromStdString(text));
  }
  if (!station_.config.aprsMessagesQuiet) QApplication::beep();
}

AppController::~AppController() {
  sessions_.reset();
  // Windows still open when the process ends unload like any other.
  for (QWidget* w : {static_cast<QWidget*>(main_), static_cast<QWidget*>(setup_),
                     static_cast<QWidget*>(statistics_), static_cast<QWidget*>(about_),
                     static_cast<QWidget*>(messages_), static_cast<QWidget*>(frames_),
                     static_cast<QWidget*>(heard_), static_cast<QWidget*>(map_),
                     static_cast<QWidget*>(aprsMessages_), static_cast<QWidget*>(stationDialog_),
                     static_cast<QWidget*>(connectDialog_)}) {
    delete w;
  }
  for (const QPointer<QWidget>& w : viewers_) delete w;
}

void AppController::Start() { ShowMainWindow(); }

MainWindow* AppController::Main() const { return main_; }
SetupDialog* AppController::Setup() const { return setup_; }
StatisticsWindow* AppController::Statistics() const { return statistics_; }
AboutWindow* AppController::About() const { return about_; }
MessagesWindow* AppController::Messages() const { return messages_; }
FrameBrowser* AppController::Frames() const { return frames_; }

void AppController::Exit() {
  CloseAll();
  End();
}

void AppController::End() {
  if (ended_) return;
  ended_ = true;
  emit Ended();
}

void AppController::CloseAll() {
  for (QWidget* w : {static_cast<QWidget*>(setup_), static_cast<QWidget*>(statistics_),
                     static_cast<QWidget*>(about_), static_cast<QWidget*>(messages_),
                     static_cast<QWidget*>(frames_), static_cast<QWidget*>(heard_),
                     static_cast<QWidget*>(map_), static_cast<QWidget*>(aprsMessages_),
                     static_cast<QWidget*>(stationDialog_), static_cast<QWidget*>(connectDialog_),
                     static_cast<QWidget*>(main_)}) {
    if (w != nullptr) w->close();
  }
  sessions_->CloseAll();
  for (const QPointer<QWidget>& w : viewers_) {
    if (w) w->close();
  }
}

void AppController::Track(QWidget* window) {
  connect(window, &QObject::destroyed, this, [this] {
    // QPointer clears only after destroyed() has run; look again afterwards.
    QTimer::singleShot(0, this, &AppController::CheckWindowsLeft);
  });
}

void AppController::CheckWindowsLeft() {
  viewers_.removeAll(nullptr);
  if (!main_ && !setup_ && !statistics_ && !about_ && !messages_ && !frames_ && !heard_ && !map_ &&
      !aprsMessages_ && !stationDialog_ && !connectDialog_ && viewers_.isEmpty() &&
      sessions_->Windows().isEmpty()) {
    End();
  }
}

void AppController::ShowMainWindow() {
  auto* window = new MainWindow(WindowEnvironment{station_, clock_, timeServerPort_});
  window->setAttribute(Qt::WA_DeleteOnClose);
  main_ = window;
  Track(window);
  connect(window, &MainWindow::ExitRequested, this, &AppController::Exit);
  connect(window, &MainWindow::SetupDialogRequested, this, &AppController::OpenSetupDialog);
  connect(window, &MainWindow::StatisticsRequested, this, &AppController::OpenStatistics);
  connect(window, &MainWindow::AboutRequested, this, &AppController::OpenAbout);
  connect(window, &MainWindow::MessagesRequested, this, &AppController::OpenMessages);
  connect(window, &MainWindow::FramesRequested, this, [this] { OpenFrames(); });
  connect(window, &MainWindow::HeardRequested, this, [this] { OpenHeard(); });
  connect(window, &MainWindow::MapRequested, this, [this] { OpenMap(); });
  connect(window, &MainWindow::AprsMessagesRequested, this, [this] { OpenAprsMessages(); });
  connect(window, &MainWindow::StationDialogRequested, this, [this] { OpenStationDialog(); });
  connect(window, &MainWindow::ConfigChanged, this, &AppController::SaveConfig);
  connect(window, &MainWindow::ConnectRequested, this, [this] { OpenConnectDialog(); });
  window->SetAx25Listener(&sessions_->Sessions());
  UseOwnSender();
  connect(window, &MainWindow::OpenCaptureRequested, this, [this] {
    const QString file = QFileDialog::getOpenFileName(
        main_, "Open Capture", QString::fromStdString(station_.programFolder.string()),
        "KISS captures (*.kss);;All files (*)");
    if (!file.isEmpty()) OpenCapture(file);
  });
  const bool dialogWasOpen = setup_;
  window->Load();
  CentreOnScreen(*window);
  window->show();
  // A dialog opened by the start-up keeps the focus over the new window.
  if (!dialogWasOpen && setup_) BringToFront(*setup_);
}

// A secondary window: deleted when closed, watched, and centred.
template <typename Window>
Window* AppController::Adopt(Window* window) {
  window->setAttribute(Qt::WA_DeleteOnClose);
  Track(window);
  CentreOnScreen(*window);
  return window;
}

// A secondary window that comes back where the operator left it.
template <typename Window>
Window* AppController::AdoptPlaced(Window* window, WindowPlace StationConfig::*place) {
  window->setAttribute(Qt::WA_DeleteOnClose);
  Track(window);
  PlaceWindow(*window, station_.config.*place);
  KeepPlaceOnClose(*window, [this, place](const WindowPlace& left) {
    if (station_.config.*place == left) return;
    station_.config.*place = left;
    SaveConfig();
  });
  return window;
}

void AppController::SaveConfig() {
  if (WriteStationConfig(station_.workingFolder, station_.config)) return;
  const std::string text = "cannot save " + std::string(kConfFileName);
  if (main_) {
    static_cast<StatusLine&>(*main_).SetSimpleText(text);
  } else {
    station_.messages.Add(UtcNow(clock_), text);
  }
}

void AppController::OpenSetupDialog(bool withFocus) {
  if (setup_) {
    BringToFront(*setup_);
    return;
  }
  setup_ = Adopt(new SetupDialog());
  setup_->SetLinkChoice(station_.config.link);
  setup_->SetSharing(station_.config.kissServer);
  setup_->SetDeviceSource(devices_);
  connect(setup_, &SetupDialog::PortLinesChosen, this, &AppController::ApplyPortLines);
  if (withFocus) {
    BringToFront(*setup_);
  } else {
    setup_->show();
  }
}

void AppController::ApplyPortLines(const std::string& incoming, const std::string& outgoing) {
  SavePortLines(station_.workingFolder, station_.settings, incoming, outgoing);
  DeviceChoice devices;
  if (setup_) {
    devices = setup_->ChosenDevices();
    station_.config.link = setup_->ChosenLink();
    // What the operator chose now wins over --kiss-tcp.
    station_.kissTcpForThisRun.reset();
    station_.config.kissServer = setup_->ChosenSharing();
    station_.kissServerForThisRun.reset();
    SaveConfig();
  }
  if (setup_) setup_->close();
  if (main_) {
    // Shut down now, before the new window starts up on the same ports.
    main_->Unload();
    main_->close();
    main_ = nullptr;
  }
  // After the old window let go of its ports, before the new one opens them.
  const std::vector<std::string> problems =
      ApplyDeviceChoice(station_.workingFolder, incoming, outgoing, devices);
  ShowMainWindow();
  // Last, over the start-up's own texts.
  StatusLine& status = *main_;
  for (const std::string& problem : problems) status.SetSimpleText(problem);
}

void AppController::OpenStatistics() {
  if (statistics_) {
    BringToFront(*statistics_);
    return;
  }
  std::optional<KissServerFigures> sharing;
  if (station_.KissServerSetting().on) sharing = station_.kissServerFigures;
  statistics_ = Adopt(new StatisticsWindow(station_.counters, sharing));
  statistics_->show();
}

void AppController::OpenMessages() {
  if (messages_) {
    BringToFront(*messages_);
    return;
  }
  messages_ = AdoptPlaced(new MessagesWindow(station_.messages), &StationConfig::messages);
  messages_->show();
}

void AppController::OpenAbout() {
  if (about_) {
    BringToFront(*about_);
    return;
  }
  about_ = Adopt(new AboutWindow());
  about_->show();
}

FrameBrowser& AppController::OpenFrames() {
  if (frames_) {
    BringToFront(*frames_);
    return *frames_;
  }
  frames_ = AdoptPlaced(new FrameBrowser(station_.frames), &StationConfig::frames);
  frames_->SetOwnStation(station_.config.station);
  frames_->show();
  return *frames_;
}

QWidget& AppController::OpenHeard() {
  if (heard_) {
    BringToFront(*heard_);
    return *heard_;
  }
  auto* window = new QWidget;
  window->setObjectName("HeardWindow");
  window->setWindowTitle("Heard Stations");
  auto* view = new HeardView(station_.frames, false, window);
  view->SetFrom(station_.config.station.position);
  (new QVBoxLayout(window))->addWidget(view);
  connect(view, &HeardView::CallsignChosen, this,
          [this](const QString& callsign) { OpenFrames().FilterBySource(callsign); });
  connect(view, &HeardView::StationSelected, this, [this](const QString& callsign) {
    if (map_) map_->CentreOnStation(callsign);
  });
  heard_ = AdoptPlaced(window, &StationConfig::heard);
  heard_->show();
  return *heard_;
}

MapWindow& AppController::OpenMap() {
  if (map_) {
    BringToFront(*map_);
    return *map_;
  }
  map_ = AdoptPlaced(new MapWindow(station_.frames,
                                   {station_.config.map, station_.tileUrlForThisRun,
                                    TileCacheFolder(), false, station_.config.station.position}),
                     &StationConfig::mapWindow);
  connect(map_, &MapWindow::SettingsChanged, this, [this](const MapSettings& settings) {
    if (station_.config.map == settings) return;
    station_.config.map = settings;
    SaveConfig();
  });
  connect(map_, &MapWindow::FramesWanted, this,
          [this](const QString& callsign) { OpenFrames().FilterBySource(callsign); });
  map_->SetObjects(station_.config.objects);
  connect(map_, &MapWindow::ObjectPlaced, this, &AppController::PlaceObject);
  connect(map_, &MapWindow::ObjectKilled, this,
          [this](const QString& name) { KillObject(name.toStdString()); });
  map_->show();
  return *map_;
}

AprsMessagesWindow& AppController::OpenAprsMessages() {
  if (aprsMessages_) {
    BringToFront(*aprsMessages_);
    return *aprsMessages_;
  }
  aprsMessages_ = Adopt(new AprsMessagesWindow(station_.frames, messageCenter_.get()));
  aprsMessages_->SetOwnCallsign(station_.config.station.callsign);
  aprsMessages_->show();
  return *aprsMessages_;
}

FrameBrowser& AppController::OpenCapture(const QString& file) {
  auto* viewer = AdoptPlaced(new FrameBrowser(), &StationConfig::frames);
  viewer->SetOwnStation(station_.config.station);
  viewers_.append(viewer);
  viewer->show();
  viewer->OpenCapture(file.toStdString());
  return *viewer;
}

OwnStationDialog& AppController::OpenStationDialog() {
  if (stationDialog_) {
    BringToFront(*stationDialog_);
    return *stationDialog_;
  }
  stationDialog_ = Adopt(new OwnStationDialog(station_.config.station, station_.config.beacon));
  connect(stationDialog_, &OwnStationDialog::StationChosen, this, &AppController::ApplyOwnStation);
  connect(stationDialog_, &OwnStationDialog::BeaconChosen, this, &AppController::ApplyBeacon);
  stationDialog_->show();
  return *stationDialog_;
}

void AppController::ApplyOwnStation(const OwnStation& station) {
  if (station == station_.config.station) return;
  station_.config.station = station;
  SaveConfig();
  if (main_) {
    main_->Session().Sender().SetStation(station);
    main_->Session().SetBeacon(station_.config.beacon, station.position);
  }
  if (frames_) frames_->SetOwnStation(station);
  for (const QPointer<QWidget>& w : viewers_) {
    if (auto* viewer = qobject_cast<FrameBrowser*>(w.data())) viewer->SetOwnStation(station);
  }
  if (heard_) {
    if (auto* view = heard_->findChild<HeardView*>()) view->SetFrom(station.position);
  }
  if (aprsMessages_) aprsMessages_->SetOwnCallsign(station.callsign);
  sessions_->Sessions().SetOwnCall(OwnAddress(station));
  messageCenter_->SetOwnCallsign(station.callsign);
  if (map_) map_->SetOwnPosition(station.position);
}

ConnectDialog& AppController::OpenConnectDialog() {
  if (connectDialog_) {
    BringToFront(*connectDialog_);
    return *connectDialog_;
  }
  connectDialog_ = Adopt(new ConnectDialog(SendBlocker(station_.config.station, transmitOn_()),
                                           station_.config.ax25.link.version22));
  connect(connectDialog_, &ConnectDialog::ConnectChosen, this, &AppController::ApplyConnectRequest);
  connectDialog_->show();
  return *connectDialog_;
}

void AppController::ApplyConnectRequest(const ConnectRequest& request) {
  std::string problem;
  if (sessions_->Connect(request, problem) == nullptr) {
    if (connectDialog_) connectDialog_->ShowProblem(problem);
    return;
  }
  if (connectDialog_) connectDialog_->close();
}

void AppController::ApplyBeacon(const BeaconSettings& beacon) {
  if (beacon == station_.config.beacon) return;
  station_.config.beacon = beacon;
  SaveConfig();
  if (main_) main_->Session().SetBeacon(beacon, station_.config.station.position);
}

// The session beacons objects; the live ones are kept in vorlink.conf.
void AppController::PlaceObject(const OwnObject& object) {
  std::string why;
  if (main_ && !main_->Session().PlaceObject(object, &why)) {
    static_cast<StatusLine&>(*main_).SetSimpleText(why);
    return;
  }
  if (!main_) {
    auto& kept = station_.config.objects;
    std::erase_if(kept, [&](const OwnObject& o) { return o.name == object.name; });
    if (kept.size() < kMostObjects) kept.push_back(object);
  }
  KeepObjects();
}

void AppController::KillObject(const std::string& name) {
  if (main_) main_->Session().KillObject(name);
  std::erase_if(station_.config.objects, [&](const OwnObject& o) { return o.name == name; });
  KeepObjects();
}

void AppController::KeepObjects() {
  if (main_) station_.config.objects = main_->Session().LiveObjects();
  SaveConfig();
  if (map_) map_->SetObjects(station_.config.objects);
}

}  // namespace vorlink
