// Everything the process keeps while the main window is unloaded and loaded
// again: the settings, the counters, the time of the last packet and the
// status timer's figures, the frames received, the two folders the program
// works in, the settings of vorlink.conf, and the messages shown so far.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>

#include "app/kiss_server_choice.h"
#include "app/kiss_server_figures.h"
#include "app/message_log.h"
#include "app/receive_counters.h"
#include "app/settings.h"
#include "app/station_config.h"
#include "app/status_timer.h"
#include "base/clock.h"
#include "store/frame_store.h"

namespace vorlink {

struct Station {
  Settings settings;
  ReceiveCounters counters;
  DateTime LastPacketTime;
  StatusUpdateState statusUpdate;
  // Every frame of the run, which the frame pane draws from.
  FrameStore frames;
  // The folder holding the program: captures and scripts.
  std::filesystem::path programFolder;
  // The working directory: the configuration file, and housekeeping.
  std::filesystem::path workingFolder;
  StationConfig config;                              // vorlink.conf
  std::optional<KissTcpAddress> kissTcpForThisRun;  // --kiss-tcp, never saved
  MessageLog messages;
  std::optional<KissTcpAddress> kissServerForThisRun;  // --kiss-server, never saved
  KissServerFigures kissServerFigures;                  // clients connected now, counts
  std::optional<std::string> tileUrlForThisRun;         // --tile-url, never saved

  std::optional<KissTcpAddress> KissTcp() const { return ChosenKissTcp(config.link, kissTcpForThisRun); }
  KissServerChoice KissServerSetting() const { return ChosenKissServer(config.kissServer, kissServerForThisRun); }
};

}  // namespace vorlink
