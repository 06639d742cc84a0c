// The incoming source over a KISS-over-TCP peer (a software TNC), standing
// where the serial port stands: the same OnComm(2) when bytes are waiting,
// the same DeviceLost when the peer goes away, so the pipeline cannot tell
// them apart. A TCP link has no port number and no line settings: CommPort
// is 0 and both setters refuse. Opening waits a bounded time for the
// connection, as opening a serial device does not wait at all.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QTcpSocket>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "link/kiss_tcp_address.h"
#include "link/serial_port_component.h"

namespace vorlink {

class QtKissTcpSource : public QObject, public SerialPortComponent {
  Q_OBJECT

 public:
  explicit QtKissTcpSource(KissTcpAddress address, QObject* parent = nullptr);
  ~QtKissTcpSource() override;
  QtKissTcpSource(const QtKissTcpSource&) = delete;
  QtKissTcpSource& operator=(const QtKissTcpSource&) = delete;

  bool SetCommPort(std::int16_t) override { return false; }
  std::int16_t CommPort() const override { return 0; }
  bool SetSettings(std::string_view) override { return false; }
  std::string Settings() const override { return {}; }

  bool SetPortOpen(bool open) override;
  std::string OpenError() const override { return openError_; }
  bool PortOpen() const override;
  std::span<const std::uint8_t> Input() override;
  void DiscardInput() override;
  bool Output(std::span<const std::uint8_t> bytes) override;
  using SerialPort::Output;
  std::size_t BytesToWrite() const override;

 signals:
  void OnComm(int commEvent);
  // The peer closed or the connection broke; the source is closed.
  void DeviceLost();

 private:
  void OnReadyRead();
  void OnDisconnected();

  KissTcpAddress address_;
  QTcpSocket socket_;
  std::string openError_;
  QByteArray inputBuffer_;
  // Set while we connect or close ourselves: those are no events of the peer.
  bool ownMove_ = false;
};

}  // namespace vorlink
