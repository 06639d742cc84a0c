// vorlink.conf beside vorlink.ini: every setting beyond its four lines, held
// as one value. It is read at start, dialogs and menus edit it, and its owner
// writes it back whole after each change. Only what differs from the
// defaults is written, so a station that never chose anything has no file;
// keys the program does not know (added by hand) stay in the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/ax25_settings.h"
#include "app/capture_settings.h"
#include "app/kiss_server_choice.h"
#include "app/link_choice.h"
#include "app/map_settings.h"
#include "app/own_beacons.h"
#include "aprs/own_station.h"

namespace vorlink {

// Every setting beyond the four lines of vorlink.ini (kIniFileName).
inline constexpr std::string_view kConfFileName = "vorlink.conf";
// More than a hand-edited file of settings ever holds; a bigger one is not read.
inline constexpr std::uintmax_t kMostStationConfigBytes = 256 * 1024;

// A window's size and place, and the sizes of its splitter's parts, as the
// window toolkit hands them out: bytes to give back, never looked into. Empty
// until the window was closed once.
struct WindowPlace {
  std::string geometry;
  std::string splitter;

  friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

struct StationConfig {
  LinkChoice link;              // [incoming]
  KissServerChoice kissServer;  // [kiss_server]
  KissServerLimits kissServerLimits;  // [kiss_server], read only: set by hand
  CaptureSettings capture;      // [Capture]
  WindowPlace frames;           // [FrameBrowser]: the browser and the capture viewers
  WindowPlace messages;         // [Messages]
  WindowPlace heard;            // [HeardStations]
  OwnStation station;           // [Station]: distance and bearing, messages marked
  MapSettings map;              // [map]
  WindowPlace mapWindow;        // [map] geometry, splitter
  Ax25Settings ax25;            // [ax25], read only: set by hand
  BeaconSettings beacon;        // [Beacon]
  std::vector<OwnObject> objects;  // [Objects]: the live ones, at most kMostObjects
  // [AprsMessages] quiet: a message to the own callsign does not ring.
  bool aprsMessagesQuiet = false;

  friend bool operator==(const StationConfig&, const StationConfig&) = default;
};

}  // namespace vorlink
