#include "store/heard_columns.h"

#include <cmath>
#include <limits>

#include "aprs/aprs_detail.h"
#include "aprs/aprs_fields.h"
#include "aprs/aprs_symbols.h"
#include "geo/geo_point.h"

namespace vorlink {
namespace {

constexpr std::int64_t kBlankKey = std::numeric_limits<std::int64_t>::min();

std::string Number(double value, int decimals, std::string_view unit) {
  std::string text;
  AppendNumber(text, value, decimals);
  text += unit;
  return text;
}

std::int64_t SortKey(double value) { return std::llround(value); }

}  // namespace

std::string HeardSymbolText(const HeardStation& s) {
  return s.aprs.symbol ? std::string(AprsSymbolDescription(*s.aprs.symbol)) : std::string();
}

std::string HeardPositionText(const HeardStation& s) {
  if (!s.aprs.position) return {};
  return Number(s.aprs.position->latitude, kPositionDecimals, ", ") +
         Number(s.aprs.position->longitude, kPositionDecimals, "");
}

std::string HeardLocatorText(const HeardStation& s) {
  return s.aprs.position ? MaidenheadFromPoint(*s.aprs.position, kLocatorCharacters) : std::string();
}

std::string HeardDistanceText(const HeardStation& s, const HeardFrom& from) {
  if (!s.aprs.position || !from) return {};
  return Number(DistanceKm(*from, *s.aprs.position), 1, " km");
}

std::string HeardBearingText(const HeardStation& s, const HeardFrom& from) {
  if (!s.aprs.position || !from) return {};
  return Number(BearingDegrees(*from, *s.aprs.position), 0, "\u00B0");
}

std::string HeardMotionText(const HeardStation& s) {
  std::string text;
  if (s.aprs.course) text = Number(*s.aprs.course, 0, "\u00B0");
  if (s.aprs.speedKnots) {
    if (!text.empty()) text += ' ';
    text += Number(*s.aprs.speedKnots * kKnotsToKmh, 1, " km/h");
  }
  return text;
}

std::string HeardAltitudeText(const HeardStation& s) {
  return s.aprs.altitudeMetres ? Number(*s.aprs.altitudeMetres, 0, " m") : std::string();
}

std::string HeardWeatherText(const HeardStation& s) {
  return s.aprs.weather ? WeatherSummary(*s.aprs.weather) : std::string();
}

std::int64_t HeardDistanceKey(const HeardStation& s, const HeardFrom& from) {
  if (!s.aprs.position || !from) return kBlankKey;
  return SortKey(DistanceKm(*from, *s.aprs.position) * 1000);
}

std::int64_t HeardBearingKey(const HeardStation& s, const HeardFrom& from) {
  if (!s.aprs.position || !from) return kBlankKey;
  return SortKey(BearingDegrees(*from, *s.aprs.position));
}

std::int64_t HeardSpeedKey(const HeardStation& s) {
  return s.aprs.speedKnots ? SortKey(*s.aprs.speedKnots * kKnotsToKmh * 10) : kBlankKey;
}

std::int64_t HeardAltitudeKey(const HeardStation& s) {
  return s.aprs.altitudeMetres ? SortKey(*s.aprs.altitudeMetres) : kBlankKey;
}

}  // namespace vorlink
