#include "aprs/station_call.h"

#include <algorithm>

#include "base/text.h"

namespace vorlink {
namespace {
constexpr char kHopSeparator = ',';

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

std::optional<Ax25Address> ParseStationCallsign(std::string_view text) {
  auto address = ParseCallsign(Trimmed(text));
  if (!address || std::none_of(address->callsign.begin(), address->callsign.end(), IsDigit)) {
    return std::nullopt;
  }
  return address;
}

std::optional<std::vector<Ax25Address>> ParsePath(std::string_view text) {
  std::vector<Ax25Address> hops;
  text = Trimmed(text);
  if (text.empty()) return hops;
  while (true) {
    const std::size_t comma = text.find(kHopSeparator);
    const auto hop = ParseCallsign(Trimmed(text.substr(0, comma)));
    if (!hop || hops.size() == kMaxPathHops) return std::nullopt;
    hops.push_back(*hop);
    if (comma == std::string_view::npos) return hops;
    text.remove_prefix(comma + 1);
  }
}

std::string PathText(const std::vector<Ax25Address>& hops) {
  std::string text;
  for (const Ax25Address& hop : hops) {
    if (!text.empty()) text += kHopSeparator;
    text += CallsignText(hop);
  }
  return text;
}

}  // namespace vorlink
