#include "aprs/aprs_fields.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "aprs/aprs_decoder.h"
#include "aprs/aprs_symbols.h"
#include "geo/geo_point.h"

namespace vorlink {
namespace {

constexpr int kMaxInnerDepth = 4;  // third party in third party...

using F = AprsField;

constexpr std::array<AprsFieldInfo, static_cast<std::size_t>(F::Inner) + 1> kFields{{
    {"src", "Source", "", 0},
    {"dst", "Destination", "", 0},
    {"path", "Path", "", 0},
    {"type", "Report", "", 0},
    {"error", "Error", "", 0},
    {"lat", "Latitude", "\u00B0", 6},
    {"lon", "Longitude", "\u00B0", 6},
    {"posambiguity", "Ambiguity", "digits", 0},
    {"symbol_table", "Symbol table", "", 0},
    {"symbol_code", "Symbol code", "", 0},
    {"", "Symbol", "", 0},  // the description: detail lines only
    {"messaging", "Messaging", "", 0},
    {"timestamp", "Timestamp", "", 0},
    {"course", "Course", "\u00B0", 0},
    {"speed_kmh", "Speed", "km/h", 1},
    {"speed_kn", "Speed", "kn", 1},
    {"altitude_m", "Altitude", "m", 1},
    {"phg", "PHG", "", 0},
    {"dfs", "DFS", "", 0},
    {"range_mi", "Range", "mi", 1},
    {"bearing", "DF bearing", "\u00B0", 0},
    {"nrq", "DF number/range/quality", "", 0},
    {"mice_msg", "Mic-E message", "", 0},
    {"mice_telemetry", "Mic-E telemetry", "", 0},
    {"addressee", "Addressee", "", 0},
    {"text", "Text", "", 0},
    {"msgno", "Message number", "", 0},
    {"replyack", "Reply-ack", "", 0},
    {"bulletin_id", "Bulletin", "", 0},
    {"bulletin_group", "Bulletin group", "", 0},
    {"name", "Name", "", 0},
    {"user_id", "User", "", 0},
    {"packet_type", "Packet type", "", 0},
    {"alive", "Alive", "", 0},
    {"maidenhead", "Locator", "", 0},
    {"query", "Query", "", 0},
    {"tlm_seq", "Telemetry sequence", "", 0},
    {"tlm_analog", "Telemetry values", "", 3},
    {"tlm_bits", "Telemetry bits", "", 0},
    {"tlm_kind", "Telemetry definition", "", 0},
    {"tlm_values", "Definitions", "", 0},
    {"tlm_project", "Project", "", 0},
    {"wx", "Weather", "", 0},
    {"wx_raw", "Raw weather data", "", 0},
    {"wind_direction", "Wind direction", "\u00B0", 0},
    {"wind_speed", "Wind speed", "m/s", 2},
    {"wind_gust", "Wind gust", "m/s", 2},
    {"temperature", "Temperature", "\u00B0C", 1},
    {"rain_1h", "Rain last hour", "mm", 2},
    {"rain_24h", "Rain last 24 hours", "mm", 2},
    {"rain_since_midnight", "Rain since midnight", "mm", 2},
    {"humidity", "Humidity", "%", 0},
    {"pressure", "Pressure", "hPa", 1},
    {"luminosity", "Luminosity", "W/m\u00B2", 0},
    {"snow", "Snow last 24 hours", "mm", 1},
    {"rain_raw", "Rain counter", "", 0},
    {"comment", "Comment", "", 0},
    {"inner", "Third-party packet", "", 0},
}};

constexpr std::array<std::string_view, 7> kMicENames{"M0", "M1", "M2", "M3", "M4", "M5", "M6"};
constexpr std::array<std::string_view, 7> kMicECustom{"C0", "C1", "C2", "C3", "C4", "C5", "C6"};

template <typename T>
void Optional(AprsFieldSink& sink, F field, const std::optional<T>& value) {
  if (value) sink.Number(field, static_cast<double>(*value));
}

void Optional(AprsFieldSink& sink, F field, std::string_view text) {
  if (!text.empty()) sink.Text(field, text);
}

void One(AprsFieldSink& sink, F field, char c) { sink.Text(field, std::string_view(&c, 1)); }

void Comment(AprsFieldSink& sink, const AprsComment& c) {
  if (c.Empty()) return;
  std::array<std::string_view, AprsComment::kMaxPieces> runs;
  for (int k = 0; k < c.PieceCount(); ++k) runs[static_cast<std::size_t>(k)] = c.Piece(k);
  sink.Text(F::Comment, std::span(runs.data(), static_cast<std::size_t>(c.PieceCount())));
}

void Position(AprsFieldSink& sink, const AprsPosition& p) {
  sink.Number(F::Latitude, p.latitude);
  sink.Number(F::Longitude, p.longitude);
  sink.Number(F::Ambiguity, p.ambiguity);
  One(sink, F::SymbolTable, p.symbol.table);
  One(sink, F::SymbolCode, p.symbol.code);
  sink.Text(F::Symbol, AprsSymbolDescription(p.symbol));
}

void Extensions(AprsFieldSink& sink, const AprsExtensions& e) {
  Optional(sink, F::Course, e.course);
  if (e.speedKnots) {
    sink.Number(F::SpeedKmh, *e.speedKnots * kKnotsToKmh);
    sink.Number(F::SpeedKnots, *e.speedKnots);
  }
  Optional(sink, F::AltitudeM, e.altitudeMetres);
  Optional(sink, F::Phg, e.phg);
  Optional(sink, F::Dfs, e.dfs);
  Optional(sink, F::RangeMiles, e.rangeMiles);
  Optional(sink, F::DfBearing, e.bearing);
  Optional(sink, F::Nrq, e.nrq);
  if (const auto& t = e.telemetry) {
    // As text, like the sequence of a T# report ("MIC" there).
    char sequence[8];
    const auto end = std::to_chars(sequence, sequence + sizeof sequence, t->sequence).ptr;
    sink.Text(F::TelemetrySequence, std::string_view(sequence, static_cast<std::size_t>(end - sequence)));
    sink.BeginList(F::TelemetryAnalog);
    for (const auto& v : t->analog) {
      if (v) sink.Number(F::TelemetryAnalog, *v);
      else sink.Null(F::TelemetryAnalog);
    }
    sink.EndList();
    if (t->bits) {
      char bits[8];
      for (int k = 0; k < 8; ++k) bits[k] = (*t->bits >> k) & 1 ? '1' : '0';
      sink.Text(F::TelemetryBits, std::string_view(bits, 8));
    }
  }
}

void Weather(AprsFieldSink& sink, const AprsWeather& wx) {
  sink.BeginGroup(F::Weather);
  const auto field = [&](F f, AprsWeatherField w, const auto& value) {
    if (value) sink.Number(f, static_cast<double>(*value));
    else if (WeatherNotSent(wx, w)) sink.Null(f);
  };
  using W = AprsWeatherField;
  field(F::WindDirection, W::WindDirection, wx.windDirection);
  field(F::WindSpeed, W::WindSpeed, wx.windSpeed);
  field(F::WindGust, W::WindGust, wx.windGust);
  field(F::Temperature, W::Temperature, wx.temperature);
  field(F::Rain1h, W::Rain1h, wx.rain1h);
  field(F::Rain24h, W::Rain24h, wx.rain24h);
  field(F::RainSinceMidnight, W::RainSinceMidnight, wx.rainSinceMidnight);
  field(F::Humidity, W::Humidity, wx.humidity);
  field(F::Pressure, W::Pressure, wx.pressure);
  field(F::Luminosity, W::Luminosity, wx.luminosity);
  field(F::Snow, W::Snow, wx.snow);
  field(F::RainRaw, W::RainRaw, wx.rainRaw);
  sink.EndGroup();
}

std::string_view MicEName(const MicEMessage& m) {
  switch (m.kind) {
    case MicEMessageKind::Standard: return kMicENames[static_cast<std::size_t>(m.index)];
    case MicEMessageKind::Custom: return kMicECustom[static_cast<std::size_t>(m.index)];
    case MicEMessageKind::Emergency: return "emergency";
    case MicEMessageKind::Unknown: break;
  }
  return "unknown";
}

void Visit(const AprsReport& report, AprsFieldSink& sink, int depth);

struct BodyVisitor {
  AprsFieldSink& sink;
  int depth;

