// A serial port that hands out queued input and records what was written.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "link/serial_port.h"

namespace vorlink::testing {

class FakeSerialPort final : public SerialPort {
 public:
  bool open = true;
  std::vector<std::uint8_t> pending;  // handed out by the next Input()
  std::vector<std::uint8_t> written;  // everything Output() accepted

  bool PortOpen() const override { return open; }
  std::span<const std::uint8_t> Input() override {
    lastInput_.swap(pending);
    pending.clear();
    return lastInput_;
  }
  bool Output(std::span<const std::uint8_t> bytes) override {
    if (!open) return false;
    written.insert(written.end(), bytes.begin(), bytes.end());
    return true;
  }
  using SerialPort::Output;

 private:
  std::vector<std::uint8_t> lastInput_;
};

}  // namespace vorlink::testing
