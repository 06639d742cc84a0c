#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

#include "app/config_file.h"
#include "app/message_log.h"
#include "app/qt_kiss_server.h"
#include "base/utc.h"
#include "link/qt_kiss_tcp_source.h"
#include "link/qt_serial_port.h"
#include "time/qt_tcp_client.h"
#include "ui/artwork.h"
#include "ui/main_window_controls.h"
#include "ui/frame_view.h"
#include "ui/paced_label.h"
#include "ui/pcap_capture_entry.h"
#include "ui/qt_retry_timer.h"
#include "ui/terminal_keys.h"
#include "ui/twips.h"

namespace vorlink {
namespace {

constexpr int kStatusIntervalMs = 1000;

QColor ClockCyan() { return {0x00, 0x40, 0x40}; }

QFont FramePaneFont() {
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  fixed.setFamilies({"Fixedsys", fixed.family()});
  fixed.setPointSizeF(9);
  return fixed;
}

}  // namespace

MainWindow::MainWindow(WindowEnvironment environment, QWidget* parent)
    : QMainWindow(parent),
      env_(environment),
      shownFrames_(environment.station.frames, environment.station.frames.EndIndex(), &linkNotes_) {
  setObjectName("Form1");
  setWindowTitle("Vorlink +");
  setWindowIcon(ProgramIcon());
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, WindowGrey());
  palette.setColor(QPalette::Base, WindowGrey());
  setPalette(palette);

  incomingPort_ = new QtSerialPort(this);
  incomingPort_->setObjectName("MSComm1");
  mirrorPort_ = new QtSerialPort(this);
  mirrorPort_->setObjectName("MSComm2");
  statusTimer_ = new QTimer(this);
  statusTimer_->setObjectName("Timer1");
  statusTimer_->setInterval(kStatusIntervalMs);
  timeServerSocket_ = std::make_unique<QtTcpClient>();
  if (const auto kissTcp = env_.station.KissTcp()) {
    kissTcpSource_ = new QtKissTcpSource(*kissTcp, this);
    kissTcpSource_->setObjectName("KissTcp");
  }
  incomingRetry_ = std::make_unique<QtRetryTimer>([this] { session_->Links().OnIncomingRetry(); });
  mirrorRetry_ = std::make_unique<QtRetryTimer>([this] { session_->Links().OnOutgoingRetry(); });

  BuildControls();
  BuildMenus();
  // The layout is fixed: the window keeps the size its controls were drawn for.
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  session_ = std::make_unique<StationSession>(
      env_.station, env_.clock,
      StationPorts{IncomingSource(), *mirrorPort_, *timeServerSocket_, incomingRetry_.get(),
                   mirrorRetry_.get()},
      nullptr, *this, env_.timeServerPort);
  AddPcapCaptureEntry(*menuBar()->findChild<QMenu*>("MnuOptions"), env_.station.config.capture,
                      [this](bool on) { session_->Options().pcapFile = on; },
                      [this] { emit ConfigChanged(); });
  ConnectEvents();
  KeepLinks();
  if (env_.station.KissServerSetting().on) {
    kissServer_ = new QtKissServer(session_->SharedFrames(), *this, this);
    kissServer_->setObjectName("KissServer");
  }
  if (kissTcpSource_ != nullptr) DisableTncControls(ToQString(kKissTcpTakesFramesOnly));
}

MainWindow::~MainWindow() {
  Unload();
  // The pane goes with the widgets, after the members it shows.
  framePane_->SetSequence(nullptr);
}

