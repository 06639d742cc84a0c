// What the information field of an APRS UI frame says, as an immutable value.
//
// Every text in a report is a view into the information field it was decoded
// from (or into the frame's destination callsign for Mic-E): the report lives
// no longer than those bytes, and decoding one allocates nothing. A comment
// with extensions cut out of its middle is held as a few pieces.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vorlink {

// The report kinds, named as vorlink-decode --aprs prints them.
enum class AprsType : std::uint8_t {
  Position, MicE, Object, Item, Weather, Message, Ack, Rej, Bulletin, Announcement, Telemetry,
  TelemetryMessage, Status, ThirdParty, Nmea, Query, Capabilities, UserDefined, TestData,
  Maidenhead, NotAprs, Invalid,
};
inline constexpr int kAprsTypeCount = static_cast<int>(AprsType::Invalid) + 1;

std::string_view AprsTypeName(AprsType type);
std::optional<AprsType> ParseAprsType(std::string_view name);

// Text left after the decoded extensions were cut out: up to kMaxPieces runs.
class AprsComment {
 public:
  static constexpr int kMaxPieces = 8;

  AprsComment() = default;
  explicit AprsComment(std::string_view whole) { Add(whole); }

  // Appends a run; past kMaxPieces runs the rest is dropped.
  void Add(std::string_view piece);
  bool Empty() const { return size_ == 0; }
  std::size_t Size() const { return size_; }
  std::string Text() const;
  void AppendTo(std::string& out) const;
  int PieceCount() const { return count_; }
  std::string_view Piece(int k) const { return pieces_[static_cast<std::size_t>(k)]; }

 private:
  std::array<std::string_view, kMaxPieces> pieces_{};
  int count_ = 0;
  std::size_t size_ = 0;
};

struct AprsSymbol {
  char table = '/';
  char code = ' ';
  friend bool operator==(const AprsSymbol&, const AprsSymbol&) = default;
};

struct AprsPosition {
  double latitude = 0;   // degrees, north positive
  double longitude = 0;  // degrees, east positive
  int ambiguity = 0;     // 0..4 digits blanked
  AprsSymbol symbol;
  bool compressed = false;
  char datum = 0;  // the !DAO! datum letter when one was applied
};

// Base-91 telemetry in a comment, |ss11..|: sequence, up to five analog
// channels, then the eight bits when sent.
struct AprsCommentTelemetry {
  int sequence = 0;
  std::array<std::optional<int>, 5> analog{};
  std::optional<std::uint8_t> bits;
};

// The data extensions and comment-borne values of a position.
struct AprsExtensions {
  std::optional<int> course;  // 1..360
  std::optional<double> speedKnots;
  std::optional<double> altitudeMetres;
  std::string_view phg;  // the four digits (and rate) after "PHG"
  std::string_view dfs;  // the four digits after "DFS"
  std::optional<double> rangeMiles;
  std::optional<int> bearing;  // a DF report's /BRG, degrees
  std::string_view nrq;        // and its /NRQ: number of hits, range, quality
  std::optional<AprsCommentTelemetry> telemetry;
};

// Values sent as dots or blanks stay empty: not sent is never 0.
struct AprsWeather {
  std::optional<int> windDirection;   // degrees
  std::optional<double> windSpeed;    // m/s
  std::optional<double> windGust;     // m/s
  std::optional<double> temperature;  // deg C
  std::optional<double> rain1h;       // mm
  std::optional<double> rain24h;
  std::optional<double> rainSinceMidnight;
  std::optional<int> humidity;  // %
  std::optional<double> pressure;     // hPa
  std::optional<int> luminosity;      // W/m2
  std::optional<double> snow;         // mm in the last 24 hours
  std::optional<int> rainRaw;         // the raw rain counter
  // Fields that were present but sent as dots or blanks.
  std::uint16_t notSent = 0;
};

enum class AprsWeatherField : std::uint8_t {
  WindDirection, WindSpeed, WindGust, Temperature, Rain1h, Rain24h, RainSinceMidnight, Humidity,
  Pressure, Luminosity, Snow, RainRaw,
};
inline bool WeatherNotSent(const AprsWeather& wx, AprsWeatherField f) {
  return (wx.notSent >> static_cast<int>(f)) & 1U;
}
inline void MarkNotSent(AprsWeather& wx, AprsWeatherField f) {
  wx.notSent = static_cast<std::uint16_t>(wx.notSent | 1U << static_cast<int>(f));
}

