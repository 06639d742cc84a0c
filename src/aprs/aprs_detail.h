// A report as labelled lines with units, for a detail tree: one line per
// field, members of a group (weather, the packet inside a third-party
// report) one level deeper, a list on one line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "aprs/aprs_report.h"
#include "geo/geo_point.h"

namespace vorlink {

struct AprsDetailLine {
  int level = 0;  // 0 top, 1 in a group...
  std::string label;
  std::string value;  // UTF-8; bytes of 0x80 and above as Latin-1

  bool operator==(const AprsDetailLine&) const = default;
};

// A position also as its locator and, with a point to measure from, its
// distance and bearing; an altitude in feet too.
std::vector<AprsDetailLine> AprsDetailLines(const AprsReport& report,
                                            std::optional<GeoPoint> from = std::nullopt);
// The same lines appended to `lines`, one level deeper than `level`.
void AppendAprsDetailLines(std::vector<AprsDetailLine>& lines, const AprsReport& report,
                           std::optional<GeoPoint> from, int level);

// "25 °C, 65 %, 1013.2 hPa, wind 270° 3.1 m/s, gust 4.5 m/s, rain 1 h 0.5 mm":
// the values sent, for one cell of a table.
std::string WeatherSummary(const AprsWeather& weather);

}  // namespace vorlink
