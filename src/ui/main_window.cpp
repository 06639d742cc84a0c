#include "ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTimer>

#include "link/qt_serial_port.h"
#include "time/qt_tcp_client.h"
#include "ui/artwork.h"
#include "ui/frame_box.h"
#include "ui/qt_text_pane.h"
#include "ui/sans_font.h"
#include "ui/twips.h"

namespace vorlink {
namespace {

constexpr int kStatusIntervalMs = 1000;
const QColor kBackground(0xE0, 0xE0, 0xE0);
const QColor kFrameCaption(0x40, 0x40, 0x40);
const QColor kClockColour(0x00, 0x40, 0x40);

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename Widget>
Widget* Place(Widget* widget, const char* name, const QRect& geometry) {
  widget->setObjectName(name);
  widget->setGeometry(geometry);
  // Set on each control, so that a frame's bold caption font is not inherited.
  widget->setFont(SansSerifFont(8.25, false));
  return widget;
}

// The named families first, then the narrow sans serif the layout was drawn for.
QFont SansFont(double points, bool bold, const QStringList& families = {}) {
  QFont font = SansSerifFont(points, bold);
  if (!families.isEmpty()) font.setFamilies(families + font.families());
  return font;
}

QGroupBox* MakeFrame(QWidget* parent, const char* name, const QString& caption, const QRect& at) {
  auto* frame = Place(new FrameBox(caption, parent), name, at);
  frame->setFont(SansFont(8.25, true));
  QPalette palette = frame->palette();
  palette.setColor(QPalette::WindowText, kFrameCaption);
  frame->setPalette(palette);
  return frame;
}

QLabel* MakeLamp(QWidget* parent, const char* name, const QRect& at, const QColor& colour,
                 const QString& tip) {
  auto* lamp = Place(new QLabel(parent), name, at);
  lamp->setPixmap(LampPixmap(colour));
  lamp->setToolTip(tip);
  return lamp;
}

// A push button whose caption wraps onto a second line when it is too long
// for the button, as the narrow TNC buttons need.
class WrappingButton final : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.setFont(font());
    painter.drawText(rect().adjusted(2, 1, -2, -1), Qt::AlignCenter | Qt::TextWordWrap, text());
  }
};

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QRect& at) {
  auto* button = Place(new WrappingButton(caption, parent), name, at);
  button->setFont(SansFont(8.25, true, {"Arial Narrow", "Liberation Sans Narrow", "DejaVu Sans Condensed"}));
  return button;
}

QCheckBox* MakeOption(QWidget* parent, const char* name, const QString& caption, const QRect& at,
                      const QString& tip) {
  auto* box = Place(new QCheckBox(caption, parent), name, at);
  // The boxes were drawn for a narrower face than today's desktops use.
  box->setFont(SansFont(8.25, false, {"Arial Narrow", "Liberation Sans Narrow"}));
  box->setChecked(true);
  box->setToolTip(tip);
  return box;
}

constexpr int kKeyBackspace = 8;
constexpr int kNoCharacter = -1;

// The key's character code as an ANSI text box reports it: printable
// characters, Enter, Escape, Backspace and Ctrl+letter. Every other key (Tab,
// Delete, arrows, function keys, characters beyond one byte) gives none.
int CharacterCode(const QKeyEvent& key) {
  switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return kKeyEnter;
    case Qt::Key_Escape: return kKeyEscape;
    case Qt::Key_Backspace: return kKeyBackspace;
    default: break;
  }
  if ((key.modifiers() & Qt::ControlModifier) && key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z) {
    return key.key() - Qt::Key_A + 1;
  }
  const QString text = key.text();
  if (text.size() == 1 && text.at(0).unicode() < 256 && text.at(0).isPrint()) {
    return text.at(0).unicode();
  }
  return kNoCharacter;
}

// Tab and Shift+Tab would move the focus out of the terminal.
bool MovesFocus(const QKeyEvent& key) {
  return key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab;
}

}  // namespace

