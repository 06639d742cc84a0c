// A serial port that hands out queued input and records what was written.
// While it does not take data, what is written stays queued for the device.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "link/serial_port.h"

namespace vorlink::testing {

class FakeSerialPort final : public SerialPort {
 public:
  bool open = true;
  std::int16_t port = 2;
  bool takesData = true;
  std::size_t queued = 0;             // accepted but not taken by the device
  int discards = 0;
  std::vector<std::uint8_t> pending;  // handed out by the next Input()
  std::vector<std::uint8_t> written;  // everything Output() accepted

  std::int16_t CommPort() const override { return port; }
  bool PortOpen() const override { return open; }
  void DiscardInput() override {
    pending.clear();
    ++discards;
  }
  std::size_t BytesToWrite() const override { return queued; }
  std::span<const std::uint8_t> Input() override {
    lastInput_.swap(pending);
    pending.clear();
    return lastInput_;
  }
  bool Output(std::span<const std::uint8_t> bytes) override {
    if (!open) return false;
    written.insert(written.end(), bytes.begin(), bytes.end());
    if (!takesData) queued += bytes.size();
    return true;
  }
  using SerialPort::Output;

 private:
  std::vector<std::uint8_t> lastInput_;
};

}  // namespace vorlink::testing