struct AprsPositionReport {
  std::string_view timestamp;  // as sent, empty without one
  bool messaging = false;
  AprsPosition position;
  AprsExtensions extensions;
  AprsComment comment;
};

// Standard M0..M6, custom C0..C6, emergency, or unknown for a mix.
enum class MicEMessageKind : std::uint8_t { Standard, Custom, Emergency, Unknown };
struct MicEMessage {
  MicEMessageKind kind = MicEMessageKind::Emergency;
  int index = 0;  // 0..6 for standard and custom
};

struct AprsMicE {
  AprsPosition position;
  AprsExtensions extensions;
  MicEMessage message;
  std::array<std::optional<std::uint8_t>, 5> telemetry{};  // the old hex or binary form
  bool oldFormat = false;  // data type ' or 0x1D
  AprsComment comment;
};

struct AprsObject {
  bool item = false;
  std::string_view name;  // trailing blanks of an object name removed
  bool alive = true;
  std::string_view timestamp;  // objects only
  AprsPosition position;
  AprsExtensions extensions;
  std::optional<AprsWeather> weather;
  AprsComment comment;
};

struct AprsWeatherReport {
  std::optional<AprsPosition> position;
  std::string_view timestamp;
  bool messaging = false;
  AprsWeather weather;
  // A raw weather station's data ($ULTW, !!, #, *), its data type included.
  std::string_view raw;
  AprsComment comment;  // what follows the weather data (software and unit codes)
};

// Messages, acks, rejects, bulletins, announcements: the addressee with its
// padding removed.
struct AprsMessage {
  enum class Kind : std::uint8_t { Message, Ack, Rej, Bulletin, Announcement };
  Kind kind = Kind::Message;
  std::string_view addressee;
  std::string_view text;
  std::string_view number;    // the message number, or the number acked
  std::string_view replyAck;  // {MM}AA: the AA part
  bool replyAckCapable = false;  // {MM} with nothing after the }
  std::string_view bulletinId;
  std::string_view bulletinGroup;
};

struct AprsTelemetry {
  std::string_view sequence;
  std::array<std::optional<double>, 5> analog{};
  int analogCount = 0;
  std::string_view bits;
  AprsComment comment;
};

struct AprsTelemetryMessage {
  static constexpr int kMaxValues = 15;
  std::string_view addressee;
  std::string_view kind;  // PARM, UNIT, EQNS or BITS
  std::array<std::string_view, kMaxValues> values{};  // all but BITS
  int valueCount = 0;
  std::string_view bitSense;  // BITS: eight 0/1, the sense of each bit
  std::string_view project;   // BITS: the project title
};

struct AprsStatus {
  std::string_view timestamp;
  std::string_view maidenhead;
  std::optional<AprsSymbol> symbol;
  std::string_view text;
};

// The packet inside: decode its payload with DecodeThirdParty's inner.
struct AprsThirdParty {
  std::string_view source;
  std::string_view destination;
  std::string_view path;  // comma-separated, as sent
  std::string_view payload;
};

struct AprsNmea {
  std::string_view sentence;  // the name, GPRMC...
  std::optional<double> latitude;
  std::optional<double> longitude;
  std::optional<double> speedKnots;
  std::optional<int> course;
  std::optional<double> altitudeMetres;  // GGA
  std::string_view text;
};

struct AprsQuery {
  std::string_view addressee;  // empty for a general query
  std::string_view query;      // APRSD, APRS?, IGATE...
  std::string_view footprint;
};

// Capabilities, user-defined and test data, and the payload of a frame with
// no APRS data type.
struct AprsText {
  std::string_view userId;  // user-defined: one character each
  std::string_view packetType;
  std::string_view text;
};

// [IO91SX] comment: a beacon with a locator instead of a position.
struct AprsMaidenhead {
  std::string_view locator;
  AprsComment comment;
};

struct AprsInvalid {
  std::string_view reason;
};

using AprsBody =
    std::variant<std::monostate, AprsInvalid, AprsPositionReport, AprsMicE, AprsObject,
                 AprsWeatherReport, AprsMessage, AprsTelemetry, AprsTelemetryMessage, AprsStatus,
                 AprsThirdParty, AprsNmea, AprsQuery, AprsText, AprsMaidenhead>;

struct AprsReport {
  AprsType type = AprsType::NotAprs;
  AprsBody body;

  template <typename T>
  const T* As() const { return std::get_if<T>(&body); }
  // The position when the report has one.
  const AprsPosition* Position() const;
  const AprsExtensions* Extensions() const;
  const AprsComment* Comment() const;
};

}  // namespace vorlink
