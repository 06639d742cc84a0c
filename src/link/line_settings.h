// The line settings text of a serial port, "baud,parity,data,stop" as in
// "19200,N,8,1": baud a positive decimal number, parity N (none), E (even),
// O (odd), M (mark) or S (space), 5 to 8 data bits, 1, 1.5 or 2 stop bits.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlink {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

struct LineSettings {
  int baud = 9600;
  Parity parity = Parity::None;
  int dataBits = 8;
  StopBits stopBits = StopBits::One;

  friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

// Above every rate a serial driver here offers; keeps the number in an int.
inline constexpr int kMaxBaud = 4'000'000;

// The settings the text names, or nothing when it is malformed. Letters may
// be of either case; no blanks are allowed. 1.5 stop bits exist only with
// 5 data bits, as on the UARTs that offer them.
std::optional<LineSettings> ParseLineSettings(std::string_view text);

// The text as the port reads it back: upper case, otherwise as given.
std::string LineSettingsText(std::string_view text);

}  // namespace vorlink
