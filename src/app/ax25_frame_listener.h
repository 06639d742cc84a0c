// Where the receive path hands each received KISS data frame of port 0 as
// its AX.25 bytes (KISS framing, escapes and a SMACK checksum taken off):
// the data links.
#pragma once

#include <cstdint>
#include <span>

namespace vorlink {

class Ax25FrameListener {
 public:
  virtual ~Ax25FrameListener() = default;
  // Called inside the receive event: must not block.
  virtual void OnAx25Frame(std::span<const std::uint8_t> frame) = 0;
};

}  // namespace vorlink
