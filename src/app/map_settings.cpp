#include "app/map_settings.h"

#include <charconv>
#include <cmath>
#include <iterator>

#include "base/text.h"

namespace vorlink {

std::optional<std::vector<double>> ParseRangeRings(std::string_view text) {
  std::vector<double> rings;
  while (!Trimmed(text).empty()) {
    const std::size_t comma = text.find(',');
    const std::string_view part = Trimmed(text.substr(0, comma));
    double km = 0;
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), km);
    if (error != std::errc() || end != part.data() + part.size() || !std::isfinite(km) || km <= 0 ||
        rings.size() >= kMaxRangeRings) {
      return std::nullopt;
    }
    rings.push_back(km);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return rings;
}

std::string RangeRingsText(const std::vector<double>& rings) {
  std::string text;
  for (const double km : rings) {
    // Shortest form that reads back as the same number.
    char digits[32];
    const auto [end, error] = std::to_chars(std::begin(digits), std::end(digits), km);
    if (error != std::errc()) continue;
    if (!text.empty()) text += ',';
    text.append(digits, end);
  }
  return text;
}

bool UsableTileUrl(std::string_view url) {
  const bool scheme = url.starts_with("http://") || url.starts_with("https://");
  return scheme && url.find("{z}") != url.npos && url.find("{x}") != url.npos &&
         url.find("{y}") != url.npos;
}

}  // namespace vorlink
