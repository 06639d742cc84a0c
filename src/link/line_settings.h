// The line settings text of a serial port, "baud,parity,data,stop" as in
// "19200,N,8,1": baud a positive decimal number, parity N (none), E (even),
// O (odd), M (mark) or S (space), 5 to 8 data bits, 1, 1.5 or 2 stop bits.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

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

// The fields of the text in their order; kExtra is whatever follows the stop
// bits, from its comma on.
enum class LineSettingsField { kBaudRate, kParity, kDataBits, kStopBits, kExtra };

// The first field of a text that is not understood.
struct LineSettingsFault {
  LineSettingsField field = LineSettingsField::kBaudRate;
  std::string text;      // the field as written
  bool missing = false;  // the text ends before this field

  friend bool operator==(const LineSettingsFault&, const LineSettingsFault&) = default;
};

// The settings the text names, or the first field not understood. Letters
// may be of either case; no blanks are allowed. 1.5 stop bits exist only
// with 5 data bits, as on the UARTs that offer them.
std::variant<LineSettings, LineSettingsFault> ReadLineSettings(std::string_view text);

// The same, for whoever needs only the settings: nothing when malformed.
std::optional<LineSettings> ParseLineSettings(std::string_view text);

// The text as the port reads it back: upper case, otherwise as given.
std::string LineSettingsText(std::string_view text);

}  // namespace vorlink
