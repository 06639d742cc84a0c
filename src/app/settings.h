// The four settings of the program, held as text for the whole process. They
// outlive a reload of the main window; the configuration file stores them as
// its four lines, in this order.
#pragma once

#include <string>
#include <string_view>

namespace vorlink {

// RFC 868 time over TCP port 37.
inline constexpr std::string_view kDefaultTimeServerHost = "time.nist.gov";

struct Settings {
  std::string IncomingPortLine;  // line 1: port line of the TNC side
  std::string TimeServerHost;    // line 2
  std::string OutgoingPortLine;  // line 3: port line of the mirror output
  std::string MirrorFlag;        // line 4: "true", "false", or empty when never set

  friend bool operator==(const Settings&, const Settings&) = default;
};

// An empty host falls back to the default; the next rewrite stores it.
inline void UseDefaultHostIfEmpty(Settings& settings) {
  if (settings.TimeServerHost.empty()) settings.TimeServerHost = kDefaultTimeServerHost;
}

}  // namespace vorlink
