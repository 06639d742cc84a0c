// The KISS server's sockets over QTcpServer: accepts clients, sends each the
// bytes its core queued as fast as the socket takes them, and hands what a
// client sends to the core. Only a small amount is ever handed to a socket
// ahead of the network, so the core's queue, bounded, is where a slow client
// shows.
#pragma once

#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

#include <map>
#include <string>

#include "app/kiss_server.h"
#include "link/kiss_tcp_address.h"

namespace vorlink {

class QtKissServer : public QObject, public KissServerSockets {
  Q_OBJECT

 public:
  QtKissServer(KissServer& core, StatusLine& status, QObject* parent = nullptr);
  ~QtKissServer() override;
  QtKissServer(const QtKissServer&) = delete;
  QtKissServer& operator=(const QtKissServer&) = delete;

  // Listens at the address; the result goes to the status line.
  bool Start(const KissTcpAddress& address);
  // Stops listening and disconnects every client.
  void Stop();
  // The port listened on (the one chosen when 0 was asked for); 0 when not listening.
  std::uint16_t Port() const { return server_.isListening() ? server_.serverPort() : 0; }

  void Wake(KissClientId client) override;
  void Close(KissClientId client) override;

 private:
  void OnNewConnection();
  void Pump(KissClientId client);
  void Abort(QTcpSocket* socket);

  KissServer& core_;
  StatusLine& status_;
  QTcpServer server_;
  std::map<KissClientId, QTcpSocket*> sockets_;
};

}  // namespace vorlink
