#include "decode/own_station.h"

#include "decode/aprs_fields.h"

namespace vorlink {
namespace {

constexpr int kPositionDecimals = 5;

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

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
