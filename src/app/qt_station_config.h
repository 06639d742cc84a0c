// Reading and writing the station's vorlink.conf (INI, through QSettings).
// The groups and keys are the ones earlier versions wrote, so their files
// read as they were:
//   [incoming]      kiss_tcp, kiss_tcp_host, kiss_tcp_port
//   [kiss_server]   enabled, host, port, clients_transmit
//   [Capture]       WritePcapCapture
//   [FrameBrowser]  geometry, splitter
//   [Messages]      geometry
//   [HeardStations] geometry
//   [Station]       latitude, longitude (decimal degrees), callsign
//   [map]           online_tiles, tile_url, tile_cache_mib, track_hours,
//                   range_rings_km ("10,25,50"; empty for none), geometry,
//                   splitter
//   [ax25]          t1_ms, t3_s, retries, window, window128, paclen,
//                   version22, accept_incoming (read only, set by hand)
// Flags are the words "true" and "false", as in vorlink.ini.
#pragma once

#include <filesystem>

#include "app/station_config.h"

namespace vorlink {

// folder/"vorlink.conf"; the defaults for a missing or too big file, and for
// each key that is missing or holds no usable value.
StationConfig ReadStationConfig(const std::filesystem::path& folder);

// Keys at their default are removed, the others set, the rest of the file
// kept. False when the file could not be written, or is too big to be read.
bool WriteStationConfig(const std::filesystem::path& folder, const StationConfig& config);

}  // namespace vorlink
