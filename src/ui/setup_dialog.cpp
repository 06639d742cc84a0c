#include "ui/setup_dialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <functional>
#include <system_error>

#include "ui/frame_box.h"
#include "ui/window_look.h"
#include "ui/twips.h"

namespace vorlink {
namespace {

// Left and width of the five columns, in twips inside a frame.
struct ColumnPlace {
  int left, labelWidth, boxWidth;
};
constexpr std::array<ColumnPlace, kSetupColumns> kColumns = {{
    {120, 375, 975},    // Port
    {1200, 615, 1335},  // Baud
    {2640, 495, 615},   // Data
    {3360, 615, 615},   // Parity
    {4080, 495, 615},   // Stop
}};
constexpr int kLabelTop = 600;
constexpr int kLabelHeight = 255;
constexpr int kBoxTop = 960;
constexpr int kBoxHeight = 315;

// Bold for the frame and button captions, regular for the rest.
QFont DialogFont(bool bold) { return SansSerifFont(8.25, bold); }

// A device list asks its owner for the devices present each time it opens,
// so an adapter plugged in while the dialog is open is there to choose.
class DeviceList final : public QComboBox {
 public:
  DeviceList(QWidget* parent, std::function<void()> beforePopup)
      : QComboBox(parent), beforePopup_(std::move(beforePopup)) {}
  void showPopup() override {
    beforePopup_();
    // The names are long; the list is as wide as they are.
    view()->setMinimumWidth(view()->sizeHintForColumn(0));
    QComboBox::showPopup();
  }

 private:
  std::function<void()> beforePopup_;
};

std::filesystem::path WorkingFolder() {
  std::error_code error;
  return std::filesystem::current_path(error);
}

}  // namespace

SetupDialog::SetupDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("Form2");
  setWindowTitle(" Setup COM - TNC");
  setModal(false);
  // Taller than the two frames by the two TCP frames and the devices below them.
  setFixedSize(Twips(6300), Twips(7185));
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, WindowGrey());
  palette.setColor(QPalette::Base, WindowGrey());
  palette.setColor(QPalette::Button, WindowGrey());
  setPalette(palette);
  setFont(DialogFont(false));

  BuildFrame(SetupFrame::Incoming, Twips(120, 120, 4935, 1575), "incoming COM port", 1);
  BuildFrame(SetupFrame::Outgoing, Twips(120, 1800, 4935, 1575), "outgoing COM port", 6);
  BuildKissTcp(Twips(120, 3480, 4935, 975));
  BuildSharing(Twips(120, 4560, 4935, 1335));
  BuildDevices(Twips(120, 6000, 6060, 1095));

  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("Command2");
  cancel->setGeometry(Twips(5280, 2400, 855, 375));
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("Command1");
  ok->setGeometry(Twips(5280, 3000, 855, 375));
  for (QPushButton* button : {ok, cancel}) {
    button->setFont(DialogFont(true));
    // Enter in a box only finishes the typing; OK wants a click.
    button->setAutoDefault(false);
    button->setDefault(false);
  }
  connect(ok, &QPushButton::clicked, this,
          [this] { emit PortLinesChosen(IncomingPortLine(), OutgoingPortLine()); });
  connect(cancel, &QPushButton::clicked, this, &QWidget::close);
}

void SetupDialog::BuildFrame(SetupFrame frame, const QRect& at, const char* caption, int firstBox) {
  auto* group = new FrameBox(caption, this);
  group->setObjectName(frame == SetupFrame::Incoming ? "Frame1" : "Frame2");
  group->setGeometry(at);
  group->setFont(DialogFont(true));
  FrameBoxes& boxes = frame == SetupFrame::Incoming ? incoming_ : outgoing_;
  for (std::size_t i = 0; i < kSetupColumns; ++i) {
    const SetupColumn column = kSetupColumnOrder[i];
    const ColumnPlace& place = kColumns[i];
    const int index = firstBox - 1 + static_cast<int>(i);

    auto* label = new QLabel(ToQString(SetupCaption(column)), group);
    label->setObjectName("Label1");
    label->setProperty("Index", index);
    label->setGeometry(Twips(place.left, kLabelTop, place.labelWidth, kLabelHeight));
    // The frame's bold caption font is not for the column captions.
    label->setFont(DialogFont(false));
    captions_[static_cast<std::size_t>(index)] = label;

    auto* box = new QComboBox(group);
    box->setObjectName(QString("Combo%1").arg(firstBox + static_cast<int>(i)));
    box->setGeometry(Twips(place.left, kBoxTop, place.boxWidth, kBoxHeight));
    box->setFont(DialogFont(false));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (std::string_view entry : SetupEntries(column)) box->addItem(ToQString(entry));
    box->setCurrentIndex(PreselectedEntry(frame, column));
    boxes[i] = box;
  }
  QComboBox* port = boxes[0];
  connect(port, &QComboBox::currentTextChanged, this, [this, frame] { ShowPortDevice(frame); });
  // A COMn link may have changed since; look again when the tip is asked for.
  port->installEventFilter(this);
  ShowPortDevice(frame);
}

