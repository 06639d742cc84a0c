// The serial port component over QSerialPort. Received bytes, modem line
// changes and line errors all come out of the one OnComm signal with their
// CommEvent code, as the window's handlers expect:
//   2            bytes are waiting (read them with Input())
//   3, 4, 5, 6   the CTS, DSR, CD or RI line changed
//   1001 break, 1004 framing error, 1006 overrun, 1008 receive buffer
//   overflow, 1009 parity error, where the driver counts them.
// A device that goes away (USB adapter unplugged, the other end of a
// pseudo-terminal closed) closes the port; the program goes on without it.
// Until the port is closed on purpose or given another number, it opens
// again only at the name it was opened by (the COMn link, or the on-board
// device when there was none), so it finds the TNC back where it was.
// Reads are paced by what they bring (see QtReadPacer): a trickle arrives
// as a few chunks rather than hundreds, a burst as fast as it is taken.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QTimer>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/line_settings.h"
#include "link/qt_read_pacer.h"
#include "link/serial_port_component.h"

namespace vorlink {

inline constexpr int kCommEvCts = 3;
inline constexpr int kCommEvDsr = 4;
inline constexpr int kCommEvCd = 5;
inline constexpr int kCommEvRing = 6;
inline constexpr int kCommEvBreak = 1001;
inline constexpr int kCommEvFrame = 1004;
inline constexpr int kCommEvOverrun = 1006;
inline constexpr int kCommEvRxOver = 1008;
inline constexpr int kCommEvRxParity = 1009;

class QtSerialPort : public QObject, public SerialPortComponent {
  Q_OBJECT

 public:
  explicit QtSerialPort(QObject* parent = nullptr);
  ~QtSerialPort() override;
  QtSerialPort(const QtSerialPort&) = delete;
  QtSerialPort& operator=(const QtSerialPort&) = delete;

  // Refused below 0 and while the port is open (the open port keeps its device).
  bool SetCommPort(std::int16_t port) override;
  std::int16_t CommPort() const override { return commPort_; }
  // Checked at once; while open also applied at once, and a value the driver
  // refuses is taken back. While closed the driver sees it at the next open.
  bool SetSettings(std::string_view settings) override;
  std::string Settings() const override { return settingsText_; }

  bool SetPortOpen(bool open) override;
  std::string OpenError() const override { return openError_; }
  bool PortOpen() const override;
  std::span<const std::uint8_t> Input() override;
  void DiscardInput() override;
  bool Output(std::span<const std::uint8_t> bytes) override;
  using SerialPort::Output;
  // What QSerialPort still queues for the device.
  std::size_t BytesToWrite() const override;
  // What QSerialPort holds read from the device and not yet handed out.
  std::size_t BytesWaiting() const;

  // Reads followed by a rest (see QtReadPacer).
  std::size_t ReadRests() const { return pacer_.Rests(); }

  // The code of the latest OnComm.
  int CommEvent() const { return commEvent_; }

 signals:
  void OnComm(int commEvent);
  // The device went away and the port was closed.
  void DeviceLost();

 private:
  // Driver counters of line changes and errors (TIOCGICOUNT).
  struct LineCounters {
    int cts = 0, dsr = 0, rng = 0, dcd = 0;
    int frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
  };

  bool ApplyLineSettings(const LineSettings& settings);
  void OnReadyRead();
  void OnErrorOccurred(QSerialPort::SerialPortError error);
  void StartWatchingLines();
  void PollLines();
  std::optional<int> ReadModemLines();
  std::optional<LineCounters> ReadCounters();
  void EmitChanges(const std::optional<int>& lastLines, const std::optional<int>& lines,
                   const std::optional<LineCounters>& lastCounters,
                   const std::optional<LineCounters>& counters);
  void Emit(int code);
  void CloseLostDevice();

  QSerialPort port_;
  QTimer linePoll_;
  QtReadPacer pacer_{port_};
  std::int16_t commPort_ = 0;
  std::string settingsText_;
  LineSettings settings_;
  int commEvent_ = 0;
  std::string openError_;
  // The name of the last open (PortPath), and while lost the name to open again.
  std::filesystem::path openedBy_;
  std::filesystem::path lostName_;
  // What the last Input() handed out.
  QByteArray inputBuffer_;
  // What the driver could tell at the last poll; unset when it cannot.
  std::optional<int> modemLines_;
  std::optional<LineCounters> counters_;
  // Set from the first sign of a vanished device until the port is closed.
  bool losing_ = false;
  // Set while we close the port ourselves.
  bool closing_ = false;
  // Counts opens and closes, so a close queued for one open never hits the next.
  unsigned generation_ = 0;
};

}  // namespace vorlink