MainWindow::MainWindow(WindowEnvironment environment, QWidget* parent)
    : QMainWindow(parent), env_(environment) {
  setObjectName("Form1");
  setWindowTitle("Vorlink +");
  setWindowIcon(ProgramIcon());
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kBackground);
  palette.setColor(QPalette::Base, kBackground);
  setPalette(palette);

  MSComm1_ = new QtSerialPort(this);
  MSComm1_->setObjectName("MSComm1");
  MSComm2_ = new QtSerialPort(this);
  MSComm2_->setObjectName("MSComm2");
  Timer1_ = new QTimer(this);
  Timer1_->setObjectName("Timer1");
  Timer1_->setInterval(kStatusIntervalMs);
  Winsock1_ = std::make_unique<QtTcpClient>();

  BuildControls();
  BuildMenus();
  // The layout is fixed: the window keeps the size its controls were drawn for.
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  pane_ = std::make_unique<QtTextPane>(*RichTextBox1_);
  display_ = std::make_unique<FrameDisplay>(*pane_, captures_, env_.clock, options_,
                                            env_.station.LastPacketTime);
  pipeline_ = std::make_unique<ReceivePipeline>(
      ReceiveContext{*MSComm1_, *MSComm2_, env_.station.counters, env_.station.LastPacketTime,
                     env_.clock, *this, *this, captures_, *display_, options_, mirroring_});
  timeClient_ = std::make_unique<TimeServerClient>(*Winsock1_, env_.clock, *this,
                                                   env_.timeServerPort);
  mirror_ = std::make_unique<PortMirror>(mirroring_, env_.station.settings.MirrorFlag,
                                         env_.station.settings.OutgoingPortLine, *MSComm2_,
                                         *this, *this);
  terminal_ = std::make_unique<TncTerminal>(env_.station.programFolder, *MSComm1_, *this);
  ConnectEvents();
}

MainWindow::~MainWindow() { Unload(); }

