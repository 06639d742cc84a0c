// Positions: uncompressed and compressed, their data extensions and the
// extensions that may stand anywhere in a comment.
//
//   uncompressed  DDMM.hhN T DDDMM.hhW C   19 characters (T table, C code)
//   compressed    T YYYY XXXX C c s t      13 characters, base 91
#include <algorithm>
#include <cmath>

#include "aprs/aprs_parts.h"

namespace vorlink::aprs {
namespace {

constexpr std::size_t kUncompressedLength = 19;
constexpr std::size_t kCompressedLength = 13;
constexpr std::size_t kLatitudeLength = 8;
constexpr std::size_t kLongitudeLength = 9;
constexpr std::size_t kDataExtensionLength = 7;
constexpr std::size_t kDaoLength = 5;
constexpr std::size_t kAltitudeLength = 9;  // "/A=" and six characters
constexpr std::size_t kDfLength = 8;        // "/BRG/NRQ"
constexpr std::size_t kBase91AltitudeLength = 4;  // "xxx}"
constexpr std::size_t kMinTelemetryInside = 4;    // sequence and one channel
constexpr std::size_t kMaxTelemetryInside = 14;   // sequence, five channels, bits
constexpr int kMaxDegrees = 360;
constexpr double kCompressedLatitudeScale = 380926.0;
constexpr double kCompressedLongitudeScale = 190463.0;
constexpr int kCompressedMaxCourse = 89;  // c - 33 beyond this is no course
constexpr int kTypeGgaMask = 0x18;
constexpr int kTypeGga = 0x10;
constexpr double kMinutesPerDegree = 60.0;
constexpr double kMicEAltitudeDatum = 10000.0;  // metres below sea level

// Digit positions of a latitude, right to left, as ambiguity blanks them.
constexpr std::array<std::size_t, 4> kLatitudeBlur{6, 5, 3, 2};
constexpr std::array<std::size_t, 4> kLongitudeBlur{7, 6, 4, 3};

// Some trackers send the hemisphere in lower case.
char UpperHemisphere(char c) { return IsLower(c) ? static_cast<char>(c - 'a' + 'A') : c; }

// Degrees and minutes from digits (blanks read as 0), at most maxDegrees.
bool DegreesMinutes(std::string_view text, std::size_t degreeDigits, int maxDegrees,
                    double& value) {
  int digits[7] = {};
  int k = 0;
  for (std::size_t i = 0; i < degreeDigits + 4 + 1; ++i) {
    if (i == degreeDigits + 2) {
      if (text[i] != '.') return false;
      continue;
    }
    const char c = text[i];
    if (!IsDigit(c) && c != ' ') return false;
    digits[k++] = c == ' ' ? 0 : c - '0';
  }
  int degrees = 0;
  for (std::size_t i = 0; i < degreeDigits; ++i) degrees = degrees * 10 + digits[i];
  const int d = static_cast<int>(degreeDigits);
  const double minutes = digits[d] * 10 + digits[d + 1] + digits[d + 2] / 10.0 +
                         digits[d + 3] / 100.0;
  if (degrees > maxDegrees || minutes >= kMinutesPerDegree) return false;
  value = degrees + minutes / kMinutesPerDegree;
  return value <= maxDegrees;
}

std::size_t ReadUncompressed(const Reader& r, std::size_t at, AprsPosition& pos,
                             std::string_view& reason) {
  if (!r.Has(at, kUncompressedLength)) {
    reason = "position too short";
    return 0;
  }
  if (!ReadLatitude(r.Sub(at, kLatitudeLength), pos.latitude, pos.ambiguity)) {
    reason = "bad latitude";
    return 0;
  }
  pos.symbol.table = r.At(at + kLatitudeLength);
  if (!IsSymbolTable(pos.symbol.table)) {
    reason = "bad symbol table";
    return 0;
  }
  if (!ReadLongitude(r.Sub(at + kLatitudeLength + 1, kLongitudeLength), pos.ambiguity,
                     pos.longitude)) {
    reason = "bad longitude";
    return 0;
  }
  pos.symbol.code = r.At(at + kUncompressedLength - 1);
  return kUncompressedLength;
}

// The cs bytes of a compressed position: course/speed, range or altitude.
void ReadCompressedCs(char c, char s, char t, AprsExtensions& ext) {
  if (c == ' ') return;
  const int cv = static_cast<unsigned char>(c) - kBase91First;
  const int sv = static_cast<unsigned char>(s) - kBase91First;
  const int tv = static_cast<unsigned char>(t) - kBase91First;
  if (IsBase91(t) && (tv & kTypeGgaMask) == kTypeGga) {
    ext.altitudeMetres = std::pow(1.002, cv * 91 + sv) * kFeetToMetres;
  } else if (c == '{') {
    ext.rangeMiles = 2 * std::pow(1.08, sv);
  } else if (cv >= 0 && cv <= kCompressedMaxCourse) {
    if (cv > 0) ext.course = cv * 4;
    ext.speedKnots = std::pow(1.08, sv) - 1;
  }
}

std::size_t ReadCompressed(const Reader& r, std::size_t at, AprsPosition& pos,
                           AprsExtensions& ext, std::string_view& reason) {
  if (!r.Has(at, kCompressedLength)) {
    reason = "compressed position too short";
    return 0;
  }
  char table = r.At(at);
  if (table >= 'a' && table <= 'j') table = static_cast<char>('0' + (table - 'a'));
  const auto y = Base91(r.Sub(at + 1, 4));
  const auto x = Base91(r.Sub(at + 5, 4));
  if (!IsSymbolTable(table) || !y || !x) {
    reason = "bad compressed position";
    return 0;
  }
  pos.latitude = 90 - static_cast<double>(*y) / kCompressedLatitudeScale;
  pos.longitude = -180 + static_cast<double>(*x) / kCompressedLongitudeScale;
  if (std::abs(pos.latitude) > 90 || std::abs(pos.longitude) > 180) {
    reason = "compressed position out of range";
    return 0;
  }
  pos.symbol = {table, r.At(at + 9)};
  pos.compressed = true;
  ReadCompressedCs(r.At(at + 10), r.At(at + 11), r.At(at + 12), ext);
  return kCompressedLength;
}

// !DAO!: the datum letter and one more digit (upper case) or a base-91
// fraction (lower case) of the hundredths of a minute, moving the position
// away from the equator and the meridian.
bool ReadDao(std::string_view dao, AprsPosition& pos) {
  const char datum = dao[1];
  const char a = dao[2];
  const char o = dao[3];
  double latExtra = 0, lonExtra = 0;  // in minutes
  if (IsUpper(datum)) {
    if ((!IsDigit(a) && a != ' ') || (!IsDigit(o) && o != ' ')) return false;
    latExtra = a == ' ' ? 0 : (a - '0') * 0.001;
    lonExtra = o == ' ' ? 0 : (o - '0') * 0.001;
  } else if (IsLower(datum)) {
    if ((!IsBase91(a) && a != ' ') || (!IsBase91(o) && o != ' ')) return false;
    latExtra = a == ' ' ? 0 : (static_cast<unsigned char>(a) - kBase91First) / 91.0 * 0.01;
    lonExtra = o == ' ' ? 0 : (static_cast<unsigned char>(o) - kBase91First) / 91.0 * 0.01;
  } else {
    return false;
  }
  pos.latitude += std::copysign(latExtra / kMinutesPerDegree, pos.latitude);
  pos.longitude += std::copysign(lonExtra / kMinutesPerDegree, pos.longitude);
  pos.datum = datum;
  return true;
}

void ReadAltitude(std::string_view text, AprsExtensions& ext, Cuts& cuts) {
  const std::size_t at = text.find("/A=");
  if (at == std::string_view::npos || text.size() - at < kAltitudeLength) return;
  const std::string_view value = text.substr(at + 3, 6);
  const auto feet = value.front() == '-' ? Digits(value.substr(1)) : Digits(value);
  if (!feet) return;
  ext.altitudeMetres = (value.front() == '-' ? -*feet : *feet) * kFeetToMetres;
  cuts.Add(at, kAltitudeLength);
}

// The inside of |ss11..|: pairs of base-91 digits.
std::optional<AprsCommentTelemetry> ParseTelemetry(std::string_view inside) {
  if (inside.size() % 2 != 0 || inside.size() < kMinTelemetryInside ||
      inside.size() > kMaxTelemetryInside) {
    return std::nullopt;
  }
  AprsCommentTelemetry t;
  const int values = static_cast<int>(inside.size() / 2) - 1;
  for (int k = 0; k <= values; ++k) {
    const auto v = Base91(inside.substr(static_cast<std::size_t>(k) * 2, 2));
    if (!v) return std::nullopt;
    if (k == 0) {
      t.sequence = static_cast<int>(*v);
    } else if (k <= 5) {
      t.analog[static_cast<std::size_t>(k - 1)] = static_cast<int>(*v);
    } else {
      t.bits = static_cast<std::uint8_t>(*v & 0xFF);
    }
  }
  return t;
}

// The last |..| pair anywhere in the comment.
void ReadCommentTelemetry(std::string_view text, AprsExtensions& ext, Cuts& cuts) {
  const std::size_t close = text.rfind('|');
  if (close == std::string_view::npos || close == 0) return;
  const std::size_t open = text.rfind('|', close - 1);
  if (open == std::string_view::npos) return;
  const std::string_view inside = text.substr(open + 1, close - open - 1);
  if (const auto t = ParseTelemetry(inside)) {
    ext.telemetry = t;
    cuts.Add(open, inside.size() + 2);
  }
}

// Where the last !DAO! starts, npos without one.
std::size_t ReadLastDao(std::string_view text, AprsPosition& pos) {
  for (std::size_t at = text.rfind('!'); at != std::string_view::npos && at >= kDaoLength - 1;
       at = at == 0 ? std::string_view::npos : text.rfind('!', at - 1)) {
    const std::size_t start = at - (kDaoLength - 1);
    if (text[start] == '!' && ReadDao(text.substr(start, kDaoLength), pos)) return start;
  }
  return std::string_view::npos;
}

// /BRG/NRQ: bearing 1..360 (000 none) and three digits, which say nothing
// when the number of hits N is 0.
std::size_t ReadDf(std::string_view text, AprsExtensions& ext) {
  if (text.size() < kDfLength || text[0] != '/' || text[4] != '/') return 0;
  const auto bearing = Digits(text.substr(1, 3));
  if (!bearing || *bearing > kMaxDegrees || !Digits(text.substr(5, 3))) return 0;
  if (*bearing > 0) ext.bearing = *bearing;
  if (text[5] != '0') ext.nrq = text.substr(5, 3);
  return kDfLength;
}

bool IsDfSymbol(const AprsSymbol& s) { return s.table == '/' && s.code == '\\'; }

}  // namespace

void Cuts::Add(std::size_t from, std::size_t length) {
  if (count_ == kMax || length == 0) return;
  for (int k = 0; k < count_; ++k) {
    const auto [f, l] = runs_[static_cast<std::size_t>(k)];
    if (from < f + l && f < from + length) return;
  }
  runs_[static_cast<std::size_t>(count_++)] = {from, length};
}

void Cuts::Apply(std::string_view text, AprsComment& comment) const {
  // A handful of runs: insertion sort by start.
  std::array<std::pair<std::size_t, std::size_t>, kMax> runs;
  std::copy_n(runs_.begin(), count_, runs.begin());
  for (int k = 1; k < count_; ++k) {
    for (int j = k; j > 0 && runs[static_cast<std::size_t>(j)] < runs[static_cast<std::size_t>(j - 1)]; --j) {
      std::swap(runs[static_cast<std::size_t>(j)], runs[static_cast<std::size_t>(j - 1)]);
    }
  }
  std::size_t next = 0;
  for (int k = 0; k < count_; ++k) {
    const auto [from, length] = runs[static_cast<std::size_t>(k)];
    if (from > next) comment.Add(text.substr(next, from - next));
    next = from + length;
  }
  if (next < text.size()) comment.Add(text.substr(next));
}

AprsReport Invalid(std::string_view reason) {
  return {AprsType::Invalid, AprsInvalid{reason}};
}

bool ReadLatitude(std::string_view text, double& latitude, int& ambiguity) {
  if (text.size() != kLatitudeLength) return false;
  const char hemisphere = UpperHemisphere(text[7]);
  if (hemisphere != 'N' && hemisphere != 'S') return false;
  ambiguity = 0;
  while (ambiguity < 4 && text[kLatitudeBlur[static_cast<std::size_t>(ambiguity)]] == ' ') {
    ++ambiguity;
  }
  // Blanks stand only at the end: a digit after a blank is no ambiguity.
  for (int k = ambiguity; k < 4; ++k) {
    if (!IsDigit(text[kLatitudeBlur[static_cast<std::size_t>(k)]])) return false;
  }
  if (!IsDigit(text[0]) || !IsDigit(text[1])) return false;
  if (!DegreesMinutes(text, 2, 90, latitude)) return false;
  if (hemisphere == 'S') latitude = -latitude;
  return true;
}

bool ReadLongitude(std::string_view text, int ambiguity, double& longitude) {
  if (text.size() != kLongitudeLength) return false;
  const char hemisphere = UpperHemisphere(text[8]);
  if (hemisphere != 'E' && hemisphere != 'W') return false;
  char blurred[kLongitudeLength];
  std::copy(text.begin(), text.end(), blurred);
  for (int k = 0; k < ambiguity; ++k) blurred[kLongitudeBlur[static_cast<std::size_t>(k)]] = ' ';
  if (!DegreesMinutes({blurred, kLongitudeLength}, 3, 180, longitude)) return false;
  if (hemisphere == 'W') longitude = -longitude;
  return true;
}

std::size_t ReadPosition(const Reader& r, std::size_t at, AprsPosition& pos, AprsExtensions& ext,
                         std::string_view& reason) {
  if (IsDigit(r.At(at)) || r.At(at) == ' ') return ReadUncompressed(r, at, pos, reason);
  return ReadCompressed(r, at, pos, ext, reason);
}

std::size_t ReadDataExtension(std::string_view text, const AprsSymbol& symbol, bool withMotion,
                              AprsExtensions& ext) {
  if (text.size() < kDataExtensionLength) return 0;
  const std::string_view head = text.substr(0, 3);
  const std::string_view digits = text.substr(3, 4);
  if (text[3] == '/' && withMotion) {
    const auto course = Digits(head);
    const auto speed = Digits(text.substr(4, 3));
    if ((!course && !NotSent(head)) || (!speed && !NotSent(text.substr(4, 3)))) return 0;
    if (course && *course > kMaxDegrees) return 0;
    if (course && *course > 0) ext.course = *course;
    if (speed) ext.speedKnots = *speed;
  } else if (head == "PHG" && Digits(digits)) {
    ext.phg = digits;
  } else if (head == "DFS" && Digits(digits)) {
    ext.dfs = digits;
  } else if (head == "RNG" && Digits(digits)) {
    ext.rangeMiles = *Digits(digits);
  } else {
    return 0;
  }
  if (!IsDfSymbol(symbol)) return kDataExtensionLength;
  return kDataExtensionLength + ReadDf(text.substr(kDataExtensionLength), ext);
}

void ReadCommentExtensions(std::string_view text, AprsPosition& pos, AprsExtensions& ext,
                           Cuts& cuts, bool telemetryAtEnd) {
  ReadAltitude(text, ext, cuts);
  // The last !DAO! counts: it is sent at the end of the comment.
  const std::size_t dao = ReadLastDao(text, pos);
  if (dao != std::string_view::npos) cuts.Add(dao, kDaoLength);
  if (!telemetryAtEnd) {
    ReadCommentTelemetry(text, ext, cuts);
    return;
  }
  const bool daoLast = dao != std::string_view::npos && dao + kDaoLength == text.size();
  const std::string_view head = daoLast ? text.substr(0, dao) : text;
  const std::size_t length = TrailingTelemetryLength(head);
  if (length == 0) return;
  ext.telemetry = ParseTelemetry(head.substr(head.size() - length + 1, length - 2));
  cuts.Add(head.size() - length, length);
}

std::size_t TrailingTelemetryLength(std::string_view text) {
  if (text.size() < 2 || text.back() != '|') return 0;
  const std::size_t open = text.rfind('|', text.size() - 2);
  if (open == std::string_view::npos) return 0;
  const std::size_t length = text.size() - open;
  return ParseTelemetry(text.substr(open + 1, length - 2)) ? length : 0;
}

std::size_t ReadBase91Altitude(std::string_view text, AprsExtensions& ext) {
  if (text.size() < kBase91AltitudeLength || text[3] != '}') return 0;
  const auto v = Base91(text.substr(0, 3));
  if (!v) return 0;
  ext.altitudeMetres = static_cast<double>(*v) - kMicEAltitudeDatum;
  return kBase91AltitudeLength;
}

// A position report: ! and = without a timestamp, / and @ with one; a
// weather symbol with weather data makes it a weather report.
AprsReport DecodePositionReport(const Reader& r) {
  const char type = r.At(0);
  AprsPositionReport p;
  p.messaging = type == '=' || type == '@';
  std::size_t at = 1;
  if (type == '/' || type == '@') {
    p.timestamp = r.Sub(1, 7);
    if (!IsTimestamp(p.timestamp)) return Invalid("bad timestamp");
    at = 8;
  }
  std::string_view reason;
  const std::size_t used = ReadPosition(r, at, p.position, p.extensions, reason);
  if (used == 0) return Invalid(reason);
  const PositionForm form =
      p.position.compressed ? PositionForm::Compressed : PositionForm::Uncompressed;
  std::optional<AprsWeather> weather;
  ReadAfterPosition(r.Sub(at + used), form, p.position, p.extensions, p.comment, &weather);
  if (weather) {
    AprsWeatherReport w;
    w.position = p.position;
    w.timestamp = p.timestamp;
    w.messaging = p.messaging;
    w.weather = *weather;
    w.comment = p.comment;
    return {AprsType::Weather, w};
  }
  return {AprsType::Position, p};
}

}  // namespace vorlink::aprs
