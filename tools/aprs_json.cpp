#include "aprs_json.h"

#include <cstdio>

#include "aprs/aprs_fields.h"
#include "aprs/aprs_symbols.h"
#include "store/frame_store.h"

namespace vorlink {
namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

class JsonSink final : public AprsFieldSink {
 public:
  // first: no member written yet, so no comma before the next.
  JsonSink(std::string& out, bool first) : out_(out), first_(first) {}

  using AprsFieldSink::Text;
  void Text(AprsField f, std::span<const std::string_view> runs) override {
    if (!Key(f)) return;
    out_ += '"';
    for (std::string_view r : runs) AppendEscaped(r);
    out_ += '"';
  }
  void Number(AprsField f, double v) override {
    if (Key(f)) AppendNumber(out_, v, FieldInfo(f).decimals);
  }
  void Bool(AprsField f, bool v) override {
    if (Key(f)) out_ += v ? "true" : "false";
  }
  void Null(AprsField f) override {
    if (Key(f)) out_ += "null";
  }
  void BeginList(AprsField f) override {
    Key(f);
    out_ += '[';
    inList_ = true;
    first_ = true;
  }
  void EndList() override {
    out_ += ']';
    inList_ = false;
    first_ = false;
  }
  void BeginGroup(AprsField f) override {
    Key(f);
    out_ += '{';
    first_ = true;
  }
  void EndGroup() override {
    out_ += '}';
    first_ = false;
  }

  // latin1: bytes of 0x80 and above are Latin-1 characters; otherwise
  // they are UTF-8 already and pass as they are.
  void AppendEscaped(std::string_view bytes, bool latin1 = true) {
    for (char c : bytes) {
      const auto b = static_cast<unsigned char>(c);
      if (c == '"' || c == '\\') {
        out_ += '\\';
        out_ += c;
      } else if (b < kFirstPrintable || b == kDelete) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", b);
        out_ += escape;
      } else if (b < 0x80 || !latin1) {
        out_ += c;
      } else {
        out_ += static_cast<char>(0xC0 | (b >> 6));
        out_ += static_cast<char>(0x80 | (b & 0x3F));
      }
    }
  }

 private:
  // The comma and key, or the comma alone in a list; false for a field that
  // is not in the JSON (the symbol's description).
  bool Key(AprsField f) {
    const std::string_view key = FieldInfo(f).key;
    if (!inList_ && key.empty()) return false;
    if (!first_) out_ += ',';
    first_ = false;
    if (inList_) return true;
    out_ += '"';
    out_ += key;
    out_ += "\":";
    return true;
  }

  std::string& out_;
  bool first_;
  bool inList_ = false;
};

void AppendTime(std::string& out, std::int64_t time) {
  const DateTime t = FromEpochMilliseconds(time);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", t.year, t.month, t.day,
                t.hour, t.minute, t.second, t.millisecond);
  AppendJsonString(out, text);
}

// ,"key":value for a number of the given decimals.
void AppendMember(std::string& out, std::string_view key, double value, int decimals) {
  out += ",\"";
  out += key;
  out += "\":";
  AppendNumber(out, value, decimals);
}

void AppendMember(std::string& out, std::string_view key, std::string_view text) {
  out += ",\"";
  out += key;
  out += "\":";
  AppendJsonString(out, text);
}

void AppendTimeMember(std::string& out, std::string_view key, std::int64_t time) {
  out += ",\"";
  out += key;
  out += "\":";
  if (time == kNoArrivalTime) {
    out += "null";
  } else {
    AppendTime(out, time);
  }
}

void AppendHeardAprs(std::string& out, const HeardAprs& a, std::optional<GeoPoint> from) {
  if (a.symbol) {
    AppendMember(out, "symbol_table", std::string_view(&a.symbol->table, 1));
    AppendMember(out, "symbol_code", std::string_view(&a.symbol->code, 1));
    AppendMember(out, "symbol", AprsSymbolDescription(*a.symbol));
  }
  if (a.position) {
    AppendMember(out, "lat", a.position->latitude, FieldInfo(AprsField::Latitude).decimals);
    AppendMember(out, "lon", a.position->longitude, FieldInfo(AprsField::Longitude).decimals);
    AppendMember(out, "locator", MaidenheadFromPoint(*a.position, kLocatorCharacters));
    if (from) {
      AppendMember(out, "distance_km", DistanceKm(*from, *a.position), 1);
      AppendMember(out, "bearing", BearingDegrees(*from, *a.position), 0);
    }
  }
  if (a.course) AppendMember(out, "course", *a.course, 0);
  if (a.speedKnots) {
    AppendMember(out, "speed_kmh", *a.speedKnots * kKnotsToKmh, FieldInfo(AprsField::SpeedKmh).decimals);
    AppendMember(out, "speed_kn", *a.speedKnots, FieldInfo(AprsField::SpeedKnots).decimals);
  }
  if (a.altitudeMetres) {
    AppendMember(out, "altitude_m", *a.altitudeMetres, FieldInfo(AprsField::AltitudeM).decimals);
  }
  // Already UTF-8: escaped as text, not read again as Latin-1.
  if (!a.comment.empty()) {
    out += ",\"comment\":\"";
    JsonSink(out, true).AppendEscaped(a.comment, false);
    out += '"';
  }
  if (a.weather) {
    JsonSink sink(out, false);
    VisitWeather(*a.weather, sink);
  }
}

}  // namespace

void AppendHeardJson(std::string& out, const HeardStation& s, std::optional<GeoPoint> from) {
  out += "{\"callsign\":";
  AppendJsonString(out, s.callsign);
  AppendMember(out, "frames", static_cast<double>(s.frames), 0);
  AppendTimeMember(out, "first_heard", s.firstHeard);
  AppendTimeMember(out, "last_heard", s.lastHeard);
  AppendMember(out, "direct", static_cast<double>(s.direct), 0);
  AppendMember(out, "via", static_cast<double>(s.via), 0);
  AppendHeardAprs(out, s.aprs, from);
  out += "}\n";
}

void AppendJsonString(std::string& out, std::string_view bytes) {
  JsonSink sink(out, true);
  out += '"';
  sink.AppendEscaped(bytes);
  out += '"';
}

void AppendAprsJson(std::string& out, std::uint64_t id, const Ax25Decoder& frame,
                    std::int64_t time, const AprsReport& report) {
  out += "{\"id\":";
  out += std::to_string(id);
  JsonSink sink(out, false);
  sink.Text(AprsField::Src, frame.SourceText);
  sink.Text(AprsField::Dst, frame.DestinationText);
  sink.BeginList(AprsField::Path);
  for (int k = 0; k < frame.DigipeaterCount; ++k) {
    sink.Text(AprsField::Path, frame.DigipeaterText[static_cast<std::size_t>(k)]);
  }
  sink.EndList();
  if (time != kNoArrivalTime) {
    out += ",\"time\":";
    AppendTime(out, time);
  }
  VisitAprsReport(report, sink);
  out += "}\n";
}

}  // namespace vorlink