void MainWindow::BuildControls() {
  auto* client = new QWidget(this);
  client->setFixedSize(683, 456);
  setCentralWidget(client);

  auto* Frame1 = MakeFrame(client, "Frame1", QString(), Twips(0, 0, 10215, 6855));
  Image2_ = MakeLamp(Frame1, "Image2", Twips(120, 240, 300, 300), Qt::green, "incoming port open");
  Image3_ = MakeLamp(Frame1, "Image3", Twips(120, 240, 300, 300), Qt::red, "incoming port closed");
  Place(new QLabel("IN", Frame1), "Label6", Twips(480, 240, 255, 255));
  Label2_ = Place(new QLabel(Frame1), "Label2", Twips(1080, 240, 2655, 255));
  Label2_->setToolTip("incoming port (COM A): the TNC");
  Label9_ = Place(new QLabel(Frame1), "Label9", Twips(3840, 240, 2775, 255));
  Label9_->setToolTip("bytes and frames received");
  Label1_ = Place(new QLabel("sync...", Frame1), "Label1", Twips(8040, 240, 2055, 615));
  Label1_->setFont(SansFont(20.25, true, {"Arial Black", "DejaVu Sans"}));
  Label1_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  QPalette clockPalette = Label1_->palette();
  clockPalette.setColor(QPalette::WindowText, kClockColour);
  Label1_->setPalette(clockPalette);
  Label1_->setToolTip("UTC");

  Image4_ = MakeLamp(Frame1, "Image4", Twips(120, 600, 300, 300), Qt::green, "outgoing port open");
  Image5_ = MakeLamp(Frame1, "Image5", Twips(120, 600, 300, 300), Qt::red, "outgoing port closed");
  Label7_ = Place(new QLabel("OUT", Frame1), "Label7", Twips(480, 600, 375, 255));
  Label8_ = Place(new QLabel(Frame1), "Label8", Twips(1080, 600, 2655, 255));
  Label8_->setToolTip("outgoing port (COM B): the mirror");
  Label10_ = Place(new QLabel(Frame1), "Label10", Twips(3840, 600, 2775, 255));
  Label10_->setToolTip("bytes mirrored to the outgoing port");
  for (QWidget* w : {static_cast<QWidget*>(Label7_), static_cast<QWidget*>(Label8_),
                     static_cast<QWidget*>(Label10_)}) {
    w->hide();
  }

  auto* Frame5 = MakeFrame(Frame1, "Frame5", "KISS Frames", Twips(120, 1080, 9975, 4335));
  RichTextBox1_ = Place(new QPlainTextEdit(Frame5), "RichTextBox1", Twips(120, 240, 9735, 3975));
  RichTextBox1_->setReadOnly(true);
  RichTextBox1_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  fixed.setFamilies({"Fixedsys", fixed.family()});
  fixed.setPointSizeF(9);
  RichTextBox1_->setFont(fixed);
  RichTextBox1_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

  auto* Frame4 = MakeFrame(Frame1, "Frame4", "Terminal", Twips(120, 5520, 5175, 1215));
  Text1_ = Place(new QLineEdit(Frame4), "Text1", Twips(120, 360, 4935, 735));
  Text1_->setFont(SansFont(8.25, true));
  Text1_->setToolTip("every key goes to the TNC as it is typed");
  Text1_->installEventFilter(this);

  auto* Frame2 = MakeFrame(Frame1, "Frame2", "Options", Twips(5400, 5520, 2175, 1215));
  auto* ShowTimeStamp = MakeOption(Frame2, "ShowTimeStamp", "TimeStamp (UTC)",
                                   Twips(120, 360, 1575, 255), "generate a timestamp");
  auto* GenerateTimeFrames =
      MakeOption(Frame2, "GenerateTimeFrames", "Generate Timeframes", Twips(120, 600, 1935, 195),
                 "generate ctrl 9 kiss frames with a timestamp");
  auto* AnalyzeFrame = MakeOption(Frame2, "AnalyzeFrame", "Decode KISS Frame",
                                  Twips(120, 840, 1935, 255), "decode the kiss frame");
  connect(ShowTimeStamp, &QCheckBox::toggled, this, [this](bool on) { options_.timeStamp = on; });
  connect(GenerateTimeFrames, &QCheckBox::toggled, this,
          [this](bool on) { options_.timeFrames = on; });
  connect(AnalyzeFrame, &QCheckBox::toggled, this, [this](bool on) { options_.decode = on; });

  auto* Command4 = MakeButton(Frame1, "Command4", "TNC Init", Twips(7680, 5640, 975, 495));
  Command4->setToolTip("send tnc_init.txt to the TNC again");
  auto* Command1 = MakeButton(Frame1, "Command1", "Set TNC in CMD Mode", Twips(7680, 6240, 975, 495));
  Command1->setToolTip("send the KISS return command (C0 FF C0)");
  connect(Command4, &QPushButton::clicked, this, [this] { terminal_->TncInit(); });
  connect(Command1, &QPushButton::clicked, this, [this] { terminal_->SetTncInCmdMode(); });

  auto* Image1 = Place(new QLabel(Frame1), "Image1", Twips(8760, 5520, 1245, 1170));
  Image1->setPixmap(LogoPixmap());
  Image1->setScaledContents(true);

  auto* StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  StatusBar1->setFixedHeight(19);
  StatusText_ = new QLabel(StatusBar1);
  StatusText_->setObjectName("SimpleText");
  StatusBar1->addWidget(StatusText_, 1);
  setStatusBar(StatusBar1);
}

void MainWindow::BuildMenus() {
  QMenu* MnuFile = menuBar()->addMenu("&File");
  MnuFile->setObjectName("MnuFile");
  QAction* MnuSetup = MnuFile->addAction("TNC Setup");
  MnuSetup->setObjectName("MnuSetup");
  QAction* MnuExit = MnuFile->addAction("&Exit");
  MnuExit->setObjectName("MnuExit");

  QMenu* MnuOptions = menuBar()->addMenu("&Options");
  MnuOptions->setObjectName("MnuOptions");
  QAction* MnuClear = MnuOptions->addAction("Clear Counter");
  MnuClear->setObjectName("MnuClear");
  MnuMirror_ = MnuOptions->addAction("mirror incoming data from COM A to COM B");
  MnuMirror_->setObjectName("MnuMirror");
  MnuMirror_->setCheckable(true);
  MnuDecodePayload_ = MnuOptions->addAction("Write Payload to ASCII File (Hexdump)");
  MnuDecodePayload_->setObjectName("MnuDecodePayload");
  MnuDecodePayload_->setCheckable(true);
  MnuDecodePayload_->setChecked(true);

  QMenu* MnuInfo = menuBar()->addMenu("&Info");
  MnuInfo->setObjectName("MnuInfo");
  QAction* MnuStatistics = MnuInfo->addAction("&Statistics");
  MnuStatistics->setObjectName("MnuStatistics");
  QAction* MnuAbout = MnuInfo->addAction("&About");
  MnuAbout->setObjectName("MnuAbout");

  connect(MnuSetup, &QAction::triggered, this, [this] { emit SetupDialogRequested(false); });
  connect(MnuExit, &QAction::triggered, this, &QWidget::close);
  connect(MnuClear, &QAction::triggered, this, &MainWindow::ClearCounters);
  connect(MnuMirror_, &QAction::triggered, this, [this] { mirror_->Toggle(); });
  connect(MnuDecodePayload_, &QAction::toggled, this,
          [this](bool on) { options_.hexFile = on; });
  connect(MnuStatistics, &QAction::triggered, this, &MainWindow::StatisticsRequested);
  connect(MnuAbout, &QAction::triggered, this, &MainWindow::AboutRequested);
}

