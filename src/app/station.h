// Everything the process keeps while the main window is unloaded and loaded
// again: the settings, the counters, the time of the last packet and the
// status timer's figures, and the two folders the program works in.
#pragma once

#include <filesystem>

#include "app/settings.h"
#include "link/receive_counters.h"
#include "time/clock.h"
#include "time/status_update.h"

namespace vorlink {

struct Station {
  Settings settings;
  ReceiveCounters counters;
  DateTime LastPacketTime;
  StatusUpdateState statusUpdate;
  // The folder holding the program: captures and scripts.
  std::filesystem::path programFolder;
  // The working directory: the configuration file, and housekeeping.
  std::filesystem::path workingFolder;
};

}  // namespace vorlink