  void operator()(std::monostate) const {}
  void operator()(const AprsInvalid& v) const { sink.Text(F::Error, v.reason); }
  void operator()(const AprsPositionReport& p) const {
    Position(sink, p.position);
    sink.Bool(F::Messaging, p.messaging);
    Optional(sink, F::Timestamp, p.timestamp);
    Extensions(sink, p.extensions);
    Comment(sink, p.comment);
  }
  void operator()(const AprsMicE& m) const {
    Position(sink, m.position);
    Extensions(sink, m.extensions);
    sink.Text(F::MicEMessage, MicEName(m.message));
    bool any = false;
    for (const auto& t : m.telemetry) any = any || t.has_value();
    if (any) {
      sink.BeginList(F::MicETelemetry);
      for (const auto& t : m.telemetry) {
        if (t) sink.Number(F::MicETelemetry, *t);
        else sink.Null(F::MicETelemetry);
      }
      sink.EndList();
    }
    Comment(sink, m.comment);
  }
  void operator()(const AprsObject& o) const {
    sink.Text(F::Name, o.name);
    sink.Bool(F::Alive, o.alive);
    Optional(sink, F::Timestamp, o.timestamp);
    Position(sink, o.position);
    Extensions(sink, o.extensions);
    if (o.weather) Weather(sink, *o.weather);
    Comment(sink, o.comment);
  }
  void operator()(const AprsWeatherReport& w) const {
    if (w.position) {
      Position(sink, *w.position);
      sink.Bool(F::Messaging, w.messaging);
    }
    Optional(sink, F::Timestamp, w.timestamp);
    if (w.raw.empty()) Weather(sink, w.weather);
    Optional(sink, F::RawWeather, w.raw);
    Comment(sink, w.comment);
  }
  void operator()(const AprsMessage& m) const {
    sink.Text(F::Addressee, m.addressee);
    Optional(sink, F::Text, m.text);
    Optional(sink, F::MessageNumber, m.number);
    if (m.replyAckCapable) sink.Text(F::ReplyAck, m.replyAck);
    Optional(sink, F::BulletinId, m.bulletinId);
    Optional(sink, F::BulletinGroup, m.bulletinGroup);
  }
  void operator()(const AprsTelemetry& t) const {
    sink.Text(F::TelemetrySequence, t.sequence);
    sink.BeginList(F::TelemetryAnalog);
    for (int k = 0; k < t.analogCount; ++k) {
      const auto& v = t.analog[static_cast<std::size_t>(k)];
      if (v) sink.Number(F::TelemetryAnalog, *v);
      else sink.Null(F::TelemetryAnalog);
    }
    sink.EndList();
    Optional(sink, F::TelemetryBits, t.bits);
    Comment(sink, t.comment);
  }
  void operator()(const AprsTelemetryMessage& t) const {
    sink.Text(F::Addressee, t.addressee);
    sink.Text(F::TelemetryKind, t.kind);
    if (t.kind == "BITS") {
      sink.Text(F::TelemetryBits, t.bitSense);
      Optional(sink, F::TelemetryProject, t.project);
      return;
    }
    sink.BeginList(F::TelemetryValues);
    for (int k = 0; k < t.valueCount; ++k) {
      sink.Text(F::TelemetryValues, t.values[static_cast<std::size_t>(k)]);
    }
    sink.EndList();
  }
  void operator()(const AprsStatus& s) const {
    Optional(sink, F::Timestamp, s.timestamp);
    Optional(sink, F::Maidenhead, s.maidenhead);
    if (s.symbol) {
      One(sink, F::SymbolTable, s.symbol->table);
      One(sink, F::SymbolCode, s.symbol->code);
    }
    Optional(sink, F::Text, s.text);
  }
  void operator()(const AprsThirdParty& t) const {
    if (depth >= kMaxInnerDepth) return;
    sink.BeginGroup(F::Inner);
    sink.Text(F::Src, t.source);
    sink.Text(F::Dst, t.destination);
    VisitPath(t.path, sink);
    Visit(DecodeInner(t), sink, depth + 1);
    sink.EndGroup();
  }
  void operator()(const AprsNmea& n) const {
    if (n.latitude && n.longitude) {
      sink.Number(F::Latitude, *n.latitude);
      sink.Number(F::Longitude, *n.longitude);
      sink.Number(F::Ambiguity, 0);
    }
    Optional(sink, F::Course, n.course);
    if (n.speedKnots) {
      sink.Number(F::SpeedKmh, *n.speedKnots * kKnotsToKmh);
      sink.Number(F::SpeedKnots, *n.speedKnots);
    }
    Optional(sink, F::AltitudeM, n.altitudeMetres);
    sink.Text(F::Text, n.text);
  }
  void operator()(const AprsQuery& q) const {
    Optional(sink, F::Addressee, q.addressee);
    sink.Text(F::Query, q.query);
    Optional(sink, F::Text, q.footprint);
  }
  void operator()(const AprsText& t) const {
    Optional(sink, F::UserId, t.userId);
    Optional(sink, F::PacketType, t.packetType);
    Optional(sink, F::Text, t.text);
  }
  void operator()(const AprsMaidenhead& b) const {
    sink.Text(F::Maidenhead, b.locator);
    Comment(sink, b.comment);
  }
};

void Visit(const AprsReport& report, AprsFieldSink& sink, int depth) {
  sink.Text(F::Type, AprsTypeName(report.type));
  std::visit(BodyVisitor{sink, depth}, report.body);
}

}  // namespace

const AprsFieldInfo& FieldInfo(AprsField field) {
  return kFields[static_cast<std::size_t>(field)];
}

void AppendNumber(std::string& out, double value, int decimals) {
  if (!std::isfinite(value)) {
    out += '0';
    return;
  }
  char buffer[48];
  const int n = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string_view text(buffer, static_cast<std::size_t>(std::max(n, 0)));
  if (text.find('.') != std::string_view::npos) {
    while (text.back() == '0') text.remove_suffix(1);
    if (text.back() == '.') text.remove_suffix(1);
  }
  if (text == "-0") text = "0";
  out += text;
}

void VisitAprsReport(const AprsReport& report, AprsFieldSink& sink) { Visit(report, sink, 0); }

void VisitWeather(const AprsWeather& weather, AprsFieldSink& sink) { Weather(sink, weather); }

void VisitPath(std::string_view path, AprsFieldSink& sink) {
  sink.BeginList(F::Path);
  while (!path.empty()) {
    const std::size_t comma = path.find(',');
    sink.Text(F::Path, path.substr(0, comma));
    if (comma == std::string_view::npos) break;
    path.remove_prefix(comma + 1);
  }
  sink.EndList();
}

}  // namespace vorlink
