// The whole serial port as start-up, shut-down and mirroring drive it: the
// port is configured while closed (number, line settings, read options) and
// then opened. Events (OnComm with its CommEvent code) are delivered by the
// adapter to whoever handles that port.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "link/serial_port.h"

namespace vorlink {

class SerialPortComponent : public SerialPort {
 public:
  // Port number n; 0 names no device. False when refused (the previous value stays).
  virtual bool SetCommPort(std::int16_t port) = 0;
  // "baud,parity,data,stop", e.g. "19200,N,8,1". False when malformed or
  // refused; the previous value stays in force.
  virtual bool SetSettings(std::string_view settings) = 0;
  virtual std::string Settings() const = 0;
  // true opens the port with its current number and settings, false closes
  // it. False when that could not be done, or not yet: see Opening().
  virtual bool SetPortOpen(bool open) = 0;
  // True while an open goes on in the background (a TCP connect); its owner
  // hears how it ended as an event of the port.
  virtual bool Opening() const { return false; }
  // The system's text for why the last open failed ("No such file or
  // directory"); empty when it worked.
  virtual std::string OpenError() const = 0;
};

}  // namespace vorlink
