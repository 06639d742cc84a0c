#include "aprs/own_station.h"

#include "aprs/aprs_fields.h"
#include "base/text.h"
#include "geo/geo_point.h"

namespace vorlink {
std::optional<GeoPoint> ParseOwnPosition(std::string_view text) {
  text = Trimmed(text);
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return PointFromMaidenhead(text);
  std::string point(Trimmed(text.substr(0, comma)));
  point += ',';
  point += Trimmed(text.substr(comma + 1));
  return ParseGeoPoint(point);
}

std::string OwnPositionText(GeoPoint point) {
  std::string text;
  AppendNumber(text, point.latitude, kPositionDecimals);
  text += ',';
  AppendNumber(text, point.longitude, kPositionDecimals);
  return text;
}

}  // namespace vorlink
