// A TCP client whose events the test raises by hand.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hex.h"
#include "time/tcp_client.h"

namespace vorlink::testing {

class FakeTcpClient final : public TcpClient {
 public:
  TcpClientHandler* handler = nullptr;
  bool closed = true;
  std::vector<std::string> calls;
  std::vector<std::uint8_t> waiting;

  void SetHandler(TcpClientHandler* h) override { handler = h; }
  bool IsClosed() const override { return closed; }
  void Close() override {
    calls.push_back("Close");
    closed = true;
  }
  void Connect(std::string_view host, std::uint16_t port) override {
    calls.push_back("Connect " + std::string(host) + ":" + std::to_string(port));
    closed = false;
  }
  std::vector<std::uint8_t> Read(std::size_t maxBytes) override {
    const auto n = static_cast<std::ptrdiff_t>(std::min(maxBytes, waiting.size()));
    std::vector<std::uint8_t> piece(waiting.begin(), waiting.begin() + n);
    waiting.erase(waiting.begin(), waiting.begin() + n);
    return piece;
  }

  void Arrive(const char* hex) { Arrive(Hex(hex)); }
  void Arrive(std::vector<std::uint8_t> bytes) {
    waiting = std::move(bytes);
    handler->OnDataArrival();
  }
};

}  // namespace vorlink::testing