const SetupDialog::FrameBoxes& SetupDialog::Boxes(SetupFrame frame) const {
  return frame == SetupFrame::Incoming ? incoming_ : outgoing_;
}

std::string SetupDialog::PortLine(SetupFrame frame) const {
  std::array<std::string, kSetupColumns> shown;
  const FrameBoxes& boxes = Boxes(frame);
  for (std::size_t i = 0; i < kSetupColumns; ++i) shown[i] = boxes[i]->currentText().toStdString();
  return PortLineFromBoxes(frame, shown);
}

int SetupDialog::PortNumber(SetupFrame frame) const {
  return PortNumberOf(
      SetupBoxValue(frame, SetupColumn::Port, Boxes(frame)[0]->currentText().toStdString()));
}

// So that an operator sees which device a COM number stands for here.
void SetupDialog::ShowPortDevice(SetupFrame frame) {
  const int number = PortNumber(frame);
  Boxes(frame)[0]->setToolTip(
      QString::fromStdString(PortLinkTip(number, WorkingFolder(), ChosenDevice(frame))));
  if (QComboBox* devices = DeviceBox(frame); devices != nullptr && devices->count() > 0) {
    devices->setItemText(0, ToQString(NoDeviceEntry(number)));
  }
}

bool SetupDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    for (SetupFrame frame : {SetupFrame::Incoming, SetupFrame::Outgoing}) {
      if (watched == Boxes(frame)[0]) ShowPortDevice(frame);
    }
  }
  return QDialog::eventFilter(watched, event);
}

SetupDialog::TcpFrame SetupDialog::BuildTcpFrame(const QRect& at, const char* caption,
                                                 const char* frameName, const char* switchName,
                                                 const char* switchCaption,
                                                 const char* switchTip) {
  auto* group = new FrameBox(caption, this);
  group->setObjectName(frameName);
  group->setGeometry(at);
  group->setFont(DialogFont(true));
  TcpFrame frame;
  frame.on = new QCheckBox(switchCaption, group);
  frame.on->setObjectName(switchName);
  frame.on->setGeometry(Twips(120, 480, 1455, 315));
  frame.on->setToolTip(switchTip);
  auto* hostCaption = new QLabel("Host:", group);
  hostCaption->setGeometry(Twips(1680, 480, 495, 315));
  frame.host = new QLineEdit(group);
  frame.host->setObjectName(QString(switchName) + "Host");
  frame.host->setGeometry(Twips(2160, 480, 1455, 315));
  auto* portCaption = new QLabel("Port:", group);
  portCaption->setGeometry(Twips(3720, 480, 495, 315));
  frame.port = new QLineEdit(group);
  frame.port->setObjectName(QString(switchName) + "Port");
  frame.port->setGeometry(Twips(4200, 480, 615, 315));
  frame.port->setMaxLength(5);
  frame.switched = {frame.host, frame.port};
  for (QWidget* w : {static_cast<QWidget*>(frame.on), static_cast<QWidget*>(hostCaption),
                     static_cast<QWidget*>(frame.host), static_cast<QWidget*>(portCaption),
                     static_cast<QWidget*>(frame.port)}) {
    w->setFont(DialogFont(false));
  }
  return frame;
}

void SetupDialog::ShowTcpFrame(const TcpFrame& frame, bool on, const std::string& host, int port) {
  frame.on->setChecked(on);
  frame.host->setText(QString::fromStdString(host));
  frame.port->setText(QString::number(port));
  for (QWidget* w : frame.switched) w->setEnabled(on);
}

void SetupDialog::BuildKissTcp(const QRect& at) {
  kissTcp_ = BuildTcpFrame(at, "incoming over TCP", "FrameKissTcp", "KissTcp", "KISS over TCP",
                           "read the TNC from a software TNC's KISS TCP port instead of COM A");
  connect(kissTcp_.on, &QCheckBox::toggled, this, [this](bool on) {
    for (QWidget* w : kissTcp_.switched) w->setEnabled(on);
  });
  SetLinkChoice(LinkChoice{});
}

void SetupDialog::SetLinkChoice(const LinkChoice& choice) {
  ShowTcpFrame(kissTcp_, choice.kissTcp, choice.address.host, choice.address.port);
}

LinkChoice SetupDialog::ChosenLink() const {
  return KissTcpChoice(kissTcp_.on->isChecked(), kissTcp_.host->text().toStdString(),
                       kissTcp_.port->text().toStdString());
}

