// A TCP client as the time server exchange uses it: an asynchronous connect,
// a state that is either closed or not, fetching what has arrived in bounded
// pieces, closing, and four events delivered to a handler. The Qt adapter and
// the test fakes stand behind it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vorlink {

class TcpClientHandler {
 public:
  virtual ~TcpClientHandler() = default;
  // The connection is established.
  virtual void OnConnected() = 0;
  // Bytes are waiting; fetch them with Read.
  virtual void OnDataArrival() = 0;
  // The peer closed the connection (not sent after our own Close).
  virtual void OnClose() = 0;
  // A socket failure: a positive number, the same for the same failure every
  // time, and a description.
  virtual void OnError(int number, std::string_view description) = 0;
};

class TcpClient {
 public:
  virtual ~TcpClient() = default;
  // Where events go; nullptr for nowhere.
  virtual void SetHandler(TcpClientHandler* handler) = 0;
  // True when no connection exists and none is being made.
  virtual bool IsClosed() const = 0;
  // Drops the connection, or the attempt to make one, at once.
  virtual void Close() = 0;
  // Starts connecting; the outcome arrives as OnConnected or OnError.
  virtual void Connect(std::string_view host, std::uint16_t port) = 0;
  // The bytes waiting, in arrival order, at most maxBytes of them; the rest
  // stay for the next Read.
  virtual std::vector<std::uint8_t> Read(std::size_t maxBytes) = 0;
};

}  // namespace vorlink
