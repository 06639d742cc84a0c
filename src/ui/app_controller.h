// The windows of the process and their lifetimes: the main window (loaded,
// unloaded and loaded again when the setup dialog's OK applies new port
// lines), the setup dialog, the statistics and the about window, the
// messages, the frame browser, the stations heard, the capture viewers and
// the connected-mode sessions with their windows.
// Every window is non-modal; the process ends when its last window is
// closed, or at once on File > Exit or a stop signal, with every window
// closed. It owns the station's vorlink.conf settings: dialogs and menus
// change the value, it writes the file, and the windows that remember
// their place hand it over when they close.
#pragma once

#include <QObject>
#include <QList>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/station.h"
#include "ax25link/link_output.h"
#include "base/status_line.h"
#include "app/own_sender_ways.h"
#include "aprs/message_center.h"
#include "base/clock.h"
#include "link/serial_device.h"
#include "time/time_server_client.h"
#include "app/connect_request.h"

class QSystemTrayIcon;
class QTimer;
class QWidget;

namespace vorlink {

class AboutWindow;
class ConnectDialog;
class SessionWindow;
class SessionWindows;
class AprsMessagesWindow;
class OwnStationDialog;
class FrameBrowser;
class MainWindow;
class MapWindow;
class MessageFeed;
class MessagesWindow;
class SetupDialog;
class StatisticsWindow;

class AppController final : public QObject {
  Q_OBJECT

 public:
  AppController(Station& station, Clock& clock, std::uint16_t timeServerPort = kTimeProtocolPort);
  ~AppController() override;

  // Where the setup dialog's device lists come from; the machine's own
  // serial devices unless another source is given.
  void UseDevices(SerialDeviceSource& devices) { devices_ = &devices; }

  // Loads and shows the main window.
  void Start();
  // File > Exit and the stop signals: closes every window, the main window
  // unloading as usual, and ends the program even while one stays.
  void Exit();

  MainWindow* Main() const;
  SetupDialog* Setup() const;
  StatisticsWindow* Statistics() const;
  AboutWindow* About() const;
  MessagesWindow* Messages() const;
  // The frame browser over the live frames; opened on demand.
  FrameBrowser* Frames() const;
  FrameBrowser& OpenFrames();
  QWidget& OpenHeard();
  MapWindow& OpenMap();
  // View > APRS Messages, over the live frames.
  AprsMessagesWindow& OpenAprsMessages();
  // The conversations: fed from the live frames, polled once a second.
  // Sends nothing until a way out is given.
  MessageCenter& AprsMessageCenter() { return *messageCenter_; }
  void SetAprsSend(AprsSend send) { messageCenter_->SetSend(std::move(send)); }
  // Options > Station...: OK keeps the value in vorlink.conf and gives it to
  // the open windows.
  OwnStationDialog& OpenStationDialog();
  // A capture in a viewer window of its own.
  FrameBrowser& OpenCapture(const QString& file);
  // Terminal > Connect...: says why nothing can be sent, or opens a
  // session window for the link it asks for.
  ConnectDialog& OpenConnectDialog();
  SessionWindows& Sessions() { return *sessions_; }

  // The station's one sender toward the TNC, for the data links' frames,
  // and whether it may transmit now (a callsign and "Transmit" on). Until
  // it is given the links' frames go nowhere and Connect... says so.
  void UseLinkSender(FrameSink& sender, std::function<bool()> transmitOn);

 signals:
  // The program is to end: Exit, or no window is left. Once.
  void Ended();

 private:
  void ShowMainWindow();
  void OpenSetupDialog(bool withFocus);
  void ApplyPortLines(const std::string& incoming, const std::string& outgoing);
  void ApplyBeacon(const BeaconSettings& beacon);
  void PlaceObject(const OwnObject& object);
  void KillObject(const std::string& name);
  void KeepObjects();
  void ApplyOwnStation(const OwnStation& station);
  void OpenStatistics();
  void OpenAbout();
  void OpenMessages();
  OwnSender* Sender();
  void UseOwnSender();
  void FeedMessageCenter();
  // A message to the own callsign: the status line, the tray, one ring.
  void AnnounceMessage(const std::string& from, const std::string& text);
  void Track(QWidget* window);
  template <typename Window>
  Window* Adopt(Window* window);
  template <typename Window>
  Window* AdoptPlaced(Window* window, WindowPlace StationConfig::*place);
  // Writes vorlink.conf from the station's value; a failure is told.
  void SaveConfig();
  void CheckWindowsLeft();
  void CloseAll();
  void End();
  void ApplyConnectRequest(const ConnectRequest& request);
  // Status texts of what no window owns (the session logs): on the main
  // window's status line, or straight into the messages.
  class ControllerStatus final : public StatusLine {
   public:
    explicit ControllerStatus(AppController& owner) : owner_(owner) {}
    void SetSimpleText(std::string_view text) override;

   private:
    AppController& owner_;
  };

  Station& station_;
  Clock& clock_;
  std::uint16_t timeServerPort_;
  std::unique_ptr<SerialDeviceSource> machineDevices_;
  SerialDeviceSource* devices_;
  QPointer<MainWindow> main_;
  QPointer<SetupDialog> setup_;
  QPointer<StatisticsWindow> statistics_;
  QPointer<AboutWindow> about_;
  QPointer<MessagesWindow> messages_;
  QPointer<FrameBrowser> frames_;
  QPointer<QWidget> heard_;
  QPointer<MapWindow> map_;
  QPointer<AprsMessagesWindow> aprsMessages_;
  QPointer<OwnStationDialog> stationDialog_;
  QPointer<ConnectDialog> connectDialog_;
  ControllerStatus status_{*this};
  std::function<bool()> transmitOn_ = [] { return false; };
  // Made last, released first: its windows work on the station.
  std::unique_ptr<OwnSenderLinkSink> linkSink_;
  std::unique_ptr<SessionWindows> sessions_;
  QList<QPointer<QWidget>> viewers_;
  std::unique_ptr<MessageCenter> messageCenter_;
  std::unique_ptr<MessageFeed> messageFeed_;
  QTimer* messageTimer_ = nullptr;
  QSystemTrayIcon* tray_ = nullptr;
  bool ended_ = false;
};

// Puts a window in the middle of its screen.
void CentreOnScreen(QWidget& window);

}  // namespace vorlink
