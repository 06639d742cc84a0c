#include "app/connect_request.h"

#include "base/text.h"

namespace vorlink {
namespace {

bool Separator(char c) { return c == ',' || c == ' ' || c == '\t'; }

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && Separator(text[at])) ++at;
    std::size_t end = at;
    while (end < text.size() && !Separator(text[end])) ++end;
    if (end > at) words.push_back(text.substr(at, end - at));
    at = end;
  }
  return words;
}

}  // namespace

std::optional<ConnectRequest> ReadConnectRequest(std::string_view call, std::string_view path,
                                                 bool version22, std::string& problem) {
  ConnectRequest request;
  request.version22 = version22;
  const std::string_view target = Trimmed(call);
  const auto remote = ParseCallsign(target);
  if (!remote) {
    problem = target.empty() ? "Give the callsign to connect to"
                             : "\"" + std::string(target) + "\" is no callsign";
    return std::nullopt;
  }
  request.remote = *remote;
  const auto words = Words(path);
  if (words.size() > kMaxConnectDigipeaters) {
    problem = "At most 8 digipeaters";
    return std::nullopt;
  }
  for (std::string_view word : words) {
    const auto digipeater = ParseCallsign(word);
    if (!digipeater) {
      problem = "Digipeater \"" + std::string(word) + "\" is no callsign";
      return std::nullopt;
    }
    request.path.push_back(*digipeater);
  }
  problem.clear();
  return request;
}

std::optional<Ax25Address> OwnAddress(const OwnStation& station) {
  return ParseCallsign(Trimmed(station.callsign));
}

std::string SendBlocker(const OwnStation& station, bool transmitOn) {
  if (!OwnAddress(station)) {
    return "Nothing can be sent: no own callsign (Options > Station...)";
  }
  if (!transmitOn) return "Nothing can be sent: \"Transmit\" is off (Options > Station...)";
  return {};
}

}  // namespace vorlink
