#include "app/qt_kiss_server.h"

#include <QHostAddress>

#include <algorithm>
#include <cstdint>
#include <span>

namespace vorlink {
namespace {

// What a socket may hold beyond what the network took: enough to keep a fast
// client busy, small beside the core's queue.
constexpr qint64 kSocketAhead = 64 * 1024;
constexpr qint64 kReadChunk = 4096;

QHostAddress ListenAddress(const std::string& host) {
  if (host == "localhost") return QHostAddress(QHostAddress::LocalHost);
  return QHostAddress(QString::fromStdString(host));
}

std::string PeerName(const QTcpSocket& socket) {
  QHostAddress peer = socket.peerAddress();
  bool isV4 = false;
  const quint32 v4 = peer.toIPv4Address(&isV4);
  if (isV4) peer = QHostAddress(v4);
  const std::string port = std::to_string(socket.peerPort());
  if (isV4) return peer.toString().toStdString() + ":" + port;
  return "[" + peer.toString().toStdString() + "]:" + port;
}

std::string AddressText(const KissTcpAddress& address) {
  if (address.host.find(':') != std::string::npos) {
    return "[" + address.host + "]:" + std::to_string(address.port);
  }
  return address.host + ":" + std::to_string(address.port);
}

}  // namespace

QtKissServer::QtKissServer(KissServer& core, StatusLine& status, QObject* parent)
    : QObject(parent), core_(core), status_(status) {
  connect(&server_, &QTcpServer::newConnection, this, &QtKissServer::OnNewConnection);
}

QtKissServer::~QtKissServer() {
  // The core may be gone already: close quietly.
  for (auto& [id, socket] : sockets_) Abort(socket);
  sockets_.clear();
}

bool QtKissServer::Start(const KissTcpAddress& address) {
  const QHostAddress host = ListenAddress(address.host);
  if (host.isNull() || !server_.listen(host, address.port)) {
    const std::string why = host.isNull() ? std::string("no such address")
                                          : server_.errorString().toStdString();
    status_.SetSimpleText("KISS server: cannot listen on " + AddressText(address) + " (" + why + ")");
    return false;
  }
  // Stop takes the sockets back from the core; a later start gives them again.
  core_.SetSockets(this);
  KissTcpAddress shown = address;
  shown.port = server_.serverPort();
  status_.SetSimpleText("KISS server: listening on " + AddressText(shown));
  return true;
}

void QtKissServer::Stop() {
  server_.close();
  while (!sockets_.empty()) {
    const auto [id, socket] = *sockets_.begin();
    sockets_.erase(sockets_.begin());
    Abort(socket);
    core_.Disconnect(id);
  }
  core_.SetSockets(nullptr);
}

void QtKissServer::OnNewConnection() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    const auto accepted = core_.Connect(PeerName(*socket));
    if (!accepted) {
      Abort(socket);
      continue;
    }
    const KissClientId id = *accepted;
    sockets_.emplace(id, socket);
    connect(socket, &QTcpSocket::bytesWritten, this, [this, id] { Pump(id); });
    connect(socket, &QTcpSocket::readyRead, this, [this, id, socket] {
      char buffer[kReadChunk];
      for (qint64 n; (n = socket->read(buffer, kReadChunk)) > 0;) {
        core_.FromClient(id, std::span(reinterpret_cast<const std::uint8_t*>(buffer),
                                       static_cast<std::size_t>(n)));
      }
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, id] {
      const auto it = sockets_.find(id);
      if (it == sockets_.end()) return;
      QTcpSocket* gone = it->second;
      sockets_.erase(it);
      gone->disconnect(this);
      gone->deleteLater();
      core_.Disconnect(id);
    });
  }
}

void QtKissServer::Wake(KissClientId client) { Pump(client); }

void QtKissServer::Pump(KissClientId client) {
  const auto it = sockets_.find(client);
  if (it == sockets_.end()) return;
  QTcpSocket& socket = *it->second;
  while (socket.bytesToWrite() < kSocketAhead) {
    const auto pending = core_.Pending(client);
    if (pending.empty()) return;
    const auto count = std::min<std::size_t>(pending.size(), kSocketAhead);
    const qint64 written = socket.write(reinterpret_cast<const char*>(pending.data()),
                                        static_cast<qint64>(count));
    if (written <= 0) return;
    core_.Taken(client, static_cast<std::size_t>(written));
  }
}

void QtKissServer::Close(KissClientId client) {
  const auto it = sockets_.find(client);
  if (it == sockets_.end()) return;
  QTcpSocket* socket = it->second;
  sockets_.erase(it);
  Abort(socket);
}

void QtKissServer::Abort(QTcpSocket* socket) {
  socket->disconnect(this);
  socket->abort();
  socket->deleteLater();
}

}  // namespace vorlink
