#include "ui/map_settings_file.h"

#include <QSettings>
#include <QStandardPaths>

#include <cmath>

namespace vorlink {
namespace {

constexpr const char* kTrackHoursKey = "map/track_hours";
constexpr const char* kRingsKey = "map/range_rings_km";
constexpr const char* kTileUrlKey = "map/tile_url";
constexpr const char* kOnlineKey = "map/online_tiles";
constexpr const char* kCacheKey = "map/tile_cache_mib";
constexpr const char* kLatitudeKey = "station/latitude";
constexpr const char* kLongitudeKey = "station/longitude";
constexpr double kMaxTrackHours = 24 * 31;

std::optional<double> Number(const QSettings& file, const char* key, double low, double high) {
  bool isNumber = false;
  const double value = file.value(key).toDouble(&isNumber);
  if (!isNumber || !std::isfinite(value) || value < low || value > high) return std::nullopt;
  return value;
}

}  // namespace

MapSettings ReadMapSettings(const std::filesystem::path& confFile) {
  MapSettings settings;
  if (!std::filesystem::exists(confFile)) return settings;
  const QSettings file(QString::fromStdString(confFile.string()), QSettings::IniFormat);
  if (const auto hours = Number(file, kTrackHoursKey, 0, kMaxTrackHours)) settings.trackHours = *hours;
  // QSettings reads an unquoted "10, 25" as a list.
  const QString rings = file.value(kRingsKey).toStringList().join(',');
  if (const auto parsed = ParseRangeRings(rings.toStdString()); parsed && !rings.isEmpty()) {
    settings.ringsKm = *parsed;
  }
  const std::string url = file.value(kTileUrlKey).toString().toStdString();
  if (UsableTileUrl(url)) settings.tileUrl = url;
  settings.onlineTiles = file.value(kOnlineKey).toString() == "true";
  if (const auto mib = Number(file, kCacheKey, 1, 1 << 20)) settings.tileCacheMib = static_cast<std::int64_t>(*mib);
  settings.ownLatitude = Number(file, kLatitudeKey, -90, 90);
  settings.ownLongitude = Number(file, kLongitudeKey, -180, 180);
  return settings;
}

bool WriteOnlineTiles(const std::filesystem::path& confFile, bool on) {
  QSettings file(QString::fromStdString(confFile.string()), QSettings::IniFormat);
  if (on) {
    file.setValue(kOnlineKey, "true");
  } else {
    file.remove(kOnlineKey);
  }
  file.sync();
  return file.status() == QSettings::NoError;
}

QString TileCacheFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/tiles";
}

}  // namespace vorlink
