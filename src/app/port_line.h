// A port line as the configuration file and the setup dialog hold it: the
// port number, a comma, then the serial settings ("01,19200,N,8,1": port 1,
// 19200 baud, no parity, 8 data bits, 1 stop bit). The setup dialog writes
// the number as two digits; a hand-written line may have one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorlink {

struct PortLineParts {
  std::int16_t port = 0;  // 0 when the line holds no number
  std::string settings;   // upper case

  friend bool operator==(const PortLineParts&, const PortLineParts&) = default;
};

// Read by commas when the line starts with a port number of one or two digits
// (blanks around it allowed): "1,9600,N,8,1" gives port 1 and "9600,N,8,1".
// Otherwise by position, as the file has always been read: the number at the
// start of the first two characters (blanks skipped, ends at the first
// character that cannot continue it, rounded to the nearest whole number, 0
// when there is none) and the rest from the fourth character on.
PortLineParts SplitPortLine(std::string_view line);

enum class PortLineField { kPortNumber, kBaudRate, kParity, kDataBits, kStopBits, kExtra };

// The first field of a port line that is not understood.
struct PortLineFault {
  PortLineField field = PortLineField::kPortNumber;
  std::string text;      // the field as written
  bool missing = false;  // the line ends before this field

  friend bool operator==(const PortLineFault&, const PortLineFault&) = default;
};

// Nothing for a line that is understood, and for an empty one (a port never
// configured).
std::optional<PortLineFault> FindPortLineFault(std::string_view line);

// "baud rate abc not understood", "stop bits missing".
std::string DescribePortLineFault(const PortLineFault& fault);

}  // namespace vorlink