void SetupDialog::BuildSharing(const QRect& at) {
  sharing_ = BuildTcpFrame(at, "share over TCP", "FrameKissServer", "KissServer", "KISS server",
                           "send every frame received to programs that connect over TCP");
  sharing_.host->setToolTip("the address to listen on; 127.0.0.1 lets only this computer in");
  sharingTransmit_ = new QCheckBox("allow clients to transmit", sharing_.on->parentWidget());
  sharingTransmit_->setObjectName("KissServerTransmit");
  sharingTransmit_->setGeometry(Twips(120, 900, 3495, 315));
  sharingTransmit_->setToolTip("the clients' KISS data frames go to the TNC");
  sharingTransmit_->setFont(DialogFont(false));
  sharing_.switched.push_back(sharingTransmit_);
  connect(sharing_.on, &QCheckBox::toggled, this, [this](bool on) {
    for (QWidget* w : sharing_.switched) w->setEnabled(on);
  });
  SetSharing(KissServerChoice{});
}

void SetupDialog::SetSharing(const KissServerChoice& choice) {
  ShowTcpFrame(sharing_, choice.on, choice.address.host, choice.address.port);
  sharingTransmit_->setChecked(choice.clientsTransmit);
}

KissServerChoice SetupDialog::ChosenSharing() const {
  return SharingChoice(sharing_.on->isChecked(), sharing_.host->text().toStdString(),
                       sharing_.port->text().toStdString(), sharingTransmit_->isChecked());
}

void SetupDialog::BuildDevices(const QRect& at) {
  auto* group = new FrameBox("serial devices", this);
  group->setObjectName("FrameDevices");
  group->setGeometry(at);
  group->setFont(DialogFont(true));
  group->setToolTip("OK makes the port's COM link lead to the device chosen");
  int top = 300;
  for (SetupFrame frame : {SetupFrame::Incoming, SetupFrame::Outgoing}) {
    const bool incoming = frame == SetupFrame::Incoming;
    auto* caption = new QLabel(incoming ? "COM A:" : "COM B:", group);
    caption->setGeometry(Twips(120, top, 615, 315));
    caption->setFont(DialogFont(false));
    auto* box = new DeviceList(group, [this, frame] { FillDevices(frame); });
    box->setObjectName(incoming ? "IncomingDevice" : "OutgoingDevice");
    box->setGeometry(Twips(780, top, 5160, 315));
    box->setFont(DialogFont(false));
    devices_[incoming ? 0 : 1] = box;
    connect(box, &QComboBox::currentIndexChanged, this, [this, frame] { ShowPortDevice(frame); });
    FillDevices(frame);
    top += 360;
  }
}

void SetupDialog::SetDeviceSource(SerialDeviceSource* source) {
  deviceSource_ = source;
  for (SetupFrame frame : {SetupFrame::Incoming, SetupFrame::Outgoing}) FillDevices(frame);
}

// The entry chosen stays chosen while the device is there.
void SetupDialog::FillDevices(SetupFrame frame) {
  QComboBox* box = DeviceBox(frame);
  const QString chosen = box->currentData().toString();
  const std::vector<SerialDevice> devices =
      deviceSource_ != nullptr ? deviceSource_->Devices() : std::vector<SerialDevice>{};
  const QSignalBlocker quiet(box);
  box->clear();
  box->addItem(ToQString(NoDeviceEntry(PortNumber(frame))), QString());
  for (std::size_t i = 0; i < devices.size() && i < kMostDevices; ++i) {
    const QString line = QString::fromStdString(DeviceLine(devices[i]));
    box->addItem(line, QString::fromStdString(devices[i].name));
    box->setItemData(box->count() - 1, line, Qt::ToolTipRole);
  }
  box->setCurrentIndex(std::max(0, box->findData(chosen)));
  ShowPortDevice(frame);
}

QComboBox* SetupDialog::DeviceBox(SetupFrame frame) const {
  return devices_[frame == SetupFrame::Incoming ? 0 : 1];
}

std::filesystem::path SetupDialog::ChosenDevice(SetupFrame frame) const {
  const QComboBox* box = DeviceBox(frame);
  if (box == nullptr) return {};
  return box->currentData().toString().toStdString();
}

DeviceChoice SetupDialog::ChosenDevices() const {
  return {ChosenDevice(SetupFrame::Incoming), ChosenDevice(SetupFrame::Outgoing)};
}

std::string SetupDialog::IncomingPortLine() const { return PortLine(SetupFrame::Incoming); }
std::string SetupDialog::OutgoingPortLine() const { return PortLine(SetupFrame::Outgoing); }

QComboBox* SetupDialog::Box(int number) const {
  if (number < 1 || number > static_cast<int>(2 * kSetupColumns)) return nullptr;
  const std::size_t i = static_cast<std::size_t>(number - 1);
  return i < kSetupColumns ? incoming_[i] : outgoing_[i - kSetupColumns];
}

QLabel* SetupDialog::Caption(int index) const {
  if (index < 0 || index >= static_cast<int>(captions_.size())) return nullptr;
  return captions_[static_cast<std::size_t>(index)];
}

}  // namespace vorlink
