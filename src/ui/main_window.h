// The main window: every control at its place, the menus, and the routing of
// every event to the station session, which decides everything about frames,
// ports and files. Loading runs the start-up sequence, unloading the shut-down
// sequence.
#pragma once

#include <QMainWindow>
#include <cstdint>
#include <memory>

#include "app/station.h"
#include "app/station_session.h"
#include "app/station_view.h"
#include "base/clock.h"
#include "capture/capture_files.h"
#include "store/frame_notes.h"
#include "store/store_tail.h"
#include "time/time_server_client.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;

namespace vorlink {

class QtKissTcpSource;
class QtKissServer;
class QtRetryTimer;
class QtSerialPort;
class QtTcpClient;
class FrameView;
class PacedLabel;

// What a main window gets from the process that creates it.
struct WindowEnvironment {
  Station& station;
  Clock& clock;
  std::uint16_t timeServerPort = kTimeProtocolPort;
};

class MainWindow final : public QMainWindow, public StationView {
  Q_OBJECT

 public:
  explicit MainWindow(WindowEnvironment environment, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The start-up sequence; once per window.
  void Load();
  // The shut-down sequence; runs once, however often it is asked for.
  void Unload();
  bool IsLoaded() const { return session_->IsLoaded(); }

  QString SimpleText() const;
  QtSerialPort& IncomingPort() { return *incomingPort_; }
  QtSerialPort& MirrorPort() { return *mirrorPort_; }
  const CaptureFiles& Captures() const { return session_->Captures(); }
  // "Clear Counter": the pane and the received figure emptied, the counters back to 0.
  void ClearCounters();
  // One tick of the status timer.
  void UpdateStatus() { session_->OnStatusTimer(); }
  // This load's core: what it transmits, its beacon and objects.
  StationSession& Session() { return *session_; }
  FrameView& FramePane() { return *framePane_; }
  // Where every received data frame goes as AX.25 bytes (the data links).
  void SetAx25Listener(Ax25FrameListener* listener) { session_->SetAx25Listener(listener); }

 signals:
  // File > Exit: the whole program, not this window alone.
  void ExitRequested();
  void SetupDialogRequested(bool withFocus);
  void StatisticsRequested();
  void AboutRequested();
  void MessagesRequested();
  void AprsMessagesRequested();
  void StationDialogRequested();
  void FramesRequested();
  void HeardRequested();
  void MapRequested();
  void OpenCaptureRequested();
  // Terminal > Connect...
  void ConnectRequested();
  // A menu changed the station's vorlink.conf settings.
  void ConfigChanged();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetSimpleText(std::string_view text) override;
  void ShowReceived(std::string_view text) override;
  void ShowMirrored(std::string_view text) override;
  void ShowLamps(const PortLamps& lamps) override;
  void ShowClock(std::string_view text) override;
  void ShowMirrorCheck(bool checked) override;
  void ShowMirrorIndicators(bool visible) override;
  void OpenSetupDialog() override;
  void ShowIncomingPort(std::string_view text) override;
  void ShowMirrorPort(std::string_view text) override;
  void OpenSetupDialogWithFocus() override;
  void ShowLinkEvent(std::string_view text) override;

  void BuildControls();
  void BuildOptions(QWidget* frame);
  void BuildMenus();
  void BuildViewMenu(QMenu* file, QAction* exit);
  void ConnectEvents();
  SerialPortComponent& IncomingSource();
  void KeepLinks();
  void DisableTncControls(const QString& why);

  WindowEnvironment env_;

  // Controls, owned by Qt's parent chain. Their object names, which the
  // tests find them by:
  //   Label1 clock, Label2 incoming port, Label7 OUT caption, Label8 mirror
  //   port, Label9 received, Label10 mirrored, Image2/Image3 IN lamp open and
  //   closed, Image4/Image5 OUT lamp open and closed, RichTextBox1 frame pane,
  //   Text1 terminal, MnuMirror and MnuDecodePayload the two switches of the
  //   Options menu, MSComm1 incoming port, MSComm2 mirror port, Timer1 status
  //   timer, SimpleText the status line of StatusBar1.
  QLabel* statusText_ = nullptr;
  QLabel* clockLabel_ = nullptr;
  QLabel* incomingPortLabel_ = nullptr;
  QLabel* outCaption_ = nullptr;
  QLabel* mirrorPortLabel_ = nullptr;
  PacedLabel* receivedLabel_ = nullptr;
  PacedLabel* mirroredLabel_ = nullptr;
  QLabel* incomingOpenLamp_ = nullptr;
  QLabel* incomingClosedLamp_ = nullptr;
  QLabel* mirrorOpenLamp_ = nullptr;
  QLabel* mirrorClosedLamp_ = nullptr;
  FrameView* framePane_ = nullptr;
  QLineEdit* terminalInput_ = nullptr;
  QAction* mirrorAction_ = nullptr;
  QtSerialPort* incomingPort_ = nullptr;
  QtSerialPort* mirrorPort_ = nullptr;
  QTimer* statusTimer_ = nullptr;
  // The incoming source while it is a KISS-over-TCP peer, and the two timers
  // that bring a lost link back.
  QtKissTcpSource* kissTcpSource_ = nullptr;
  QtKissServer* kissServer_ = nullptr;  // while sharing the frames over TCP
  std::unique_ptr<QtRetryTimer> incomingRetry_;
  std::unique_ptr<QtRetryTimer> mirrorRetry_;

  // The pane shows the frames of this load and the link's lost and back
  // lines between them; the store keeps the frames of the whole run.
  FrameNotes linkNotes_;
  StoreTail shownFrames_;
  // Released before the controls; the session before what it works on.
  std::unique_ptr<QtTcpClient> timeServerSocket_;
  std::unique_ptr<StationSession> session_;
};

}  // namespace vorlink
