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
constexpr const char* kTransmitKey = "Station/transmit";
constexpr const char* kPathKey = "Station/path";
// Eight hops of nine characters and their commas.
constexpr qsizetype kMaxPathText = 8 * 10;
// A callsign with SSID is 9 characters; a longer text is no callsign.
constexpr qsizetype kMaxCallsign = 9;
constexpr const char* kBeaconOnKey = "Beacon/enabled";
constexpr const char* kBeaconSymbolKey = "Beacon/symbol";
constexpr const char* kBeaconCommentKey = "Beacon/comment";
constexpr const char* kBeaconIntervalKey = "Beacon/interval_min";
constexpr const char* kBeaconCompressedKey = "Beacon/compressed";
constexpr const char* kObjectsArray = "Objects";
constexpr const char* kObjectNameKey = "name";
constexpr const char* kObjectLatitudeKey = "latitude";
constexpr const char* kObjectLongitudeKey = "longitude";
constexpr const char* kObjectSymbolKey = "symbol";
constexpr const char* kObjectCommentKey = "comment";
constexpr const char* kTrackHoursKey = "map/track_hours";
constexpr const char* kRingsKey = "map/range_rings_km";
constexpr const char* kTileUrlKey = "map/tile_url";
constexpr const char* kOnlineKey = "map/online_tiles";
constexpr const char* kTileCacheKey = "map/tile_cache_mib";
constexpr const char* kT1Key = "ax25/t1_ms";
constexpr const char* kT3Key = "ax25/t3_s";
constexpr const char* kRetriesKey = "ax25/retries";
constexpr const char* kWindowKey = "ax25/window";
constexpr const char* kWindow128Key = "ax25/window128";
constexpr const char* kPaclenKey = "ax25/paclen";
constexpr const char* kVersion22Key = "ax25/version22";
constexpr const char* kAcceptIncomingKey = "ax25/accept_incoming";
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
  return folder / kConfFileName;
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
  config.station.transmit = file.value(kTransmitKey).toString() == Flag(true);
  // QSettings reads an unquoted "WIDE1-1,WIDE2-1" as a list.
  if (file.contains(kPathKey)) {
    const QString path = file.value(kPathKey).toStringList().join(',');
    const auto hops = path.size() <= kMaxPathText ? ParsePath(path.toStdString()) : std::nullopt;
    if (hops) config.station.path = PathText(*hops);
  }
}

