#include "link/qt_kiss_tcp_source.h"

#include <QDeadlineTimer>

namespace vorlink {
namespace {

// Long enough for a peer on the local network, short enough that a host that
// never answers holds the window up only briefly at each try.
constexpr int kConnectWaitMs = 1000;
// As for a serial port: the last bytes for the peer, without waiting on it for long.
constexpr int kFlushBoundMs = 1000;

}  // namespace

QtKissTcpSource::QtKissTcpSource(KissTcpAddress address, QObject* parent)
    : QObject(parent), address_(std::move(address)) {
  connect(&socket_, &QTcpSocket::readyRead, this, &QtKissTcpSource::OnReadyRead);
  connect(&socket_, &QTcpSocket::disconnected, this, &QtKissTcpSource::OnDisconnected);
}

QtKissTcpSource::~QtKissTcpSource() {
  socket_.disconnect(this);
  socket_.abort();
}

bool QtKissTcpSource::SetPortOpen(bool open) {
  if (open == PortOpen()) return true;
  ownMove_ = true;
  if (!open) {
    QDeadlineTimer deadline(kFlushBoundMs);
    while (socket_.bytesToWrite() > 0 && !deadline.hasExpired()) {
      if (!socket_.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) break;
    }
    socket_.abort();
    ownMove_ = false;
    return true;
  }
  socket_.abort();
  inputBuffer_.clear();
  socket_.connectToHost(QString::fromStdString(address_.host), address_.port);
  const bool connected = socket_.waitForConnected(kConnectWaitMs);
  if (connected) {
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    openError_.clear();
  } else {
    openError_ = socket_.error() == QAbstractSocket::SocketTimeoutError
                     ? "no answer"
                     : socket_.errorString().toStdString();
    socket_.abort();
  }
  ownMove_ = false;
  return connected;
}

bool QtKissTcpSource::PortOpen() const {
  return socket_.state() == QAbstractSocket::ConnectedState;
}

std::span<const std::uint8_t> QtKissTcpSource::Input() {
  inputBuffer_ = socket_.readAll();
  return {reinterpret_cast<const std::uint8_t*>(inputBuffer_.constData()),
          static_cast<std::size_t>(inputBuffer_.size())};
}

void QtKissTcpSource::DiscardInput() { socket_.readAll(); }

bool QtKissTcpSource::Output(std::span<const std::uint8_t> bytes) {
  if (!PortOpen()) return false;
  if (bytes.empty()) return true;
  const qint64 written =
      socket_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  return written == static_cast<qint64>(bytes.size());
}

std::size_t QtKissTcpSource::BytesToWrite() const {
  return static_cast<std::size_t>(socket_.bytesToWrite());
}

void QtKissTcpSource::OnReadyRead() {
  if (!ownMove_) emit OnComm(kCommEvReceive);
}

void QtKissTcpSource::OnDisconnected() {
  if (ownMove_) return;
  // What the peer sent before it closed is still frames: hand it out first.
  if (socket_.bytesAvailable() > 0) emit OnComm(kCommEvReceive);
  emit DeviceLost();
}

}  // namespace vorlink
