#include "link/qt_kiss_tcp_source.h"

#include "link/qt_hand_over.h"

namespace vorlink {
namespace {

constexpr const char* kNoAnswer = "no answer";

}  // namespace

QtKissTcpSource::QtKissTcpSource(KissTcpAddress address, QObject* parent,
                                 std::chrono::milliseconds connectBound)
    : QObject(parent), address_(std::move(address)) {
  connectBound_.setSingleShot(true);
  connectBound_.setInterval(connectBound);
  connect(&connectBound_, &QTimer::timeout, this, &QtKissTcpSource::OnConnectBound);
  connect(&socket_, &QTcpSocket::connected, this, &QtKissTcpSource::OnConnected);
  connect(&socket_, &QTcpSocket::errorOccurred, this, &QtKissTcpSource::OnSocketError);
  connect(&socket_, &QTcpSocket::readyRead, this, &QtKissTcpSource::OnReadyRead);
  connect(&socket_, &QTcpSocket::disconnected, this, &QtKissTcpSource::OnDisconnected);
}

QtKissTcpSource::~QtKissTcpSource() {
  socket_.disconnect(this);
  HandOverQueued(socket_);
  socket_.abort();
}

bool QtKissTcpSource::SetPortOpen(bool open) {
  if (!open) {
    Close();
    return true;
  }
  if (PortOpen()) return true;
  if (connecting_) return false;
  ownMove_ = true;
  socket_.abort();
  inputBuffer_.clear();
  openError_.clear();
  connecting_ = true;
  socket_.connectToHost(QString::fromStdString(address_.host), address_.port);
  ownMove_ = false;
  // A peer on this machine may have answered, or refused, already.
  if (PortOpen()) {
    Opened();
    return true;
  }
  if (socket_.state() == QAbstractSocket::UnconnectedState) {
    connecting_ = false;
    openError_ = socket_.errorString().toStdString();
    return false;
  }
  connectBound_.start();
  return false;
}

void QtKissTcpSource::Close() {
  connectBound_.stop();
  connecting_ = false;
  pacer_.Stop();
  ownMove_ = true;
  // The last bytes for the peer go to the system, which sends them after the close.
  HandOverQueued(socket_);
  socket_.abort();
  ownMove_ = false;
}

void QtKissTcpSource::Opened() {
  connectBound_.stop();
  connecting_ = false;
  socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
}

void QtKissTcpSource::OnConnected() {
  if (ownMove_ || !connecting_) return;
  Opened();
  emit Connected();
}

void QtKissTcpSource::OnSocketError() {
  // Errors of a connection that stood end in disconnected(); those of a
  // connect under way end it here.
  if (ownMove_ || !connecting_) return;
  FailConnect(socket_.errorString().toStdString());
}

void QtKissTcpSource::OnConnectBound() {
  if (connecting_) FailConnect(kNoAnswer);
}

void QtKissTcpSource::FailConnect(std::string why) {
  connectBound_.stop();
  connecting_ = false;
  openError_ = std::move(why);
  ownMove_ = true;
  socket_.abort();
  ownMove_ = false;
  emit ConnectFailed();
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
  if (ownMove_) return;
  const auto brought = static_cast<std::size_t>(socket_.bytesAvailable());
  emit OnComm(kCommEvReceive);
  if (PortOpen()) pacer_.AfterRead(brought);
}

void QtKissTcpSource::OnDisconnected() {
  if (ownMove_) return;
  pacer_.Stop();
  // What the peer sent before it closed is still frames: hand it out first.
  if (socket_.bytesAvailable() > 0) emit OnComm(kCommEvReceive);
  emit DeviceLost();
}

}  // namespace vorlink
