#include "app/receive_counters.h"

namespace vorlink {

void FormatReceived(const ReceiveCounters& counters, std::string& out) {
  out.assign(std::to_string(counters.BytesReceived));
  out += " Bytes received (";
  // The frame figure is one ahead of the count: a long-standing quirk that
  // operators read as "the frame now arriving".
  out += std::to_string(counters.FrameCount + 1);
  out += " Frames)";
}

void FormatMirrored(const ReceiveCounters& counters, std::string& out) {
  out.assign(std::to_string(counters.MirroredByteCount));
  out += " Bytes sent";
}

}  // namespace vorlink
