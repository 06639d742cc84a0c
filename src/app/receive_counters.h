// The reception counters of the whole process: they outlive a reload of the
// main window and are reset only by "Clear Counter". All 64-bit, so weeks of
// traffic at any baud rate never overflow them.
#pragma once

#include <cstdint>
#include <string>

#include "link/link_health.h"

namespace vorlink {

struct ReceiveCounters {
  std::uint64_t BytesReceived = 0;
  std::int64_t FrameCount = 0;
  std::int64_t MirroredByteCount = 0;
  std::int64_t TfescCount = 0;
  std::int64_t TfendCount = 0;
  LinkHealth health;

  // "Clear Counter": every counter back to 0.
  void Clear() { *this = ReceiveCounters{}; }
};

// The received label: "1234 Bytes received (6 Frames)" for FrameCount 5.
void FormatReceived(const ReceiveCounters& counters, std::string& out);
// The mirrored label: "512 Bytes sent".
void FormatMirrored(const ReceiveCounters& counters, std::string& out);

}  // namespace vorlink
