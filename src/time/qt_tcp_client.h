// The TCP client over QTcpSocket. Qt's socket errors become fixed positive
// numbers (the system's errno values where one fits), and the peer closing
// the connection, which Qt also reports as an error, is passed on only as
// the close event.
#pragma once

#include <QAbstractSocket>
#include <QTcpSocket>

#include "time/tcp_client.h"

namespace vorlink {

// What the socket may hold unread. Qt stops reading from the system while it
// is full, so a peer that never stops sending costs this much and no more,
// and each read event brings at most one such piece before the event loop
// goes on.
inline constexpr qint64 kTcpReadBufferSize = 16 * 1024;

// The number handed to OnError for a Qt socket error; always above 0.
int SocketErrorNumber(QAbstractSocket::SocketError error);

class QtTcpClient final : public TcpClient {
 public:
  QtTcpClient();
  ~QtTcpClient() override;
  QtTcpClient(const QtTcpClient&) = delete;
  QtTcpClient& operator=(const QtTcpClient&) = delete;

  void SetHandler(TcpClientHandler* handler) override { handler_ = handler; }
  bool IsClosed() const override;
  void Close() override;
  void Connect(std::string_view host, std::uint16_t port) override;
  std::vector<std::uint8_t> Read(std::size_t maxBytes) override;

 private:
  void OnReadyRead();
  void OnDisconnected();
  void OnErrorOccurred(QAbstractSocket::SocketError error);

  QTcpSocket socket_;
  TcpClientHandler* handler_ = nullptr;
  // Set from our own Close to the next Connect: the disconnect that close
  // causes is no close event.
  bool closedByUs_ = false;
  // Set once a failure was reported for this connection: it ends the exchange,
  // and a disconnect Qt sends after it is no close event either.
  bool failed_ = false;
};

}  // namespace vorlink
