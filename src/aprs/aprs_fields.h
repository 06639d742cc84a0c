// A report walked field by field, in one order, for every way of showing
// it: the JSON lines of vorlink-decode --aprs and the labelled detail lines
// of a detail tree are both sinks of this walk. The table gives each field
// its JSON key, its label and its unit.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "aprs/aprs_report.h"

namespace vorlink {

enum class AprsField : std::uint8_t {
  Src, Dst, Path, Type, Error, Latitude, Longitude, Ambiguity, SymbolTable, SymbolCode, Symbol,
  Messaging, Timestamp, Course, SpeedKmh, SpeedKnots, AltitudeM, Phg, Dfs, RangeMiles, DfBearing,
  Nrq, MicEMessage, MicETelemetry, Addressee, Text, MessageNumber, ReplyAck, BulletinId,
  BulletinGroup, Name, UserId, PacketType, Alive, Maidenhead, Query, TelemetrySequence,
  TelemetryAnalog, TelemetryBits, TelemetryKind, TelemetryValues, TelemetryProject, Weather,
  RawWeather, WindDirection, WindSpeed, WindGust, Temperature, Rain1h, Rain24h, RainSinceMidnight,
  Humidity, Pressure, Luminosity, Snow, RainRaw, Comment, Inner,
};

struct AprsFieldInfo {
  std::string_view key;    // JSON
  std::string_view label;  // detail lines
  std::string_view unit;   // after a number, with a blank
  int decimals;            // at most, trailing zeros dropped
};

const AprsFieldInfo& FieldInfo(AprsField field);

// "12.5", "3", "-0.25": at most `decimals` decimals, no trailing zeros.
void AppendNumber(std::string& out, double value, int decimals);

class AprsFieldSink {
 public:
  virtual ~AprsFieldSink() = default;
  // Text in runs (a comment may be cut in pieces); bytes as received.
  virtual void Text(AprsField field, std::span<const std::string_view> runs) = 0;
  virtual void Number(AprsField field, double value) = 0;
  virtual void Bool(AprsField field, bool value) = 0;
  // A value sent as not known (dots, blanks, an empty field).
  virtual void Null(AprsField field) = 0;
  // Values between Begin and End are the list's or the group's members.
  virtual void BeginList(AprsField field) = 0;
  virtual void EndList() = 0;
  virtual void BeginGroup(AprsField field) = 0;
  virtual void EndGroup() = 0;

  void Text(AprsField field, std::string_view text) { Text(field, std::span(&text, 1)); }
};

// Type first, then what the report holds; a third-party report's inner
// packet as an Inner group with its own Src, Dst and Path (up to a depth).
void VisitAprsReport(const AprsReport& report, AprsFieldSink& sink);
// Weather values as a Weather group.
void VisitWeather(const AprsWeather& weather, AprsFieldSink& sink);
// A path "A,B*,C" as a list of Path texts.
void VisitPath(std::string_view path, AprsFieldSink& sink);

}  // namespace vorlink