void MainWindow::BuildControls() {
  auto* client = new QWidget(this);
  client->setFixedSize(683, 456);
  setCentralWidget(client);

  auto* station = MakeFrame(client, "Frame1", QString(), Twips(0, 0, 10215, 6855));
  incomingOpenLamp_ =
      MakeLamp(station, "Image2", Twips(120, 240, 300, 300), Qt::green, "incoming port open");
  incomingClosedLamp_ =
      MakeLamp(station, "Image3", Twips(120, 240, 300, 300), Qt::red, "incoming port closed");
  Place(new QLabel("IN", station), "Label6", Twips(480, 240, 255, 255));
  incomingPortLabel_ = Place(new QLabel(station), "Label2", Twips(1080, 240, 2655, 255));
  incomingPortLabel_->setToolTip("incoming port (COM A): the TNC");
  receivedLabel_ = Place(new PacedLabel(station), "Label9", Twips(3840, 240, 2775, 255));
  receivedLabel_->setToolTip("bytes and frames received");
  clockLabel_ = Place(new QLabel("sync...", station), "Label1", Twips(8040, 240, 2055, 615));
  clockLabel_->setFont(SansSerifFont(20.25, true, {"Arial Black", "DejaVu Sans"}));
  clockLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  QPalette clockPalette = clockLabel_->palette();
  clockPalette.setColor(QPalette::WindowText, ClockCyan());
  clockLabel_->setPalette(clockPalette);
  clockLabel_->setToolTip("UTC");

  mirrorOpenLamp_ =
      MakeLamp(station, "Image4", Twips(120, 600, 300, 300), Qt::green, "outgoing port open");
  mirrorClosedLamp_ =
      MakeLamp(station, "Image5", Twips(120, 600, 300, 300), Qt::red, "outgoing port closed");
  outCaption_ = Place(new QLabel("OUT", station), "Label7", Twips(480, 600, 375, 255));
  mirrorPortLabel_ = Place(new QLabel(station), "Label8", Twips(1080, 600, 2655, 255));
  mirrorPortLabel_->setToolTip("outgoing port (COM B): the mirror");
  mirroredLabel_ = Place(new PacedLabel(station), "Label10", Twips(3840, 600, 2775, 255));
  mirroredLabel_->setToolTip("bytes mirrored to the outgoing port");
  outCaption_->hide();
  mirrorPortLabel_->hide();
  mirroredLabel_->hide();

  auto* frames = MakeFrame(station, "Frame5", "KISS Frames", Twips(120, 1080, 9975, 4335));
  framePane_ = Place(new FrameView(env_.station.frames, frames), "RichTextBox1",
                     Twips(120, 240, 9735, 3975));
  framePane_->setFont(FramePaneFont());
  framePane_->SetSequence(&shownFrames_);
  // The counters repaint with the pane.
  connect(framePane_, &FrameView::Ticked, receivedLabel_, &PacedLabel::Tick);
  connect(framePane_, &FrameView::Ticked, mirroredLabel_, &PacedLabel::Tick);

  auto* terminal = MakeFrame(station, "Frame4", "Terminal", Twips(120, 5520, 5175, 1215));
  terminalInput_ = Place(new QLineEdit(terminal), "Text1", Twips(120, 360, 4935, 735));
  terminalInput_->setFont(SansSerifFont(8.25, true));
  terminalInput_->setToolTip("every key goes to the TNC as it is typed");
  terminalInput_->installEventFilter(this);

  BuildOptions(MakeFrame(station, "Frame2", "Options", Twips(5400, 5520, 2175, 1215)));

  auto* tncInit = MakeButton(station, "Command4", "TNC Init", Twips(7680, 5640, 975, 495));
  tncInit->setToolTip("send tnc_init.txt to the TNC again");
  auto* commandMode =
      MakeButton(station, "Command1", "Set TNC in CMD Mode", Twips(7680, 6240, 975, 495));
  commandMode->setToolTip("send the KISS return command (C0 FF C0)");
  connect(tncInit, &QPushButton::clicked, this, [this] { session_->Terminal().TncInit(); });
  connect(commandMode, &QPushButton::clicked, this,
          [this] { session_->Terminal().SetTncInCmdMode(); });

  auto* logo = Place(new QLabel(station), "Image1", Twips(8760, 5520, 1245, 1170));
  logo->setPixmap(LogoPixmap());
  logo->setScaledContents(true);

  auto* statusBar = new QStatusBar(this);
  statusBar->setObjectName("StatusBar1");
  statusBar->setSizeGripEnabled(false);
  statusBar->setFixedHeight(19);
  statusText_ = new QLabel(statusBar);
  statusText_->setObjectName("SimpleText");
  statusBar->addWidget(statusText_, 1);
  setStatusBar(statusBar);
}

void MainWindow::BuildOptions(QWidget* frame) {
  auto* timeStamp = MakeOption(frame, "ShowTimeStamp", "TimeStamp (UTC)",
                               Twips(120, 360, 1575, 255), "generate a timestamp");
  auto* timeFrames =
      MakeOption(frame, "GenerateTimeFrames", "Generate Timeframes", Twips(120, 600, 1935, 195),
                 "generate ctrl 9 kiss frames with a timestamp");
  auto* decode = MakeOption(frame, "AnalyzeFrame", "Decode KISS Frame", Twips(120, 840, 1935, 255),
                            "decode the kiss frame");
  connect(timeStamp, &QCheckBox::toggled, this,
          [this](bool on) { session_->Options().timeStamp = on; });
  connect(timeFrames, &QCheckBox::toggled, this,
          [this](bool on) { session_->Options().timeFrames = on; });
  connect(decode, &QCheckBox::toggled, this, [this](bool on) { session_->Options().decode = on; });
}

// The ports' events and the status timer; the menus connect their own.
void MainWindow::ConnectEvents() {
  connect(incomingPort_, &QtSerialPort::OnComm, this,
          [this](int code) { session_->OnIncomingPortEvent(code); });
  connect(mirrorPort_, &QtSerialPort::OnComm, this,
          [this](int code) { session_->OnOutgoingPortEvent(code); });
  connect(statusTimer_, &QTimer::timeout, this, &MainWindow::UpdateStatus);
}

SerialPortComponent& MainWindow::IncomingSource() {
  if (kissTcpSource_ != nullptr) return *kissTcpSource_;
  return *incomingPort_;
}

