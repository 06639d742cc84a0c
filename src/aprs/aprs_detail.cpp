#include "aprs/aprs_detail.h"

#include "aprs/aprs_fields.h"
#include "base/text.h"
#include "geo/geo_point.h"

namespace vorlink {
namespace {

constexpr char kNotSent[] = "not sent";
constexpr double kFeetPerMetre = 1 / 0.3048;

// A number and its field's unit; a degree sign hugs its number.
void AppendValue(std::string& out, AprsField field, double v) {
  const AprsFieldInfo& info = FieldInfo(field);
  AppendNumber(out, v, info.decimals);
  if (info.unit.empty()) return;
  if (info.unit.front() != '\xC2') out += ' ';
  out += info.unit;
}

class DetailSink final : public AprsFieldSink {
 public:
  DetailSink(std::vector<AprsDetailLine>& lines, std::optional<GeoPoint> from, int level)
      : lines_(lines), level_(level), from_(from) {}

  using AprsFieldSink::Text;
  void Text(AprsField field, std::span<const std::string_view> runs) override {
    std::string& value = Value(field);
    for (std::string_view run : runs) AppendDisplayText(value, run);
  }
  void Number(AprsField field, double v) override {
    std::string& value = Value(field);
    if (list_ >= 0) {
      AppendNumber(value, v, FieldInfo(field).decimals);
      return;
    }
    if (field == AprsField::Ambiguity && v == 0) {
      value = "none";
      return;
    }
    AppendValue(value, field, v);
    if (field == AprsField::AltitudeM) {
      value += " (";
      AppendNumber(value, v * kFeetPerMetre, 0);
      value += " ft)";
    } else if (field == AprsField::Latitude) {
      latitude_ = v;
    } else if (field == AprsField::Longitude) {
      Place({latitude_, v});
    }
  }
  void Bool(AprsField field, bool v) override { Value(field) = v ? "yes" : "no"; }
  void Null(AprsField field) override { Value(field) += list_ >= 0 ? "-" : kNotSent; }
  void BeginList(AprsField field) override {
    lines_.push_back({level_, std::string(FieldInfo(field).label), {}});
    list_ = static_cast<int>(lines_.size()) - 1;
  }
  void EndList() override { list_ = -1; }
  void BeginGroup(AprsField field) override {
    lines_.push_back({level_++, std::string(FieldInfo(field).label), {}});
  }
  void EndGroup() override { --level_; }

 private:
  // The line a value goes to: the list's own, with ", " between members.
  std::string& Value(AprsField field) {
    if (list_ >= 0) {
      std::string& value = lines_[static_cast<std::size_t>(list_)].value;
      if (!value.empty()) value += ", ";
      return value;
    }
    lines_.push_back({level_, std::string(FieldInfo(field).label), {}});
    return lines_.back().value;
  }

  // After a longitude: where the point lies, and how far from ours.
  void Place(GeoPoint point) {
    lines_.push_back({level_, "Locator", MaidenheadFromPoint(point, kLocatorCharacters)});
    if (!from_) return;
    std::string distance;
    AppendNumber(distance, DistanceKm(*from_, point), 1);
    lines_.push_back({level_, "Distance", distance + " km"});
    std::string bearing;
    AppendNumber(bearing, BearingDegrees(*from_, point), 0);
    lines_.push_back({level_, "Bearing", bearing + "\u00B0"});
  }

  std::vector<AprsDetailLine>& lines_;
  int level_;
  int list_ = -1;
  std::optional<GeoPoint> from_;
  double latitude_ = 0;
};

}  // namespace

std::vector<AprsDetailLine> AprsDetailLines(const AprsReport& report, std::optional<GeoPoint> from) {
  std::vector<AprsDetailLine> lines;
  AppendAprsDetailLines(lines, report, from, 0);
  return lines;
}

void AppendAprsDetailLines(std::vector<AprsDetailLine>& lines, const AprsReport& report,
                           std::optional<GeoPoint> from, int level) {
  DetailSink sink(lines, from, level);
  VisitAprsReport(report, sink);
}

std::string WeatherSummary(const AprsWeather& wx) {
  std::string out;
  const auto add = [&](const char* caption, AprsField field, const auto& value) {
    if (!value) return;
    if (!out.empty()) out += ", ";
    out += caption;
    AppendValue(out, field, static_cast<double>(*value));
  };
  add("", AprsField::Temperature, wx.temperature);
  add("", AprsField::Humidity, wx.humidity);
  add("", AprsField::Pressure, wx.pressure);
  add("wind ", AprsField::WindDirection, wx.windDirection);
  if (wx.windSpeed) {
    out += wx.windDirection ? " " : (out.empty() ? "wind " : ", wind ");
    AppendValue(out, AprsField::WindSpeed, *wx.windSpeed);
  }
  add("gust ", AprsField::WindGust, wx.windGust);
  add("rain 1 h ", AprsField::Rain1h, wx.rain1h);
  add("rain 24 h ", AprsField::Rain24h, wx.rain24h);
  add("rain since midnight ", AprsField::RainSinceMidnight, wx.rainSinceMidnight);
  add("snow ", AprsField::Snow, wx.snow);
  add("", AprsField::Luminosity, wx.luminosity);
  return out;
}

}  // namespace vorlink
