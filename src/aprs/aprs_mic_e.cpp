// Mic-E: latitude, message bits and longitude offset in the destination
// callsign, the rest in the information field.
//
//   destination  six characters: latitude digit (or blank), message bit
//                (1-3), N/S (4), longitude offset +100 (5), W/E (6)
//   information  type, d+28 m+28 h+28 (longitude), SP+28 DC+28 SE+28
//                (speed and course), symbol code, symbol table, then the
//                comment: device prefix, old telemetry, "xxx}" altitude,
//                text, device suffix
//
// Bytes 0x1C..0x1F and 0x7F are data here like any other.
#include <span>

#include "aprs/aprs_parts.h"

namespace vorlink::aprs {
namespace {

constexpr std::size_t kDestinationLength = 6;
constexpr std::size_t kFixedLength = 9;  // type to symbol table
constexpr int kOffset = 28;
constexpr int kKnotsWrap = 800;
constexpr int kCourseWrap = 400;
constexpr std::size_t kOldHexChannels = 5;

enum class Bit : std::uint8_t { Zero, Standard, Custom };

struct DestinationChar {
  int digit = -1;  // -1: blank (ambiguity)
  Bit bit = Bit::Zero;
  bool set = false;  // north, +100, west
};

std::optional<DestinationChar> Decode(char c, bool messageColumn) {
  if (IsDigit(c)) return DestinationChar{c - '0', Bit::Zero, false};
  if (c == 'L') return DestinationChar{-1, Bit::Zero, false};
  if (c >= 'P' && c <= 'Y') return DestinationChar{c - 'P', Bit::Standard, true};
  if (c == 'Z') return DestinationChar{-1, Bit::Standard, true};
  if (!messageColumn) return std::nullopt;
  if (c >= 'A' && c <= 'J') return DestinationChar{c - 'A', Bit::Custom, false};
  if (c == 'K') return DestinationChar{-1, Bit::Custom, false};
  return std::nullopt;
}

using Destination = std::array<DestinationChar, kDestinationLength>;

MicEMessage Message(const Destination& d) {
  int value = 0;
  bool standard = false, custom = false;
  for (std::size_t k = 0; k < 3; ++k) {
    value = value * 2 + (d[k].bit != Bit::Zero ? 1 : 0);
    standard = standard || d[k].bit == Bit::Standard;
    custom = custom || d[k].bit == Bit::Custom;
  }
  if (value == 0) return {MicEMessageKind::Emergency, 0};
  if (standard && custom) return {MicEMessageKind::Unknown, 0};
  return {standard ? MicEMessageKind::Standard : MicEMessageKind::Custom, 7 - value};
}

int Byte(const Reader& r, std::size_t i) { return static_cast<unsigned char>(r.At(i)) - kOffset; }

// The six digits as "DDMM.hhN", blanks (ambiguity) only at the end.
bool MicELatitude(const Destination& d, AprsPosition& pos) {
  int ambiguity = 0;
  while (ambiguity < 4 && d[5 - static_cast<std::size_t>(ambiguity)].digit < 0) ++ambiguity;
  char lat[8] = {'0', '0', '0', '0', '.', '0', '0', d[3].set ? 'N' : 'S'};
  constexpr std::array<std::size_t, 6> kLatColumn{0, 1, 2, 3, 5, 6};
  for (std::size_t k = 0; k < kDestinationLength; ++k) {
    if (d[k].digit < 0 && k + static_cast<std::size_t>(ambiguity) < kDestinationLength) {
      return false;
    }
    lat[kLatColumn[k]] = d[k].digit < 0 ? ' ' : static_cast<char>('0' + d[k].digit);
  }
  return ReadLatitude({lat, 8}, pos.latitude, pos.ambiguity);
}

// Degrees (with the offset and its wraps), minutes (wrapped) and
// hundredths, blurred like the latitude.
bool MicELongitude(const Reader& r, const Destination& d, AprsPosition& pos) {
  int degrees = Byte(r, 1) + (d[4].set ? 100 : 0);
  if (degrees >= 180 && degrees <= 189) degrees -= 80;
  else if (degrees >= 190 && degrees <= 199) degrees -= 190;
  int minutes = Byte(r, 2);
  if (minutes >= 60) minutes -= 60;
  const int hundredths = Byte(r, 3);
  if (degrees < 0 || degrees > 179 || minutes < 0 || minutes > 59 || hundredths < 0 ||
      hundredths > 99) {
    return false;
  }
  const char lon[9] = {
      static_cast<char>('0' + degrees / 100),   static_cast<char>('0' + degrees / 10 % 10),
      static_cast<char>('0' + degrees % 10),    static_cast<char>('0' + minutes / 10),
      static_cast<char>('0' + minutes % 10),    '.',
      static_cast<char>('0' + hundredths / 10), static_cast<char>('0' + hundredths % 10),
      d[5].set ? 'W' : 'E'};
  return ReadLongitude({lon, 9}, pos.ambiguity, pos.longitude);
}

// Speed in knots and course from SP+28 DC+28 SE+28, with their wraps.
bool MicEMotion(const Reader& r, AprsExtensions& ext) {
  const int sp = Byte(r, 4), dc = Byte(r, 5), se = Byte(r, 6);
  if (sp < 0 || dc < 0 || se < 0) return false;
  int speed = sp * 10 + dc / 10;
  int course = (dc % 10) * 100 + se;
  if (speed >= kKnotsWrap) speed -= kKnotsWrap;
  if (course >= kCourseWrap) course -= kCourseWrap;
  ext.speedKnots = speed;
  if (course > 0 && course <= 360) ext.course = course;
  return true;
}

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// n hex pairs at the start of text into the channels given.
bool ReadHexTelemetry(std::string_view text, std::span<const std::size_t> channels,
                      AprsMicE& m) {
  if (text.size() < channels.size() * 2) return false;
  for (std::size_t k = 0; k < channels.size(); ++k) {
    const int hi = HexValue(text[2 * k]);
    const int lo = HexValue(text[2 * k + 1]);
    if (hi < 0 || lo < 0) return false;
    m.telemetry[channels[k]] = static_cast<std::uint8_t>(hi * 16 + lo);
  }
  return true;
}

// The first comment byte: a device prefix or the old telemetry flag, which
// share ' and `. Telemetry is taken only when hex digits follow for every
// channel and nothing else directly after them; otherwise it is a device.
std::size_t ReadCommentStart(std::string_view text, AprsMicE& m, char& device) {
  if (text.empty()) return 0;
  const char first = text[0];
  if (first == 0x1D && text.size() >= 1 + kOldHexChannels) {
    for (std::size_t k = 0; k < kOldHexChannels; ++k) {
      m.telemetry[k] = static_cast<std::uint8_t>(text[1 + k]);
    }
    return 1 + kOldHexChannels;
  }
  static constexpr std::array<std::size_t, 5> kAll{0, 1, 2, 3, 4};
  static constexpr std::array<std::size_t, 2> kFirstAndThird{0, 2};
  const auto endsAt = [&](std::size_t n) {
    return text.size() == n || (text.size() > n && text[n] == ' ');
  };
  if (first == '\'' && endsAt(11) && ReadHexTelemetry(text.substr(1), kAll, m)) return 11;
  if (first == '`' && endsAt(5) && ReadHexTelemetry(text.substr(1), kFirstAndThird, m)) return 5;
  if (first == '>' || first == ']' || first == '`' || first == '\'') {
    device = first;
    return 1;
  }
  return 0;
}

// The device suffix the prefix announces: one of = ^ & after > or ], two
// characters (a mark and a model) after ` or '.
std::size_t SuffixLength(std::string_view text, char device) {
  if (text.empty()) return 0;
  const char last = text.back();
  if (device == '>') return last == '=' || last == '^' || last == '&' ? 1 : 0;
  if (device == ']') return last == '=' ? 1 : 0;
  if ((device == '`' || device == '\'') && text.size() >= 2) {
    const char mark = text[text.size() - 2];
    const bool isMark = !IsDigit(mark) && !IsUpper(mark) && !IsLower(mark) && mark != ' ';
    return isMark ? 2 : 0;
  }
  return 0;
}

}  // namespace

AprsReport DecodeMicE(const Reader& r, std::string_view destination) {
  // The SSID is no part of the latitude.
  const std::string_view call = destination.substr(0, destination.find('-'));
  if (call.size() != kDestinationLength) return Invalid("Mic-E destination not six characters");
  Destination d;
  for (std::size_t k = 0; k < kDestinationLength; ++k) {
    const auto c = Decode(call[k], k < 3);
    if (!c) return Invalid("bad Mic-E destination");
    d[k] = *c;
  }
  if (!r.Has(0, kFixedLength)) return Invalid("Mic-E too short");

  AprsMicE m;
  m.oldFormat = r.At(0) == '\'' || r.At(0) == 0x1D;
  m.message = Message(d);
  if (!MicELatitude(d, m.position)) return Invalid("bad Mic-E latitude");
  if (!MicELongitude(r, d, m.position)) return Invalid("bad Mic-E longitude");
  if (!MicEMotion(r, m.extensions)) return Invalid("bad Mic-E speed or course");
  m.position.symbol = {r.At(8), r.At(7)};
  if (!IsSymbolTable(m.position.symbol.table)) return Invalid("bad Mic-E symbol table");

  std::string_view rest = r.Sub(kFixedLength);
  char device = 0;
  const std::size_t start = ReadCommentStart(rest, m, device);
  rest.remove_prefix(start);
  // A telemetry's closing | could pass for a device suffix.
  if (TrailingTelemetryLength(rest) == 0) rest.remove_suffix(SuffixLength(rest, device));
  ReadAfterPosition(rest, PositionForm::MicE, m.position, m.extensions, m.comment, nullptr);
  return {AprsType::MicE, m};
}

}  // namespace vorlink::aprs
