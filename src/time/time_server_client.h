// The time server exchange, once per load of the main window: connect to the
// server, collect what it sends, and when it closes the connection set the
// system clock from the four bytes (RFC 868). Every step is reported in the
// status line. No retry, no time-out; a server that keeps the connection open
// leaves the clock alone until the next ConnectTimeServer. A server that sends
// more than kTimeServerDataLimit bytes is cut off and not believed.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/status_line.h"
#include "base/clock.h"
#include "time/tcp_client.h"

namespace vorlink {

// The TCP port of the time protocol.
inline constexpr std::uint16_t kTimeProtocolPort = 37;

// The most TimeServerData keeps; an answer is four bytes.
inline constexpr std::size_t kTimeServerDataLimit = 64 * 1024;

// The "data received: " text lists at most this many bytes of an arrival.
inline constexpr std::size_t kDataReceivedListed = 16;

class TimeServerClient final : private TcpClientHandler {
 public:
  // Registers itself as the handler of tcp for as long as it lives. The port
  // is the time protocol's unless a test asks for another.
  TimeServerClient(TcpClient& tcp, Clock& clock, StatusLine& status,
                   std::uint16_t remotePort = kTimeProtocolPort);
  ~TimeServerClient() override;
  TimeServerClient(const TimeServerClient&) = delete;
  TimeServerClient& operator=(const TimeServerClient&) = delete;

  // Starts a new exchange with host, closing a socket still open from an
  // earlier one first.
  void ConnectTimeServer(std::string_view host);

  // Everything received since the last ConnectTimeServer, at most
  // kTimeServerDataLimit bytes.
  const std::vector<std::uint8_t>& TimeServerData() const { return data_; }

 private:
  void OnConnected() override;
  void OnDataArrival() override;
  void OnClose() override;
  void OnError(int number, std::string_view description) override;

  TcpClient& tcp_;
  Clock& clock_;
  StatusLine& status_;
  std::uint16_t remotePort_;
  std::string host_;
  std::vector<std::uint8_t> data_;
  // When the fourth byte arrived, on the clock's monotonic reading.
  std::chrono::steady_clock::time_point fourthByteAt_{};
};

}  // namespace vorlink
