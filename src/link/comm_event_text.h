// The status texts for serial port events other than received data, and
// for a port that fails the program.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlink {

// The text for a CommEvent code, or nothing for codes that change nothing
// (code 2, received data, included).
std::optional<std::string_view> CommEventText(int code);

// Why the mirror copy of a chunk went nowhere.
inline constexpr std::string_view kMirrorNotTaking = "mirror copy dropped, port not taking data";

// "COM 1: No such file or directory": the port and what went wrong with it.
std::string PortProblemText(int port, std::string_view problem);

}  // namespace vorlink
