// A whole serial port that opens when it has a port number between 1 and 16
// and settings that look like "baud,parity,data,stop" with a number for the
// baud; records everything.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "link/serial_port_component.h"

namespace vorlink::testing {

class FakePortComponent final : public SerialPortComponent {
 public:
  bool open = false;
  bool openFails = false;
  bool opensLater = false;  // an open goes on in the background, as a TCP connect does
  bool opening = false;
  std::string openError = "No such file or directory";  // given when an open fails
  std::size_t queued = 0;  // what BytesToWrite() reports
  int discards = 0;
  std::int16_t port = 0;
  std::string settings = "9600,N,8,1";
  std::vector<std::uint8_t> pending;
  std::vector<std::uint8_t> written;
  std::vector<std::string> calls;  // "open", "close", "settings:...", ...

  bool PortOpen() const override { return open; }
  std::span<const std::uint8_t> Input() override {
    input_.swap(pending);
    pending.clear();
    return input_;
  }
  void DiscardInput() override {
    pending.clear();
    ++discards;
  }
  std::size_t BytesToWrite() const override { return queued; }
  bool Output(std::span<const std::uint8_t> bytes) override {
    if (!open) return false;
    written.insert(written.end(), bytes.begin(), bytes.end());
    return true;
  }
  using SerialPort::Output;

  bool SetCommPort(std::int16_t n) override {
    calls.push_back("port:" + std::to_string(n));
    port = n;
    return true;
  }
  std::int16_t CommPort() const override { return port; }
  bool SetSettings(std::string_view text) override {
    calls.push_back("settings:" + std::string(text));
    if (std::count(text.begin(), text.end(), ',') != 3) return false;
    const std::string_view baud = text.substr(0, text.find(','));
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (baud.empty() || !std::all_of(baud.begin(), baud.end(), digit)) return false;
    settings = text;
    return true;
  }
  std::string Settings() const override { return settings; }
  bool SetPortOpen(bool wanted) override {
    calls.push_back(wanted ? "open" : "close");
    if (wanted && opensLater) {
      opening = true;
      return false;
    }
    opening = false;
    if (wanted && (openFails || port < 1 || port > 16)) {
      lastOpenError_ = openError;
      return false;
    }
    if (wanted) lastOpenError_.clear();
    open = wanted;
    return true;
  }
  std::string OpenError() const override { return lastOpenError_; }
  bool Opening() const override { return opening; }
  // The open that went on in the background ends; the test then tells the owner.
  void EndOpening(bool opened) {
    opening = false;
    open = opened;
    lastOpenError_ = opened ? "" : openError;
  }

 private:
  std::vector<std::uint8_t> input_;
  std::string lastOpenError_;
};

}  // namespace vorlink::testing
