#include "time/qt_tcp_client.h"

#include <algorithm>
#include <cerrno>

#include <QByteArray>
#include <QString>

namespace vorlink {
namespace {

using SocketError = QAbstractSocket::SocketError;

struct ErrorNumber {
  SocketError error;
  int number;
};

// The resolver has no errno of its own; "no such device or address" is the
// nearest. Qt reports both an unreachable host and an unreachable network as
// NetworkError.
constexpr ErrorNumber kErrorNumbers[] = {
    {SocketError::ConnectionRefusedError, ECONNREFUSED},
    {SocketError::RemoteHostClosedError, ECONNRESET},
    {SocketError::HostNotFoundError, ENXIO},
    {SocketError::SocketAccessError, EACCES},
    {SocketError::SocketResourceError, ENOBUFS},
    {SocketError::SocketTimeoutError, ETIMEDOUT},
    {SocketError::DatagramTooLargeError, EMSGSIZE},
    {SocketError::NetworkError, ENETUNREACH},
    {SocketError::AddressInUseError, EADDRINUSE},
    {SocketError::SocketAddressNotAvailableError, EADDRNOTAVAIL},
    {SocketError::UnsupportedSocketOperationError, EOPNOTSUPP},
    {SocketError::UnfinishedSocketOperationError, EALREADY},
    {SocketError::ProxyAuthenticationRequiredError, EACCES},
    {SocketError::SslHandshakeFailedError, EPROTO},
    {SocketError::ProxyConnectionRefusedError, ECONNREFUSED},
    {SocketError::ProxyConnectionClosedError, ECONNRESET},
    {SocketError::ProxyConnectionTimeoutError, ETIMEDOUT},
    {SocketError::ProxyNotFoundError, ENXIO},
    {SocketError::ProxyProtocolError, EPROTO},
    {SocketError::OperationError, EINVAL},
    {SocketError::SslInternalError, EPROTO},
    {SocketError::SslInvalidUserDataError, EPROTO},
    {SocketError::TemporaryError, EAGAIN},
};
constexpr int kUnknownErrorNumber = EIO;

}  // namespace

int SocketErrorNumber(QAbstractSocket::SocketError error) {
  for (const ErrorNumber& entry : kErrorNumbers) {
    if (entry.error == error) return entry.number;
  }
  return kUnknownErrorNumber;
}

QtTcpClient::QtTcpClient() {
  socket_.setReadBufferSize(kTcpReadBufferSize);
  QObject::connect(&socket_, &QTcpSocket::connected, &socket_, [this] {
    if (handler_) handler_->OnConnected();
  });
  QObject::connect(&socket_, &QTcpSocket::readyRead, &socket_, [this] { OnReadyRead(); });
  QObject::connect(&socket_, &QTcpSocket::disconnected, &socket_, [this] { OnDisconnected(); });
  QObject::connect(&socket_, &QTcpSocket::errorOccurred, &socket_,
                   [this](SocketError error) { OnErrorOccurred(error); });
}

QtTcpClient::~QtTcpClient() {
  // Leaving must not raise a close event in a handler that may be gone.
  handler_ = nullptr;
  QObject::disconnect(&socket_, nullptr, &socket_, nullptr);
  socket_.abort();
}

bool QtTcpClient::IsClosed() const { return socket_.state() == QAbstractSocket::UnconnectedState; }

void QtTcpClient::Close() {
  closedByUs_ = true;
  socket_.abort();
}

void QtTcpClient::Connect(std::string_view host, std::uint16_t port) {
  closedByUs_ = false;
  failed_ = false;
  socket_.connectToHost(QString::fromUtf8(host.data(), static_cast<qsizetype>(host.size())), port);
}

std::vector<std::uint8_t> QtTcpClient::Read(std::size_t maxBytes) {
  // QIODevice::read sizes its result to the request first: ask for no more
  // than is there.
  const auto available = static_cast<std::uint64_t>(socket_.bytesAvailable());
  const auto wanted = static_cast<qint64>(std::min<std::uint64_t>(available, maxBytes));
  if (wanted <= 0) return {};
  const QByteArray bytes = socket_.read(wanted);
  return {bytes.begin(), bytes.end()};
}

void QtTcpClient::OnReadyRead() {
  if (handler_) handler_->OnDataArrival();
}

void QtTcpClient::OnDisconnected() {
  if (closedByUs_ || failed_ || !handler_) return;
  // Bytes that came with the peer's close belong to the exchange; the handler
  // may close the socket itself on seeing them.
  if (socket_.bytesAvailable() > 0) handler_->OnDataArrival();
  if (handler_ && !closedByUs_) handler_->OnClose();
}

void QtTcpClient::OnErrorOccurred(SocketError error) {
  // The peer's normal close also arrives as disconnected, handled there.
  if (error == SocketError::RemoteHostClosedError) return;
  failed_ = true;
  if (!handler_) return;
  handler_->OnError(SocketErrorNumber(error), socket_.errorString().toStdString());
}

}  // namespace vorlink
