// What each piece of the frame pane and the statistics pane is, and the
// colour that role is shown in. The core names the roles; a pane adapter
// turns them into its toolkit's colours.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorlink {

enum class PaneRole : std::uint8_t {
  Plain,        // black: the empty line before a block, the address line, figures
  Header,       // grey: the header line, the control and PID line
  DecodedDump,  // red: the payload dump while decoding
  RawDump,      // blue: the whole frame dumped as received
  Characters,   // green: the character line
  Separator,    // the desktop's colour for disabled text: the line under a block
  Title,        // blue: the statistics title
};

inline constexpr std::size_t kPaneRoleCount = 7;

struct Rgb {
  std::uint8_t red, green, blue;
};

// The fixed colours; Separator has none of its own and gives the grey that a
// pane without a desktop palette falls back to.
constexpr Rgb RgbOf(PaneRole role) {
  switch (role) {
    case PaneRole::Plain: return {0, 0, 0};
    case PaneRole::Header: return {128, 128, 128};
    case PaneRole::DecodedDump: return {255, 0, 0};
    case PaneRole::RawDump: return {0, 0, 255};
    case PaneRole::Characters: return {0, 128, 0};
    case PaneRole::Separator: return {109, 109, 109};
    case PaneRole::Title: return {0, 0, 255};
  }
  return {0, 0, 0};
}

}  // namespace vorlink
