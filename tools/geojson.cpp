#include "geojson.h"

#include <cstdio>

#include "aprs_json.h"
#include "base/utc.h"
#include "store/frame_store.h"

namespace vorlink {
namespace {

void AppendNumber(std::string& out, double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  out += text;
}

void AppendCoordinates(std::string& out, GeoPoint at) {
  out += '[';
  AppendNumber(out, at.longitude, 6);
  out += ',';
  AppendNumber(out, at.latitude, 6);
  out += ']';
}

// "2026-12-08T12:00:00Z", or null without a time.
void AppendFeatureTime(std::string& out, std::int64_t time) {
  if (time == kNoArrivalTime) {
    out += "null";
    return;
  }
  const DateTime t = FromEpochMilliseconds(time);
  char text[32];
  std::snprintf(text, sizeof text, "\"%04d-%02d-%02dT%02d:%02d:%02dZ\"", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  out += text;
}

template <typename T>
void AppendOptional(std::string& out, const std::optional<T>& value, int decimals) {
  if (value) {
    AppendNumber(out, static_cast<double>(*value), decimals);
  } else {
    out += "null";
  }
}

void AppendNameProperty(std::string& out, const StationReport& r) {
  out += r.object ? "\"name\":" : "\"callsign\":";
  AppendJsonString(out, r.name);
}

void AppendPoint(std::string& out, const MapStation& s) {
  const StationReport& r = s.last;
  out += "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":";
  AppendCoordinates(out, r.position);
  out += "},\"properties\":{";
  AppendNameProperty(out, r);
  out += ",\"symbol_table\":";
  AppendJsonString(out, std::string(1, r.symbolTable));
  out += ",\"symbol_code\":";
  AppendJsonString(out, std::string(1, r.symbolCode));
  out += ",\"last_heard\":";
  AppendFeatureTime(out, r.time);
  out += ",\"comment\":";
  AppendJsonString(out, r.comment);
  out += ",\"course\":";
  AppendOptional(out, r.course, 0);
  out += ",\"speed_kmh\":";
  AppendOptional(out, r.speedKmh, 1);
  out += ",\"altitude_m\":";
  AppendOptional(out, r.altitudeMetres, 1);
  out += r.direct ? ",\"direct\":true}}" : ",\"direct\":false}}";
}

void AppendTrack(std::string& out, const MapStation& s) {
  out += "{\"type\":\"Feature\",\"geometry\":{\"type\":\"LineString\",\"coordinates\":[";
  for (std::size_t k = 0; k < s.track.size(); ++k) {
    if (k > 0) out += ',';
    AppendCoordinates(out, s.track[k].position);
  }
  out += "]},\"properties\":{";
  AppendNameProperty(out, s.last);
  out += "}}";
}

}  // namespace

void AppendGeoJson(std::string& out, const TrackStore& stations) {
  out += "{\"type\":\"FeatureCollection\",\"features\":[";
  bool first = true;
  const auto next = [&] {
    if (!first) out += ',';
    first = false;
  };
  for (std::size_t row = 0; row < stations.Size(); ++row) {
    next();
    AppendPoint(out, stations.At(row));
  }
  for (std::size_t row = 0; row < stations.Size(); ++row) {
    if (!stations.At(row).Moved()) continue;
    next();
    AppendTrack(out, stations.At(row));
  }
  out += "]}\n";
}

}  // namespace vorlink
