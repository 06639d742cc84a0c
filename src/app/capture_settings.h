// The capture settings kept beyond vorlink.ini, in vorlink.conf beside it
// (group "Capture").
#pragma once

namespace vorlink {

struct CaptureSettings {
  bool writePcap = true;  // Options > "Write pcap Capture"

  friend bool operator==(const CaptureSettings&, const CaptureSettings&) = default;
};

}  // namespace vorlink
