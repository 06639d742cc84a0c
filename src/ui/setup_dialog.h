// " Setup COM - TNC": the two serial ports and their line settings. OK hands
// the two port lines to whoever opened the dialog; the dialog itself saves
// and applies nothing. It never reads the current settings: every new dialog
// offers COM01 and COM02 at 19200 baud, 8 data bits, no parity, 1 stop bit.
// Below the boxes, the incoming side may be a KISS-over-TCP peer instead;
// that choice is handed in by the owner and read back after OK. Last, for
// each frame's port, the device its COM link is to lead to, from a list the
// owner's source gives; the owner makes the link.
#pragma once

#include <QDialog>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "app/device_links.h"
#include "app/setup_choice.h"
#include "link/serial_device.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace vorlink {

class SetupDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit SetupDialog(QWidget* parent = nullptr);

  // The port lines as OK builds them from the boxes ("01,19200,N,8,1").
  std::string IncomingPortLine() const;
  std::string OutgoingPortLine() const;

  // The box named Combo<number> (1 to 10) and the caption of the column
  // labels' control array Label1 at index 0 to 9.
  QComboBox* Box(int number) const;
  QLabel* Caption(int index) const;

  void SetLinkChoice(const LinkChoice& choice);
  LinkChoice ChosenLink() const;
  void SetSharing(const KissServerChoice& choice);
  KissServerChoice ChosenSharing() const;
  // Fills both device lists now, and again whenever one is opened.
  void SetDeviceSource(SerialDeviceSource* source);
  DeviceChoice ChosenDevices() const;
  QComboBox* DeviceBox(SetupFrame frame) const;

 signals:
  void PortLinesChosen(const std::string& incoming, const std::string& outgoing);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using FrameBoxes = std::array<QComboBox*, kSetupColumns>;

  void BuildFrame(SetupFrame frame, const QRect& at, const char* caption, int firstBox);
  std::string PortLine(SetupFrame frame) const;
  void ShowPortDevice(SetupFrame frame);
  const FrameBoxes& Boxes(SetupFrame frame) const;
  // A frame below the ten boxes: a switch, then host and port, which are
  // only to be edited while the switch is on.
  struct TcpFrame {
    QCheckBox* on = nullptr;
    QLineEdit* host = nullptr;
    QLineEdit* port = nullptr;
    std::vector<QWidget*> switched;  // host, port and whatever else goes with them
  };
  TcpFrame BuildTcpFrame(const QRect& at, const char* caption, const char* frameName,
                         const char* switchName, const char* switchCaption,
                         const char* switchTip);
  static void ShowTcpFrame(const TcpFrame& frame, bool on, const std::string& host, int port);
  void BuildKissTcp(const QRect& at);
  void BuildSharing(const QRect& at);
  void BuildDevices(const QRect& at);
  void FillDevices(SetupFrame frame);
  std::filesystem::path ChosenDevice(SetupFrame frame) const;
  int PortNumber(SetupFrame frame) const;

  FrameBoxes incoming_{};
  FrameBoxes outgoing_{};
  std::array<QLabel*, 2 * kSetupColumns> captions_{};
  TcpFrame kissTcp_;
  TcpFrame sharing_;
  QCheckBox* sharingTransmit_ = nullptr;
  std::array<QComboBox*, 2> devices_{};  // incoming, outgoing
  SerialDeviceSource* deviceSource_ = nullptr;
};

}  // namespace vorlink
