// A port line as the configuration file and the setup dialog hold it: the
// port number as two digits, a comma, then the serial settings
// ("01,19200,N,8,1": port 1, 19200 baud, no parity, 8 data bits, 1 stop bit).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlink {

struct PortLineParts {
  std::int16_t port = 0;  // 0 when the line holds no number
  std::string settings;   // from the fourth character on, upper case

  friend bool operator==(const PortLineParts&, const PortLineParts&) = default;
};

// The number at the start of the first two characters (blanks skipped, ends at
// the first character that cannot continue it, rounded to the nearest whole
// number, 0 when there is none) and the upper-cased rest from the fourth
// character on. "1,9600,N,8,1" gives port 1 and "600,N,8,1".
PortLineParts SplitPortLine(std::string_view line);

}  // namespace vorlink
