#include "aprs/aprs_decoder.h"

#include <algorithm>
#include <cstdint>

#include "aprs/aprs_parts.h"

namespace vorlink {
namespace aprs {
namespace {

constexpr std::size_t kObjectNameLength = 9;
constexpr std::size_t kTimestampLength = 7;
constexpr std::size_t kMinItemName = 3;
constexpr std::size_t kMaxItemName = 9;
// A position may follow other text when "!" is within the first 40 characters.
constexpr std::size_t kLatePositionLimit = 40;
constexpr std::uint8_t kUiMask = 0xEF;
constexpr std::uint8_t kUiControl = 0x03;
constexpr std::string_view kUltimeterPrefix = "$ULTW";
constexpr double kMinTelemetryValue = -2147483648.0;
constexpr double kMaxTelemetryValue = 2147483647.0;
constexpr std::size_t kMaxTelemetryWholeDigits = 10;
// Digits past these are below what a double of this range holds.
constexpr std::size_t kMaxTelemetryFractionDigits = 9;

// Position and what follows it, for objects and items.
AprsReport ObjectBody(const Reader& r, std::size_t at, AprsObject o) {
  std::string_view reason;
  const std::size_t used = ReadPosition(r, at, o.position, o.extensions, reason);
  if (used == 0) return Invalid(reason);
  const PositionForm form =
      o.position.compressed ? PositionForm::Compressed : PositionForm::Uncompressed;
  ReadAfterPosition(r.Sub(at + used), form, o.position, o.extensions, o.comment, &o.weather);
  return {o.item ? AprsType::Item : AprsType::Object, o};
}

AprsReport DecodeObject(const Reader& r) {
  AprsObject o;
  const char state = r.At(1 + kObjectNameLength);
  if (state != '*' && state != '_') return Invalid("object name not followed by * or _");
  o.name = TrimRight(r.Sub(1, kObjectNameLength));
  o.alive = state == '*';
  o.timestamp = r.Sub(2 + kObjectNameLength, kTimestampLength);
  if (!IsTimestamp(o.timestamp)) return Invalid("bad object timestamp");
  return ObjectBody(r, 2 + kObjectNameLength + kTimestampLength, o);
}

AprsReport DecodeItem(const Reader& r) {
  AprsObject o;
  o.item = true;
  const std::string_view head = r.Sub(1, kMaxItemName + 1);
  const std::size_t end = head.find_first_of("!_", kMinItemName);
  if (end == std::string_view::npos) return Invalid("item name not followed by ! or _");
  o.name = head.substr(0, end);
  o.alive = head[end] == '!';
  return ObjectBody(r, 2 + end, o);
}

// A T# value: a signed 32-bit integer's range, fractions allowed. Only
// digits, one point and a leading minus: no exponent, no inf or nan.
std::optional<double> TelemetryValue(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  std::int64_t whole = 0;
  double fraction = 0;
  double scale = 1;
  std::size_t wholeDigits = 0, fractionDigits = 0;
  bool point = false;
  for (char c : text) {
    if (c == '.' && !point) {
      point = true;
    } else if (!IsDigit(c)) {
      return std::nullopt;
    } else if (!point) {
      if (++wholeDigits > kMaxTelemetryWholeDigits) return std::nullopt;
      whole = whole * 10 + (c - '0');
    } else if (++fractionDigits <= kMaxTelemetryFractionDigits) {
      scale /= 10;
      fraction += (c - '0') * scale;
    }
  }
  if (wholeDigits + fractionDigits == 0) return std::nullopt;
  const double v = (static_cast<double>(whole) + fraction) * (negative ? -1 : 1);
  if (v < kMinTelemetryValue || v > kMaxTelemetryValue) return std::nullopt;
  return v;
}

// T#sss,a1,a2,a3,a4,a5,bbbbbbbb (T#MIC199,... from Mic-E units).
AprsReport DecodeTelemetry(const Reader& r) {
  AprsTelemetry t;
  std::string_view rest = r.Sub(2);
  if (rest.starts_with("MIC") && !rest.starts_with("MIC,")) {
    t.sequence = rest.substr(0, 3);
    rest.remove_prefix(3);
  } else {
    const std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos) return Invalid("telemetry without values");
    t.sequence = rest.substr(0, comma);
    rest.remove_prefix(comma + 1);
  }
  while (t.analogCount < 5) {
    const std::size_t comma = rest.find(',');
    const std::string_view value = rest.substr(0, comma);
    if (!value.empty()) {
      const auto v = TelemetryValue(value);
      if (!v) return Invalid("bad telemetry value");
      t.analog[static_cast<std::size_t>(t.analogCount)] = *v;
    }
    ++t.analogCount;
    if (comma == std::string_view::npos) return {AprsType::Telemetry, t};
    rest.remove_prefix(comma + 1);
  }
  std::size_t bits = 0;
  while (bits < 8 && bits < rest.size() && (rest[bits] == '0' || rest[bits] == '1')) ++bits;
  t.bits = rest.substr(0, bits);
  t.comment = AprsComment(rest.substr(bits));
  return {AprsType::Telemetry, t};
}

bool IsLocator(std::string_view text) {
  const auto in = [](char c, char lo, char hi) { return c >= lo && c <= hi; };
  if (text.size() != 4 && text.size() != 6) return false;
  if (!in(text[0], 'A', 'R') || !in(text[1], 'A', 'R') || !IsDigit(text[2]) ||
      !IsDigit(text[3])) {
    return false;
  }
  return text.size() == 4 || ((in(text[4], 'A', 'X') || in(text[4], 'a', 'x')) &&
                              (in(text[5], 'A', 'X') || in(text[5], 'a', 'x')));
}

// >text, >DDHHMMztext, or >IO91SX/G text (a locator and its symbol).
AprsReport DecodeStatus(const Reader& r) {
  AprsStatus s;
  std::string_view text = r.Sub(1);
  if (text.size() >= kTimestampLength && IsTimestamp(text.substr(0, kTimestampLength)) &&
      text[kTimestampLength - 1] == 'z') {
    s.timestamp = text.substr(0, kTimestampLength);
    text.remove_prefix(kTimestampLength);
  } else {
    for (std::size_t n : {std::size_t{6}, std::size_t{4}}) {
      if (text.size() >= n + 2 && IsLocator(text.substr(0, n)) &&
          (text.size() == n + 2 || text[n + 2] == ' ')) {
        s.maidenhead = text.substr(0, n);
        s.symbol = AprsSymbol{text[n], text[n + 1]};
        text.remove_prefix(std::min(text.size(), n + 3));
        break;
      }
    }
  }
  s.text = text;
  return {AprsType::Status, s};
}

// Latitude "ddmm.mmmm" or longitude "dddmm.mmmm" and its hemisphere.
std::optional<double> NmeaAngle(std::string_view value, std::string_view hemisphere,
                                std::size_t degreeDigits) {
  const auto degrees = Digits(value.substr(0, degreeDigits));
  const auto minutes = Decimal(value.substr(std::min(value.size(), degreeDigits)));
  if (!degrees || !minutes || *minutes >= 60 || *minutes < 0) return std::nullopt;
  const double v = *degrees + *minutes / 60;
  if (v > (degreeDigits == 2 ? 90 : 180)) return std::nullopt;
  if (hemisphere == "S" || hemisphere == "W") return -v;
  if (hemisphere == "N" || hemisphere == "E") return v;
  return std::nullopt;
}

AprsReport DecodeNmea(const Reader& r) {
  constexpr std::size_t kMaxFields = 12;
  constexpr std::size_t kGgaAltitude = 9;
  constexpr std::size_t kGgaAltitudeUnit = 10;
  std::array<std::string_view, kMaxFields> f{};
  std::string_view rest = r.Sub(1);
  std::size_t n = 0;
  while (n < kMaxFields) {
    const std::size_t comma = rest.find_first_of(",*");
    f[n++] = rest.substr(0, comma);
    if (comma == std::string_view::npos || rest[comma] == '*') break;
    rest.remove_prefix(comma + 1);
  }
  AprsNmea nmea;
  nmea.sentence = f[0];
  nmea.text = r.Text();
  const std::string_view kind = f[0].size() >= 5 ? f[0].substr(f[0].size() - 3) : "";
  std::size_t latField = 0;
  if (kind == "RMC") latField = 3;
  if (kind == "GGA") latField = 2;
  if (kind == "GLL") latField = 1;
  // An RMC with status V has no fix: what it says is no position.
  if (kind == "RMC" && f[2] == "V") return {AprsType::Nmea, nmea};
  if (latField > 0) {
    nmea.latitude = NmeaAngle(f[latField], f[latField + 1], 2);
    nmea.longitude = NmeaAngle(f[latField + 2], f[latField + 3], 3);
    if (!nmea.latitude || !nmea.longitude) {
      nmea.latitude.reset();
      nmea.longitude.reset();
    }
  }
  if (kind == "GGA" && f[kGgaAltitudeUnit] == "M") nmea.altitudeMetres = Decimal(f[kGgaAltitude]);
  if (kind == "RMC") {
    nmea.speedKnots = Decimal(f[7]);
    if (const auto c = Decimal(f[8]); c && *c > 0 && *c <= 360) {
      nmea.course = static_cast<int>(*c + 0.5);
    }
  }
  return {AprsType::Nmea, nmea};
}

// }SOURCE>DEST,PATH:payload
AprsReport DecodeThirdParty(const Reader& r) {
  const std::string_view rest = r.Sub(1);
  const std::size_t colon = rest.find(':');
  const std::size_t arrow = rest.find('>');
  if (colon == std::string_view::npos || arrow == std::string_view::npos || arrow > colon ||
      arrow == 0) {
    return Invalid("bad third-party header");
  }
  AprsThirdParty t;
  t.source = rest.substr(0, arrow);
  const std::string_view to = rest.substr(arrow + 1, colon - arrow - 1);
  const std::size_t comma = to.find(',');
  t.destination = to.substr(0, comma);
  if (comma != std::string_view::npos) t.path = to.substr(comma + 1);
  if (t.destination.empty()) return Invalid("bad third-party header");
  t.payload = rest.substr(colon + 1);
  return {AprsType::ThirdParty, t};
}

// ?APRS? and ?IGATE? with an optional footprint after the second "?".
AprsReport DecodeGeneralQuery(const Reader& r) {
  const std::string_view rest = r.Sub(1);
  const std::size_t end = rest.find('?');
  if (end == std::string_view::npos || end == 0) return Invalid("query without closing ?");
  return {AprsType::Query, AprsQuery{{}, rest.substr(0, end), rest.substr(end + 1)}};
}

AprsReport TextReport(AprsType type, AprsText text) { return {type, text}; }

// A report of only a text.
AprsReport TextReport(AprsType type, std::string_view text) {
  AprsText t;
  t.text = text;
  return {type, t};
}

// [IO91SX]text: a beacon with a locator instead of a position.
AprsReport DecodeMaidenhead(const Reader& r) {
  const std::string_view rest = r.Sub(1);
  const std::size_t close = rest.find(']');
  if (close == std::string_view::npos || !IsLocator(rest.substr(0, close))) {
    return Invalid("bad Maidenhead locator");
  }
  return {AprsType::Maidenhead,
          AprsMaidenhead{rest.substr(0, close), AprsComment(rest.substr(close + 1))}};
}

// {UTdata: user U, packet type T; the text is all after the {, as the
// user's own program reads it.
AprsReport DecodeUserDefined(const Reader& r) {
  AprsText t;
  t.userId = r.Sub(1, 1);
  t.packetType = r.Sub(2, 1);
  t.text = r.Sub(1);
  return TextReport(AprsType::UserDefined, t);
}

// Ultimeter 2000 ($ULTW, !!) and Peet Bros U-II (#, *) raw station data.
// The reference gives their data types and examples, not their layouts:
// they stay raw.
AprsReport RawWeather(const Reader& r) {
  AprsWeatherReport w;
  w.raw = r.Text();
  return {AprsType::Weather, w};
}

AprsReport Dispatch(const Reader& r, std::string_view destination) {
  switch (r.At(0)) {
    case '!':
      if (r.At(1) == '!') return RawWeather(r);
      [[fallthrough]];
    case '=':
    case '/':
    case '@': return DecodePositionReport(r);
    case '`':
    case '\'':
    case 0x1C:
    case 0x1D: return DecodeMicE(r, destination);
    case ';': return DecodeObject(r);
    case ')': return DecodeItem(r);
    case ':': return DecodeMessage(r);
    case '_': return DecodePositionlessWeather(r);
    case '>': return DecodeStatus(r);
    case '}': return DecodeThirdParty(r);
    case '$':
      if (r.Text().starts_with(kUltimeterPrefix)) return RawWeather(r);
      return DecodeNmea(r);
    case '?': return DecodeGeneralQuery(r);
    case '<': return TextReport(AprsType::Capabilities, r.Sub(1));
    case '{': return DecodeUserDefined(r);
    case ',': return TextReport(AprsType::TestData, r.Sub(1));
    case '[': return DecodeMaidenhead(r);
    case 'T':
      if (r.At(1) == '#') return DecodeTelemetry(r);
      break;
    case '#':
    case '*': return RawWeather(r);
    case '%':
    case '&':
    case '+':
    case '.': return Invalid("data type not decoded");
    default: break;
  }
  // A station may send its position after other text.
  const std::size_t bang = r.Sub(0, kLatePositionLimit).find('!');
  if (bang != std::string_view::npos) {
    const std::string_view tail = r.Sub(bang);
    AprsReport late = DecodePositionReport(Reader(tail));
    if (late.type != AprsType::Invalid) return late;
  }
  return TextReport(AprsType::NotAprs, r.Text());
}

}  // namespace
}  // namespace aprs

AprsReport DecodeAprs(std::string_view info, std::string_view destination) {
  if (info.empty()) return {};
  return aprs::Dispatch(aprs::Reader(info), destination);
}

AprsReport DecodeAprs(std::span<const std::uint8_t> info, std::string_view destination) {
  return DecodeAprs(aprs::Reader(info).Text(), destination);
}

AprsReport DecodeAprsFrame(const Ax25Decoder& frame) {
  if (frame.PayloadLength() < 0) return {};
  if ((frame.ControlByte & aprs::kUiMask) != aprs::kUiControl) {
    return aprs::TextReport(AprsType::NotAprs, aprs::Reader(frame.Payload()).Text());
  }
  return DecodeAprs(frame.Payload(), frame.DestinationText);
}

AprsReport DecodeInner(const AprsThirdParty& thirdParty) {
  return DecodeAprs(thirdParty.payload, thirdParty.destination);
}

}  // namespace vorlink
