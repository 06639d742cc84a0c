// The main window: every control at its place, the menus, and the routing of
// every event to the core object that handles it. Loading runs the start-up
// sequence, unloading the shut-down sequence; the window itself decides
// nothing about frames, ports or files.
#pragma once

#include <QMainWindow>
#include <cstdint>
#include <memory>

#include "app/station.h"
#include "app/window_lifecycle.h"
#include "capture/capture_files.h"
#include "decode/frame_display.h"
#include "decode/display_options.h"
#include "app/receive_pipeline.h"
#include "base/status_line.h"
#include "app/status_timer.h"
#include "time/time_server_client.h"
#include "tnc/port_mirror.h"
#include "tnc/tnc_terminal.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTimer;

namespace vorlink {

class QtSerialPort;
class QtTcpClient;
class QtTextPane;

// What a main window gets from the process that creates it.
struct WindowEnvironment {
  Station& station;
  Clock& clock;
  std::uint16_t timeServerPort = kTimeProtocolPort;
};

class MainWindow final : public QMainWindow,
                         public StatusLine,
                         public ReceiveLabels,
                         public StartUpView,
                         public MirrorView,
                         public StatusView {
  Q_OBJECT

 public:
  explicit MainWindow(WindowEnvironment environment, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The start-up sequence; once per window.
  void Load();
  // The shut-down sequence; runs once, however often it is asked for.
  void Unload();
  bool IsLoaded() const { return loaded_; }

  QString SimpleText() const;
  QtSerialPort& MSComm1() { return *MSComm1_; }
  QtSerialPort& MSComm2() { return *MSComm2_; }
  const DisplayOptions& Options() const { return options_; }
  const CaptureFiles& Captures() const { return captures_; }
  // The pane and "Label9" emptied, the counters back to 0 ("Clear Counter").
  void ClearCounters();
  // One tick of Timer1.
  void UpdateStatus();

 signals:
  void SetupDialogRequested(bool withFocus);
  void StatisticsRequested();
  void AboutRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetSimpleText(std::string_view text) override;
  void SetLabel9(std::string_view text) override;
  void SetLabel10(std::string_view text) override;
  void OpenSetupDialogWithFocus() override;
  void SetLabel2(std::string_view text) override;
  void SetLabel8(std::string_view text) override;
  void ShowMirrorCheck(bool checked) override;
  void ShowMirrorIndicators(bool visible) override;
  void OpenSetupDialog() override;
  void ShowLamps(const LampImages& lamps) override;
  void SetClockText(std::string_view text) override;

  void BuildControls();
  void BuildMenus();
  void ConnectEvents();
  WindowParts Parts();

  WindowEnvironment env_;
  DisplayOptions options_;
  bool mirroring_ = false;
  bool loaded_ = false;

  // Controls, owned by Qt's parent chain.
  QLabel* StatusText_ = nullptr;
  QLabel* Label1_ = nullptr;
  QLabel* Label2_ = nullptr;
  QLabel* Label7_ = nullptr;
  QLabel* Label8_ = nullptr;
  QLabel* Label9_ = nullptr;
  QLabel* Label10_ = nullptr;
  QLabel* Image2_ = nullptr;
  QLabel* Image3_ = nullptr;
  QLabel* Image4_ = nullptr;
  QLabel* Image5_ = nullptr;
  QPlainTextEdit* RichTextBox1_ = nullptr;
  QLineEdit* Text1_ = nullptr;
  QAction* MnuMirror_ = nullptr;
  QAction* MnuDecodePayload_ = nullptr;
  QtSerialPort* MSComm1_ = nullptr;
  QtSerialPort* MSComm2_ = nullptr;
  QTimer* Timer1_ = nullptr;

  // The core objects of this load, released before the controls.
  std::unique_ptr<QtTcpClient> Winsock1_;
  std::unique_ptr<QtTextPane> pane_;
  CaptureFiles captures_;
  std::unique_ptr<FrameDisplay> display_;
  std::unique_ptr<ReceivePipeline> pipeline_;
  std::unique_ptr<TimeServerClient> timeClient_;
  std::unique_ptr<PortMirror> mirror_;
  std::unique_ptr<TncTerminal> terminal_;
};

}  // namespace vorlink