// A lost link is tried again by itself when a port or the peer goes away.
void MainWindow::KeepLinks() {
  StationLinks& links = session_->Links();
  if (kissTcpSource_ != nullptr) {
    connect(kissTcpSource_, &QtKissTcpSource::OnComm, this,
            [this](int code) { session_->OnIncomingPortEvent(code); });
    connect(kissTcpSource_, &QtKissTcpSource::DeviceLost, this,
            [&links] { links.OnIncomingLost(); });
    connect(kissTcpSource_, &QtKissTcpSource::Connected, this,
            [&links] { links.OnIncomingConnected(); });
    connect(kissTcpSource_, &QtKissTcpSource::ConnectFailed, this,
            [&links] { links.OnIncomingConnectFailed(); });
  } else {
    connect(incomingPort_, &QtSerialPort::DeviceLost, this, [&links] { links.OnIncomingLost(); });
  }
  connect(mirrorPort_, &QtSerialPort::DeviceLost, this, [&links] { links.OnOutgoingLost(); });
}

void MainWindow::DisableTncControls(const QString& why) {
  for (const char* name : {"Text1", "Command4", "Command1"}) {
    if (auto* control = findChild<QWidget*>(name)) {
      control->setEnabled(false);
      control->setToolTip(why);
    }
  }
}

void MainWindow::Load() {
  if (session_->IsLoaded()) return;
  statusTimer_->start();
  // Before the load, whose texts about the ports matter more and come last.
  if (kissServer_ != nullptr) kissServer_->Start(env_.station.KissServerSetting().address);
  session_->Load();
}

void MainWindow::Unload() {
  statusTimer_->stop();
  // Before the new window listens on the same port.
  if (kissServer_ != nullptr) kissServer_->Stop();
  session_->Unload();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  Unload();
  event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == terminalInput_ && event->type() == QEvent::ShortcutOverride &&
      IsControlLetter(*static_cast<QKeyEvent*>(event))) {
    // Taken: the key comes back as a key press and goes to the TNC.
    event->accept();
    return true;
  }
  if (watched == terminalInput_ && event->type() == QEvent::KeyPress) {
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (MovesFocus(key)) return true;
    const int code = CharacterCode(key);
    if (code != kNoCharacter) {
      switch (session_->Terminal().KeyPress(code)) {
        case TextBoxAction::kShowEsc: terminalInput_->setText(ToQString(kEscShown)); break;
        case TextBoxAction::kClear: terminalInput_->clear(); break;
        case TextBoxAction::kLeave: break;
      }
    }
  }
  // Any other key goes on to the text box either way.
  return QMainWindow::eventFilter(watched, event);
}

QString MainWindow::SimpleText() const { return statusText_->text(); }

void MainWindow::ClearCounters() {
  session_->ClearCounters();
  linkNotes_.Clear();
  framePane_->Refresh();
}

void MainWindow::SetSimpleText(std::string_view text) {
  statusText_->setText(ToQString(text));
  if (WorthKeeping(text)) env_.station.messages.Add(UtcNow(env_.clock), text);
}

// After the frames received so far, before those still to come.
void MainWindow::ShowLinkEvent(std::string_view text) {
  linkNotes_.Add(env_.station.frames.EndIndex(), std::string(text));
  if (framePane_ != nullptr) framePane_->Refresh();
}

void MainWindow::ShowReceived(std::string_view text) {
  receivedLabel_->SetPacedText(ToQString(text));
}

void MainWindow::ShowMirrored(std::string_view text) {
  mirroredLabel_->SetPacedText(ToQString(text));
}

void MainWindow::ShowClock(std::string_view text) { clockLabel_->setText(ToQString(text)); }
void MainWindow::ShowMirrorCheck(bool checked) { mirrorAction_->setChecked(checked); }
void MainWindow::OpenSetupDialog() { emit SetupDialogRequested(false); }
void MainWindow::OpenSetupDialogWithFocus() { emit SetupDialogRequested(true); }

void MainWindow::ShowIncomingPort(std::string_view text) {
  incomingPortLabel_->setText(ToQString(text));
}

void MainWindow::ShowMirrorPort(std::string_view text) {
  mirrorPortLabel_->setText(ToQString(text));
}

void MainWindow::ShowMirrorIndicators(bool visible) {
  for (QWidget* w : std::initializer_list<QWidget*>{
           mirrorOpenLamp_, mirrorClosedLamp_, mirrorPortLabel_, outCaption_, mirroredLabel_}) {
    w->setVisible(visible);
  }
}

void MainWindow::ShowLamps(const PortLamps& lamps) {
  incomingOpenLamp_->setVisible(lamps.incoming == LampState::kOpen);
  incomingClosedLamp_->setVisible(lamps.incoming == LampState::kClosed);
  mirrorOpenLamp_->setVisible(lamps.mirror == LampState::kOpen);
  mirrorClosedLamp_->setVisible(lamps.mirror == LampState::kClosed);
}

}  // namespace vorlink
