// Weather data: a letter and a fixed number of characters per field, in any
// order after the wind; dots or blanks for a field not sent.
//
//   positionless  _MMDDHHMM c... s... g... t... then the others
//   with position the position, symbol _, "ddd/sss" wind, g... t... ...
#include <optional>

#include "decode/aprs_parts.h"

namespace vorlink::aprs {
namespace {

constexpr double kHundredthInchToMm = 0.254;
constexpr double kInchToMm = 25.4;
constexpr std::size_t kTimestampLength = 8;  // MMDDHHMM
constexpr int kFullHumidity = 100;  // sent as 00
constexpr int kHighLuminosity = 1000;  // "l" adds this to its three digits

using F = AprsWeatherField;

struct FieldSpec {
  char letter;
  std::size_t width;
  F field;
};

constexpr std::array<FieldSpec, 12> kFields{{
    {'c', 3, F::WindDirection}, {'s', 3, F::WindSpeed}, {'g', 3, F::WindGust},
    {'t', 3, F::Temperature},   {'r', 3, F::Rain1h},    {'p', 3, F::Rain24h},
    {'P', 3, F::RainSinceMidnight}, {'h', 2, F::Humidity}, {'b', 5, F::Pressure},
    {'L', 3, F::Luminosity},    {'l', 3, F::Luminosity}, {'#', 3, F::RainRaw},
}};

double FahrenheitToCelsius(double f) { return (f - 32) * 5 / 9; }

void Store(AprsWeather& wx, F field, char letter, double v) {
  switch (field) {
    case F::WindDirection: wx.windDirection = static_cast<int>(v); break;
    case F::WindSpeed: wx.windSpeed = v * kMphToMetresPerSecond; break;
    case F::WindGust: wx.windGust = v * kMphToMetresPerSecond; break;
    case F::Temperature: wx.temperature = FahrenheitToCelsius(v); break;
    case F::Rain1h: wx.rain1h = v * kHundredthInchToMm; break;
    case F::Rain24h: wx.rain24h = v * kHundredthInchToMm; break;
    case F::RainSinceMidnight: wx.rainSinceMidnight = v * kHundredthInchToMm; break;
    case F::Humidity: wx.humidity = v == 0 ? kFullHumidity : static_cast<int>(v); break;
    case F::Pressure: wx.pressure = v / 10; break;
    case F::Luminosity:
      wx.luminosity = static_cast<int>(v) + (letter == 'l' ? kHighLuminosity : 0);
      break;
    case F::Snow: wx.snow = v * kInchToMm; break;
    case F::RainRaw: wx.rainRaw = static_cast<int>(v); break;
  }
}

// Only the temperature may be negative, and only snowfall has a point.
bool Allowed(F field, double v, std::string_view text) {
  if (v < 0 && field != F::Temperature) return false;
  return field == F::Snow || text.find('.') == std::string_view::npos;
}

}  // namespace

std::size_t ReadWeatherFields(std::string_view text, AprsWeather& wx, bool windSeen) {
  std::size_t at = 0;
  bool later = windSeen;  // past the wind: "s" is snowfall
  while (at < text.size()) {
    const char letter = text[at];
    const FieldSpec* spec = nullptr;
    for (const FieldSpec& f : kFields) {
      if (f.letter == letter) spec = &f;
    }
    if (spec == nullptr || text.size() - at - 1 < spec->width) break;
    const F field = letter == 's' && later ? F::Snow : spec->field;
    const std::string_view value = text.substr(at + 1, spec->width);
    if (NotSent(value)) {
      MarkNotSent(wx, field);
    } else {
      const auto v = Decimal(value);
      if (!v || !Allowed(field, *v, value)) break;
      Store(wx, field, letter, *v);
    }
    if (letter != 'c') later = true;
    at += 1 + spec->width;
  }
  return at;
}

// Weather stations send this wind speed in mph like the "s" field, though
// the data extension it stands in for is in knots.
bool ReadWindExtension(std::string_view text, AprsWeather& wx) {
  if (text.size() < 7 || text[3] != '/') return false;
  const std::string_view dir = text.substr(0, 3);
  const std::string_view speed = text.substr(4, 3);
  const auto d = Digits(dir);
  const auto s = Digits(speed);
  if ((!d && !NotSent(dir)) || (!s && !NotSent(speed))) return false;
  if (d) {
    wx.windDirection = *d;
  } else {
    MarkNotSent(wx, F::WindDirection);
  }
  if (s) {
    wx.windSpeed = *s * kMphToMetresPerSecond;
  } else {
    MarkNotSent(wx, F::WindSpeed);
  }
  return true;
}

AprsReport DecodePositionlessWeather(const Reader& r) {
  AprsWeatherReport w;
  w.timestamp = r.Sub(1, kTimestampLength);
  if (w.timestamp.size() != kTimestampLength || !Digits(w.timestamp)) {
    return Invalid("bad weather timestamp");
  }
  const std::string_view rest = r.Sub(1 + kTimestampLength);
  const std::size_t used = ReadWeatherFields(rest, w.weather, false);
  if (used == 0) return Invalid("no weather data");
  w.comment = AprsComment(rest.substr(used));
  return {AprsType::Weather, w};
}

}  // namespace vorlink::aprs
