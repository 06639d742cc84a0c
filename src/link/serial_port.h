// A serial port as the core uses it. The Qt adapter and the test fakes stand
// behind this; the core never touches a device itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vorlink {

// CommEvent code of the port's OnComm event for "bytes are waiting".
inline constexpr int kCommEvReceive = 2;

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Port number n; 0 names no device.
  virtual std::int16_t CommPort() const = 0;
  // True while the port is open.
  virtual bool PortOpen() const = 0;
  // Every byte waiting, in arrival order; empty when nothing waits. The view
  // stays valid until the next call.
  virtual std::span<const std::uint8_t> Input() = 0;
  // Drops every byte waiting, unread, so that none is kept.
  virtual void DiscardInput() = 0;
  // Writes the bytes unchanged; false when they could not be written (for
  // example because the port is closed).
  virtual bool Output(std::span<const std::uint8_t> bytes) = 0;
  // Bytes written that the device has not taken yet.
  virtual std::size_t BytesToWrite() const = 0;

  bool Output(std::string_view text) {
    return Output(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  }
};

}  // namespace vorlink
