// Where the receive pipeline hands every frame on beyond its own outputs
// (the KISS server), exactly as received: both FENDs, escapes untouched.
#pragma once

#include <cstdint>
#include <span>

namespace vorlink {

class ReceivedUnitSink {
 public:
  virtual ~ReceivedUnitSink() = default;
  // Called inside the receive event: must not block.
  virtual void OnReceivedFrame(std::span<const std::uint8_t> frame) = 0;
};

}  // namespace vorlink
