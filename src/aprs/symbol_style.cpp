#include "aprs/symbol_style.h"

#include <span>

namespace vorlink {
namespace {

using enum SymbolIcon;

struct SymbolStyleRow {
  char code;
  SymbolGroup group;
  SymbolIcon icon;
};

constexpr SymbolStyleRow kPrimary[] = {
    {'!', SymbolGroup::Emergency, Emergency},  // police, sheriff
    {'#', SymbolGroup::Network, Digipeater},
    {'&', SymbolGroup::Network, Gateway},      // HF gateway
    {'\'', SymbolGroup::Air, Aircraft},        // small aircraft
    {'-', SymbolGroup::Building, House},
    {'<', SymbolGroup::Vehicle, None},         // motorcycle
    {'>', SymbolGroup::Vehicle, Car},
    {'C', SymbolGroup::Water, Boat},           // canoe
    {'F', SymbolGroup::Vehicle, Truck},        // farm vehicle
    {'H', SymbolGroup::Building, House},        // hotel
    {'I', SymbolGroup::Network, None},         // TCP/IP network station
    {'K', SymbolGroup::Building, House},        // school
    {'O', SymbolGroup::Air, Balloon},
    {'P', SymbolGroup::Emergency, Emergency},  // police
    {'R', SymbolGroup::Vehicle, Car},          // recreational vehicle
    {'U', SymbolGroup::Vehicle, Truck},        // bus
    {'W', SymbolGroup::Weather, Weather},      // national weather service
    {'X', SymbolGroup::Air, Aircraft},         // helicopter
    {'Y', SymbolGroup::Water, Boat},           // yacht
    {'[', SymbolGroup::Person, Person},
    {'^', SymbolGroup::Air, Aircraft},         // large aircraft
    {'_', SymbolGroup::Weather, Weather},
    {'a', SymbolGroup::Emergency, Emergency},  // ambulance
    {'b', SymbolGroup::Person, Bicycle},
    {'d', SymbolGroup::Emergency, Emergency},  // fire department
    {'e', SymbolGroup::Person, None},          // horse
    {'f', SymbolGroup::Emergency, Emergency},  // fire truck
    {'g', SymbolGroup::Air, Aircraft},         // glider
    {'j', SymbolGroup::Vehicle, Car},          // jeep
    {'k', SymbolGroup::Vehicle, Truck},
    {'m', SymbolGroup::Network, Digipeater},   // Mic-E repeater
    {'r', SymbolGroup::Network, Digipeater},   // repeater
    {'s', SymbolGroup::Water, Boat},           // power boat
    {'u', SymbolGroup::Vehicle, Truck},        // 18-wheeler
    {'v', SymbolGroup::Vehicle, Car},          // van
    {'y', SymbolGroup::Building, House},        // house with a yagi
};

constexpr SymbolStyleRow kAlternate[] = {
    {'!', SymbolGroup::Emergency, Emergency},
    {'#', SymbolGroup::Network, Digipeater},
    {'&', SymbolGroup::Network, Gateway},      // I-gate
    {'-', SymbolGroup::Building, House},
    {'>', SymbolGroup::Vehicle, Car},
    {'C', SymbolGroup::Water, Boat},           // coast guard
    {'O', SymbolGroup::Air, Balloon},          // rocket
    {'W', SymbolGroup::Weather, Weather},      // weather service site
    {'^', SymbolGroup::Air, Aircraft},
    {'_', SymbolGroup::Weather, Weather},      // weather station with digipeater
    {'k', SymbolGroup::Vehicle, Car},          // SUV, ATV
    {'s', SymbolGroup::Water, Boat},
    {'u', SymbolGroup::Vehicle, Truck},
    {'v', SymbolGroup::Vehicle, Car},
};

bool IsOverlay(char table) { return (table >= '0' && table <= '9') || (table >= 'A' && table <= 'Z'); }

SymbolStyle Lookup(std::span<const SymbolStyleRow> rows, SymbolShape shape, char code) {
  for (const SymbolStyleRow& row : rows) {
    if (row.code == code) return {shape, row.group, row.icon, 0};
  }
  return {shape, SymbolGroup::Other, None, 0};
}

}  // namespace

SymbolStyle StyleOf(char table, char code) {
  if (table == '/') return Lookup(kPrimary, SymbolShape::Disc, code);
  if (table == '\\') return Lookup(kAlternate, SymbolShape::Diamond, code);
  if (!IsOverlay(table)) return {SymbolShape::Disc, SymbolGroup::Other, None, 0};
  SymbolStyle style = Lookup(kAlternate, SymbolShape::Diamond, code);
  style.overlay = table;
  return style;
}

}  // namespace vorlink
