// The map's settings read from vorlink.conf through QSettings, and the
// online tiles switch written back to it.
#pragma once

#include <QString>

#include <filesystem>

#include "app/map_settings.h"

namespace vorlink {

MapSettings ReadMapSettings(const std::filesystem::path& confFile);
// False when the file could not be written.
bool WriteOnlineTiles(const std::filesystem::path& confFile, bool on);
// Where tiles are cached: the user's cache folder.
QString TileCacheFolder();

}  // namespace vorlink
