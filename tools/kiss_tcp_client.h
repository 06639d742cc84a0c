// A KISS TCP peer (Dire Wolf's port 8001, VORLINK's KISS server) for the
// command-line programs: plain POSIX sockets and poll, one connection, the
// frames it sends cut by the link deframer. No Qt, no threads.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "link/deframer.h"
#include "link/kiss_tcp_address.h"

namespace vorlink {

class KissTcpClient final : private UnitSink {
 public:
  // A KISS data frame as received: both FENDs, escapes in place.
  using FrameHandler = std::function<void(std::span<const std::uint8_t> frame)>;

  KissTcpClient() = default;
  ~KissTcpClient() override;
  KissTcpClient(const KissTcpClient&) = delete;
  KissTcpClient& operator=(const KissTcpClient&) = delete;

  // Empty on success, else why not ("connection refused").
  std::string Connect(const KissTcpAddress& address, std::chrono::milliseconds timeout);
  // The AX.25 frame (no flags, no FCS) as a KISS data frame for port 0;
  // false when the peer is gone.
  bool SendFrame(std::span<const std::uint8_t> ax25);
  // Waits up to timeout for bytes and hands on each data frame they
  // complete; false when the peer closed or failed.
  bool Receive(std::chrono::milliseconds timeout, const FrameHandler& onFrame);
  bool Connected() const { return fd_ >= 0; }

 private:
  void OnUnit(std::span<const std::uint8_t> frame) override;
  void OnEscape(std::uint8_t) override {}
  void Close();

  int fd_ = -1;
  Deframer deframer_;
  const FrameHandler* handler_ = nullptr;
};

}  // namespace vorlink