void WriteStation(QSettings& file, const OwnStation& station) {
  const std::string point = station.position ? OwnPositionText(*station.position) : std::string();
  const std::size_t comma = point.find(',');
  Store(file, kLatitudeKey, QString::fromStdString(point.substr(0, comma)), !station.position);
  Store(file, kLongitudeKey,
        QString::fromStdString(station.position ? point.substr(comma + 1) : std::string()),
        !station.position);
  Store(file, kCallsignKey, QString::fromStdString(station.callsign), station.callsign.empty());
  const OwnStation defaults;
  Store(file, kTransmitKey, Flag(station.transmit), station.transmit == defaults.transmit);
  Store(file, kPathKey, QString::fromStdString(station.path), station.path == defaults.path);
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

std::optional<long long> Whole(const QSettings& file, const char* key, Ax25Bounds bounds) {
  bool isNumber = false;
  const qlonglong value = file.value(key).toLongLong(&isNumber);
  if (!isNumber || value < bounds.low || value > bounds.high) return std::nullopt;
  return value;
}

// A flag keeps its default unless the file says "true" or "false".
void ReadFlag(const QSettings& file, const char* key, bool& flag) {
  const QString word = file.value(key).toString();
  if (word == Flag(true)) flag = true;
  if (word == Flag(false)) flag = false;
}

void ReadAx25(const QSettings& file, LinkParameters& link) {
  if (const auto t1 = Whole(file, kT1Key, kT1MsBounds)) link.initialT1 = std::chrono::milliseconds{*t1};
  if (const auto t3 = Whole(file, kT3Key, kT3SecondsBounds)) link.idlePollT3 = std::chrono::seconds{*t3};
  if (const auto n2 = Whole(file, kRetriesKey, kRetriesBounds)) link.retriesN2 = static_cast<int>(*n2);
  if (const auto k = Whole(file, kWindowKey, kWindowBounds)) link.windowModulo8 = static_cast<int>(*k);
  if (const auto k = Whole(file, kWindow128Key, kWindow128Bounds)) link.windowModulo128 = static_cast<int>(*k);
  if (const auto n1 = Whole(file, kPaclenKey, kPaclenBounds)) link.maxInfoN1 = static_cast<std::size_t>(*n1);
  ReadFlag(file, kVersion22Key, link.version22);
  ReadFlag(file, kAcceptIncomingKey, link.acceptIncoming);
}

void ReadBeacon(const QSettings& file, BeaconSettings& beacon) {
  beacon.enabled = file.value(kBeaconOnKey).toString() == Flag(true);
  if (const auto symbol = ParseSymbolText(file.value(kBeaconSymbolKey).toString().toStdString())) {
    beacon.symbol = *symbol;
  }
  // QSettings reads an unquoted comment with commas as a list.
  beacon.comment = BeaconComment(file.value(kBeaconCommentKey).toStringList().join(',').toStdString());
  bool isNumber = false;
  const int minutes = file.value(kBeaconIntervalKey).toInt(&isNumber);
  if (isNumber) beacon.intervalMinutes = UsableBeaconMinutes(minutes);
  beacon.compressed = file.value(kBeaconCompressedKey).toString() == Flag(true);
}

void WriteBeacon(QSettings& file, const BeaconSettings& beacon) {
  const BeaconSettings defaults;
  Store(file, kBeaconOnKey, Flag(beacon.enabled), beacon.enabled == defaults.enabled);
  Store(file, kBeaconSymbolKey, QString::fromStdString(SymbolText(beacon.symbol)),
        beacon.symbol == defaults.symbol);
  Store(file, kBeaconCommentKey, QString::fromStdString(beacon.comment),
        beacon.comment == defaults.comment);
  Store(file, kBeaconIntervalKey, beacon.intervalMinutes,
        beacon.intervalMinutes == defaults.intervalMinutes);
  Store(file, kBeaconCompressedKey, Flag(beacon.compressed),
        beacon.compressed == defaults.compressed);
}

// Objects that cannot be sent as they are are left out; past the bound too.
void ReadObjects(QSettings& file, std::vector<OwnObject>& objects) {
  const int size = file.beginReadArray(kObjectsArray);
  for (int k = 0; k < size && objects.size() < kMostObjects; ++k) {
    file.setArrayIndex(k);
    const auto name = ObjectName(file.value(kObjectNameKey).toString().toStdString());
    const auto symbol = ParseSymbolText(file.value(kObjectSymbolKey).toString().toStdString());
    bool latitudeRead = false;
    bool longitudeRead = false;
    const double latitude = file.value(kObjectLatitudeKey).toDouble(&latitudeRead);
    const double longitude = file.value(kObjectLongitudeKey).toDouble(&longitudeRead);
    if (!name || !symbol || !latitudeRead || !longitudeRead || !(std::fabs(latitude) <= 90) ||
        !(std::fabs(longitude) <= 180)) {
      continue;
    }
    objects.push_back({*name, {latitude, longitude}, *symbol,
                       BeaconComment(file.value(kObjectCommentKey).toString().toStdString())});
  }
  file.endArray();
}

void WriteObjects(QSettings& file, const std::vector<OwnObject>& objects) {
  file.remove(kObjectsArray);
  if (objects.empty()) return;
  file.beginWriteArray(kObjectsArray, static_cast<int>(objects.size()));
  for (int k = 0; k < static_cast<int>(objects.size()); ++k) {
    const OwnObject& o = objects[static_cast<std::size_t>(k)];
    file.setArrayIndex(k);
    file.setValue(kObjectNameKey, QString::fromStdString(o.name));
    file.setValue(kObjectLatitudeKey, o.position.latitude);
    file.setValue(kObjectLongitudeKey, o.position.longitude);
    file.setValue(kObjectSymbolKey, QString::fromStdString(SymbolText(o.symbol)));
    file.setValue(kObjectCommentKey, QString::fromStdString(o.comment));
  }
  file.endArray();
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
  ReadAx25(file, config.ax25.link);
  ReadBeacon(file, config.beacon);
  ReadObjects(file, config.objects);
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
  WriteBeacon(file, config.beacon);
  WriteObjects(file, config.objects);
  file.sync();
  return file.status() == QSettings::NoError;
}

}  // namespace vorlink
