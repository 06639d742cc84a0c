// Colours of the frame pane and the statistics pane. The core names them;
// a pane adapter turns them into its toolkit's colours.
#pragma once

#include <cstdint>

namespace vorlink {

enum class PaneColour : std::uint8_t {
  Black,           // the empty line before a block, the address line
  Grey,            // header line, control/PID line
  Red,             // payload dump while decoding
  Blue,            // raw dump; statistics title
  Green,           // character line
  SystemGreyText,  // separator: the desktop's colour for disabled text
};

struct Rgb {
  std::uint8_t red, green, blue;
};

// The fixed colours; SystemGreyText has none of its own and gives the grey
// that a pane without a desktop palette falls back to.
constexpr Rgb RgbOf(PaneColour colour) {
  switch (colour) {
    case PaneColour::Black: return {0, 0, 0};
    case PaneColour::Grey: return {128, 128, 128};
    case PaneColour::Red: return {255, 0, 0};
    case PaneColour::Blue: return {0, 0, 255};
    case PaneColour::Green: return {0, 128, 0};
    case PaneColour::SystemGreyText: return {109, 109, 109};
  }
  return {0, 0, 0};
}

}  // namespace vorlink
