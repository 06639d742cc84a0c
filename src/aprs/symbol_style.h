// How the map draws an APRS symbol without a sprite set: a shape per symbol
// table (a disc for the primary table, a diamond for the alternate table and
// its overlays), a colour per symbol group, the overlay character on top,
// and a drawn icon for the commonest symbols. Groups are roles; the ui turns
// them into colours.
#pragma once

#include <cstdint>

namespace vorlink {

enum class SymbolIcon : std::uint8_t {
  None, Car, Truck, House, Digipeater, Weather, Gateway, Person, Bicycle, Boat, Aircraft, Balloon,
  Emergency,
};

enum class SymbolGroup : std::uint8_t {
  Other, Vehicle, Building, Network, Weather, Person, Water, Air, Emergency,
};

enum class SymbolShape : std::uint8_t { Disc, Diamond };

struct SymbolStyle {
  SymbolShape shape = SymbolShape::Disc;
  SymbolGroup group = SymbolGroup::Other;
  SymbolIcon icon = SymbolIcon::None;
  char overlay = 0;  // an overlay's digit or letter, 0 for none
};

// table '/' is the primary table, '\\' the alternate, a digit or capital
// letter the alternate with that overlay; anything else draws as Other.
SymbolStyle StyleOf(char table, char code);

}  // namespace vorlink
