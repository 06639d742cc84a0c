// The incoming source over a KISS-over-TCP peer (a software TNC), standing
// where the serial port stands: the same OnComm(2) when bytes are waiting,
// the same DeviceLost when the peer goes away, so the pipeline cannot tell
// them apart. A TCP link has no port number and no line settings: CommPort
// is 0 and both setters refuse. Opening never waits: SetPortOpen(true)
// starts the connect and its end comes as Connected or ConnectFailed; a peer
// that does not answer within a bound has failed with "no answer".
#pragma once

#include <QByteArray>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "link/kiss_tcp_address.h"
#include "link/qt_read_pacer.h"
#include "link/serial_port_component.h"

namespace vorlink {

// Long enough for a SYN lost twice on the way to a far peer; nothing waits
// on it, so it holds up only the next try.
inline constexpr std::chrono::milliseconds kKissTcpConnectBound{5000};

class QtKissTcpSource : public QObject, public SerialPortComponent {
  Q_OBJECT

 public:
  explicit QtKissTcpSource(KissTcpAddress address, QObject* parent = nullptr,
                           std::chrono::milliseconds connectBound = kKissTcpConnectBound);
  ~QtKissTcpSource() override;
  QtKissTcpSource(const QtKissTcpSource&) = delete;
  QtKissTcpSource& operator=(const QtKissTcpSource&) = delete;

  bool SetCommPort(std::int16_t) override { return false; }
  std::int16_t CommPort() const override { return 0; }
  bool SetSettings(std::string_view) override { return false; }
  std::string Settings() const override { return {}; }

  // true: true when connected at once (a local peer may be), false with
  // Opening() while the connect goes on, false without it when it failed at
  // once. false: also gives up a connect under way, without an event.
  bool SetPortOpen(bool open) override;
  bool Opening() const override { return connecting_; }
  std::string OpenError() const override { return openError_; }
  bool PortOpen() const override;
  std::span<const std::uint8_t> Input() override;
  void DiscardInput() override;
  bool Output(std::span<const std::uint8_t> bytes) override;
  using SerialPort::Output;
  std::size_t BytesToWrite() const override;
  // Reads followed by a rest (see QtReadPacer).
  std::size_t ReadRests() const { return pacer_.Rests(); }

 signals:
  void OnComm(int commEvent);
  // The peer closed or the connection broke; the source is closed.
  void DeviceLost();
  // The connect that SetPortOpen(true) started ended: open, or not (OpenError says why).
  void Connected();
  void ConnectFailed();

 private:
  void Close();
  void Opened();
  void OnConnected();
  void OnSocketError();
  void OnConnectBound();
  void FailConnect(std::string why);
  void OnReadyRead();
  void OnDisconnected();

  KissTcpAddress address_;
  QTcpSocket socket_;
  QTimer connectBound_;
  QtReadPacer pacer_{socket_};
  std::string openError_;
  QByteArray inputBuffer_;
  // Set while we connect or close ourselves: those are no events of the peer.
  bool ownMove_ = false;
  bool connecting_ = false;
};

}  // namespace vorlink
