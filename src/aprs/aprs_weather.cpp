// Weather data: a letter and a fixed number of characters per field, in any
// order after the wind; dots or blanks for a field not sent.
//
//   positionless  _MMDDHHMM c... s... g... t... then the others
//   with position the position, symbol _, "ddd/sss" wind, g... t... ...
#include <optional>

#include "aprs/aprs_parts.h"

namespace vorlink::aprs {
namespace {

constexpr double kHundredthInchToMm = 0.254;
constexpr double kInchToMm = 25.4;
constexpr std::size_t kWeatherTimestampLength = 8;  // MMDDHHMM
constexpr int kFullHumidity = 100;  // sent as 00
constexpr int kHighLuminosity = 1000;  // "l" adds this to its three digits

using Wf = AprsWeatherField;

struct FieldSpec {
  char letter;
  std::size_t width;
  Wf field;
};

constexpr std::array<FieldSpec, 12> kFields{{
    {'c', 3, Wf::WindDirection}, {'s', 3, Wf::WindSpeed}, {'g', 3, Wf::WindGust},
    {'t', 3, Wf::Temperature},   {'r', 3, Wf::Rain1h},    {'p', 3, Wf::Rain24h},
    {'P', 3, Wf::RainSinceMidnight}, {'h', 2, Wf::Humidity}, {'b', 5, Wf::Pressure},
    {'L', 3, Wf::Luminosity},    {'l', 3, Wf::Luminosity}, {'#', 3, Wf::RainRaw},
}};

double FahrenheitToCelsius(double f) { return (f - 32) * 5 / 9; }

void Store(AprsWeather& wx, Wf field, char letter, double v) {
  switch (field) {
    case Wf::WindDirection: wx.windDirection = static_cast<int>(v); break;
    case Wf::WindSpeed: wx.windSpeed = v * kMphToMetresPerSecond; break;
    case Wf::WindGust: wx.windGust = v * kMphToMetresPerSecond; break;
    case Wf::Temperature: wx.temperature = FahrenheitToCelsius(v); break;
    case Wf::Rain1h: wx.rain1h = v * kHundredthInchToMm; break;
    case Wf::Rain24h: wx.rain24h = v * kHundredthInchToMm; break;
    case Wf::RainSinceMidnight: wx.rainSinceMidnight = v * kHundredthInchToMm; break;
    case Wf::Humidity: wx.humidity = v == 0 ? kFullHumidity : static_cast<int>(v); break;
    case Wf::Pressure: wx.pressure = v / 10; break;
    case Wf::Luminosity:
      wx.luminosity = static_cast<int>(v) + (letter == 'l' ? kHighLuminosity : 0);
      break;
    case Wf::Snow: wx.snow = v * kInchToMm; break;
    case Wf::RainRaw: wx.rainRaw = static_cast<int>(v); break;
  }
}

// Only the temperature may be negative, and only snowfall has a point.
bool Allowed(Wf field, double v, std::string_view text) {
  if (v < 0 && field != Wf::Temperature) return false;
  return field == Wf::Snow || text.find('.') == std::string_view::npos;
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
    const Wf field = letter == 's' && later ? Wf::Snow : spec->field;
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
    MarkNotSent(wx, Wf::WindDirection);
  }
  if (s) {
    wx.windSpeed = *s * kMphToMetresPerSecond;
  } else {
    MarkNotSent(wx, Wf::WindSpeed);
  }
  return true;
}

AprsReport DecodePositionlessWeather(const Reader& r) {
  AprsWeatherReport w;
  w.timestamp = r.Sub(1, kWeatherTimestampLength);
  if (w.timestamp.size() != kWeatherTimestampLength || !Digits(w.timestamp)) {
    return Invalid("bad weather timestamp");
  }
  const std::string_view rest = r.Sub(1 + kWeatherTimestampLength);
  const std::size_t used = ReadWeatherFields(rest, w.weather, false);
  if (used == 0) return Invalid("no weather data");
  w.comment = AprsComment(rest.substr(used));
  return {AprsType::Weather, w};
}

}  // namespace vorlink::aprs
