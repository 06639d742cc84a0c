#include "app/qt_station_config.h"

#include <QByteArray>
#include <QSettings>
#include <QString>

#include <algorithm>
#include <cmath>
#include <optional>

namespace vorlink {
namespace {

constexpr const char* kKissTcpKey = "incoming/kiss_tcp";
constexpr const char* kHostKey = "incoming/kiss_tcp_host";
constexpr const char* kPortKey = "incoming/kiss_tcp_port";
constexpr const char* kServerOnKey = "kiss_server/enabled";
constexpr const char* kServerHostKey = "kiss_server/host";
constexpr const char* kServerPortKey = "kiss_server/port";
constexpr const char* kServerTransmitKey = "kiss_server/clients_transmit";
constexpr const char* kServerClientsKey = "kiss_server/max_clients";
constexpr const char* kServerBudgetKey = "kiss_server/queue_budget_kib";
constexpr std::size_t kKib = 1024;
constexpr const char* kWritePcapKey = "Capture/WritePcapCapture";
constexpr const char* kMessagesQuietKey = "AprsMessages/quiet";
constexpr const char* kLatitudeKey = "Station/latitude";
constexpr const char* kLongitudeKey = "Station/longitude";
constexpr const char* kCallsignKey = "Station/callsign";
// A callsign with SSID is 9 characters; a longer text is no callsign.
constexpr qsizetype kMaxCallsign = 9;
constexpr const char* kTrackHoursKey = "map/track_hours";
constexpr const char* kRingsKey = "map/range_rings_km";
constexpr const char* kTileUrlKey = "map/tile_url";
constexpr const char* kOnlineKey = "map/online_tiles";
constexpr const char* kTileCacheKey = "map/tile_cache_mib";
constexpr const char* kGeometryKey = "geometry";
constexpr const char* kSplitterKey = "splitter";

// The windows' groups, and where each keeps its place in the value.
struct PlaceGroup {
  const char* group;
  WindowPlace StationConfig::*place;
};
constexpr PlaceGroup kPlaceGroups[] = {
    {"FrameBrowser", &StationConfig::frames},
    {"Messages", &StationConfig::messages},
    {"HeardStations", &StationConfig::heard},
    {"map", &StationConfig::mapWindow},
};

std::filesystem::path FileIn(const std::filesystem::path& folder) {
  return folder / kMoreSettingsFileName;
}

QString PathText(const std::filesystem::path& file) {
  return QString::fromStdString(file.string());
}

QString Flag(bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); }

// Sets the key while the value is not the default; removes it otherwise.
void Store(QSettings& file, const QString& key, const QVariant& value, bool isDefault) {
  if (isDefault) {
    file.remove(key);
  } else {
    file.setValue(key, value);
  }
}

std::string Bytes(const QSettings& file, const QString& key) {
  const QByteArray bytes = file.value(key).toByteArray();
  return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

QByteArray ToBytes(const std::string& bytes) {
  return {bytes.data(), static_cast<qsizetype>(bytes.size())};
}

// A host and a port into address, where the file holds usable ones.
void ReadAddress(const QSettings& file, const char* hostKey, const char* portKey,
                 KissTcpAddress& address) {
  const QString host = file.value(hostKey).toString().trimmed();
  if (!host.isEmpty()) address.host = host.toStdString();
  bool isNumber = false;
  const int port = file.value(portKey).toInt(&isNumber);
  if (isNumber && port > 0 && port <= 65535) address.port = static_cast<std::uint16_t>(port);
}

void WriteAddress(QSettings& file, const char* hostKey, const char* portKey,
                  const KissTcpAddress& address, const KissTcpAddress& defaults) {
  Store(file, hostKey, QString::fromStdString(address.host), address.host == defaults.host);
  Store(file, portKey, address.port, address.port == defaults.port);
}

void ReadChoices(const QSettings& file, StationConfig& config) {
  config.link.kissTcp = file.value(kKissTcpKey).toString() == Flag(true);
  ReadAddress(file, kHostKey, kPortKey, config.link.address);
  config.kissServer.on = file.value(kServerOnKey).toString() == Flag(true);
  config.kissServer.clientsTransmit = file.value(kServerTransmitKey).toString() == Flag(true);
  ReadAddress(file, kServerHostKey, kServerPortKey, config.kissServer.address);
  config.capture.writePcap = file.value(kWritePcapKey, config.capture.writePcap).toBool();
  config.aprsMessagesQuiet = file.value(kMessagesQuietKey).toString() == Flag(true);
}

// Limits are read only: an operator sets them by hand, and the program keeps
// them within bounds.
void ReadLimits(const QSettings& file, StationConfig& config) {
  KissServerLimits& limits = config.kissServerLimits;
  bool isNumber = false;
  const qulonglong clients = file.value(kServerClientsKey).toULongLong(&isNumber);
  if (isNumber) limits.maxClients = static_cast<std::size_t>(clients);
  const qulonglong kib = file.value(kServerBudgetKey).toULongLong(&isNumber);
  // Clamped before scaling, so no number overflows it.
  if (isNumber) {
    limits.queueBudget =
        static_cast<std::size_t>(std::min<qulonglong>(kib, kMostKissServerBudget / kKib)) * kKib;
  }
  limits = SaneKissServerLimits(limits);
}

void WriteChoices(QSettings& file, const StationConfig& config) {
  const StationConfig defaults;
  Store(file, kKissTcpKey, Flag(config.link.kissTcp), config.link.kissTcp == defaults.link.kissTcp);
  WriteAddress(file, kHostKey, kPortKey, config.link.address, defaults.link.address);
  const KissServerChoice& server = config.kissServer;
  Store(file, kServerOnKey, Flag(server.on), server.on == defaults.kissServer.on);
  WriteAddress(file, kServerHostKey, kServerPortKey, server.address, defaults.kissServer.address);
  Store(file, kServerTransmitKey, Flag(server.clientsTransmit),
        server.clientsTransmit == defaults.kissServer.clientsTransmit);
  Store(file, kWritePcapKey, config.capture.writePcap,
        config.capture.writePcap == defaults.capture.writePcap);
  Store(file, kMessagesQuietKey, Flag(config.aprsMessagesQuiet),
        config.aprsMessagesQuiet == defaults.aprsMessagesQuiet);
}

// A position only when both numbers are there and on the globe.
void ReadStation(const QSettings& file, StationConfig& config) {
  const QString latitude = file.value(kLatitudeKey).toString().trimmed();
  const QString longitude = file.value(kLongitudeKey).toString().trimmed();
  if (!latitude.isEmpty() && !longitude.isEmpty()) {
    config.station.position = ParseGeoPoint((latitude + ',' + longitude).toStdString());
  }
  const QString callsign = file.value(kCallsignKey).toString().trimmed();
  if (callsign.size() <= kMaxCallsign) config.station.callsign = callsign.toUpper().toStdString();
}

void WriteStation(QSettings& file, const OwnStation& station) {
  const std::string point = station.position ? OwnPositionText(*station.position) : std::string();
  const std::size_t comma = point.find(',');
  Store(file, kLatitudeKey, QString::fromStdString(point.substr(0, comma)), !station.position);
  Store(file, kLongitudeKey,
        QString::fromStdString(station.position ? point.substr(comma + 1) : std::string()),
        !station.position);
  Store(file, kCallsignKey, QString::fromStdString(station.callsign), station.callsign.empty());
}

std::optional<double> Number(const QSettings& file, const char* key, double low, double high) {
  bool isNumber = false;
  const double value = file.value(key).toDouble(&isNumber);
  if (!isNumber || !std::isfinite(value) || value < low || value > high) return std::nullopt;
  return value;
}

void ReadMap(const QSettings& file, MapSettings& map) {
  if (const auto hours = Number(file, kTrackHoursKey, 0, kMaxTrackHours)) map.trackHours = *hours;
  // QSettings reads an unquoted "10, 25" as a list; a key left empty means no rings.
  if (file.contains(kRingsKey)) {
    const QString rings = file.value(kRingsKey).toStringList().join(',');
    if (const auto parsed = ParseRangeRings(rings.toStdString())) map.ringsKm = *parsed;
  }
  const std::string url = file.value(kTileUrlKey).toString().toStdString();
  if (UsableTileUrl(url)) map.tileUrl = url;
  map.onlineTiles = file.value(kOnlineKey).toString() == Flag(true);
  if (const auto mib = Number(file, kTileCacheKey, 1, static_cast<double>(kMaxTileCacheMib))) {
    map.tileCacheMib = static_cast<std::int64_t>(*mib);
  }
}

void WriteMap(QSettings& file, const MapSettings& map) {
  const MapSettings defaults;
  Store(file, kTrackHoursKey, map.trackHours, map.trackHours == defaults.trackHours);
  Store(file, kRingsKey, QString::fromStdString(RangeRingsText(map.ringsKm)),
        map.ringsKm == defaults.ringsKm);
  Store(file, kTileUrlKey, QString::fromStdString(map.tileUrl), map.tileUrl == defaults.tileUrl);
  Store(file, kOnlineKey, Flag(map.onlineTiles), map.onlineTiles == defaults.onlineTiles);
  Store(file, kTileCacheKey, QVariant::fromValue<qlonglong>(map.tileCacheMib),
        map.tileCacheMib == defaults.tileCacheMib);
}

void ReadPlaces(QSettings& file, StationConfig& config) {
  for (const PlaceGroup& g : kPlaceGroups) {
    file.beginGroup(g.group);
    WindowPlace& place = config.*g.place;
    place.geometry = Bytes(file, kGeometryKey);
    place.splitter = Bytes(file, kSplitterKey);
    file.endGroup();
  }
}

void WritePlaces(QSettings& file, const StationConfig& config) {
  for (const PlaceGroup& g : kPlaceGroups) {
    file.beginGroup(g.group);
    const WindowPlace& place = config.*g.place;
    Store(file, kGeometryKey, ToBytes(place.geometry), place.geometry.empty());
    Store(file, kSplitterKey, ToBytes(place.splitter), place.splitter.empty());
    file.endGroup();
  }
}

}  // namespace

StationConfig ReadStationConfig(const std::filesystem::path& folder) {
  StationConfig config;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(FileIn(folder), error);
  if (error || size > kMostStationConfigBytes) return config;
  QSettings file(PathText(FileIn(folder)), QSettings::IniFormat);
  ReadChoices(file, config);
  ReadLimits(file, config);
  ReadPlaces(file, config);
  ReadStation(file, config);
  ReadMap(file, config.map);
  return config;
}

bool WriteStationConfig(const std::filesystem::path& folder, const StationConfig& config) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(FileIn(folder), error);
  if (error && config == StationConfig{}) return true;
  // Not read, so not rewritten either: what is in it stays the operator's.
  if (!error && size > kMostStationConfigBytes) return false;
  QSettings file(PathText(FileIn(folder)), QSettings::IniFormat);
  WriteChoices(file, config);
  WritePlaces(file, config);
  WriteStation(file, config.station);
  WriteMap(file, config.map);
  file.sync();
  return file.status() == QSettings::NoError;
}

}  // namespace vorlink