void MainWindow::ConnectEvents() {
  connect(MSComm1_, &QtSerialPort::OnComm, this, [this](int code) { pipeline_->OnComm(code); });
  connect(MSComm2_, &QtSerialPort::OnComm, this, [this](int code) { mirror_->OnComm(code); });
  connect(Timer1_, &QTimer::timeout, this, &MainWindow::UpdateStatus);
}

WindowParts MainWindow::Parts() {
  return WindowParts{env_.station, env_.clock, *MSComm1_, *MSComm2_, *pipeline_, *timeClient_,
                     *mirror_,     captures_,  *this,     *this};
}

void MainWindow::Load() {
  if (loaded_) return;
  loaded_ = true;
  Timer1_->start();
  WindowParts parts = Parts();
  RunStartUp(parts);
}

void MainWindow::Unload() {
  if (!loaded_) return;
  loaded_ = false;
  Timer1_->stop();
  WindowParts parts = Parts();
  RunShutDown(parts);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  Unload();
  event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Text1_ && event->type() == QEvent::KeyPress) {
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (MovesFocus(key)) return true;
    const int code = CharacterCode(key);
    if (code != kNoCharacter) {
      switch (terminal_->KeyPress(code)) {
        case TextBoxAction::kShowEsc: Text1_->setText(Text(kEscShown)); break;
        case TextBoxAction::kClear: Text1_->clear(); break;
        case TextBoxAction::kLeave: break;
      }
    }
  }
  // Any other key goes on to the text box either way.
  return QMainWindow::eventFilter(watched, event);
}

QString MainWindow::SimpleText() const { return StatusText_->text(); }

void MainWindow::ClearCounters() {
  pane_->Clear();
  env_.station.counters.Clear();
  Label9_->clear();
}

void MainWindow::UpdateStatus() {
  StatusUpdateTick(env_.station.statusUpdate, env_.station.LastPacketTime, env_.clock,
                   {MSComm1_->PortOpen(), MSComm2_->PortOpen(), mirroring_,
                    captures_.AnyPaused()},
                   *this, *this);
}

void MainWindow::SetSimpleText(std::string_view text) { StatusText_->setText(Text(text)); }
void MainWindow::SetLabel9(std::string_view text) { Label9_->setText(Text(text)); }
void MainWindow::SetLabel10(std::string_view text) { Label10_->setText(Text(text)); }
void MainWindow::SetLabel2(std::string_view text) { Label2_->setText(Text(text)); }
void MainWindow::SetLabel8(std::string_view text) { Label8_->setText(Text(text)); }
void MainWindow::OpenSetupDialogWithFocus() { emit SetupDialogRequested(true); }
void MainWindow::OpenSetupDialog() { emit SetupDialogRequested(false); }
void MainWindow::ShowMirrorCheck(bool checked) { MnuMirror_->setChecked(checked); }

void MainWindow::ShowMirrorIndicators(bool visible) {
  for (QWidget* w : {static_cast<QWidget*>(Image4_), static_cast<QWidget*>(Image5_),
                     static_cast<QWidget*>(Label8_), static_cast<QWidget*>(Label7_),
                     static_cast<QWidget*>(Label10_)}) {
    w->setVisible(visible);
  }
}

void MainWindow::ShowLamps(const LampImages& lamps) {
  Image2_->setVisible(lamps.Image2);
  Image3_->setVisible(lamps.Image3);
  Image4_->setVisible(lamps.Image4);
  Image5_->setVisible(lamps.Image5);
}

void MainWindow::SetClockText(std::string_view text) { Label1_->setText(Text(text)); }

}  // namespace vorlink
