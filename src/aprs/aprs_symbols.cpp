// The symbol tables: a short description of each symbol, for the heard
// list and the detail pane. Rows in code order from "!" to "~": the primary
// table's symbol, then the alternate table's (also shown with an overlay).
#include "aprs/aprs_symbols.h"

#include <array>

namespace vorlink {
namespace {

constexpr char kFirstCode = '!';
constexpr char kLastCode = '~';

struct SymbolNameRow {
  std::string_view primary;
  std::string_view alternate;
};

constexpr std::array<SymbolNameRow, kLastCode - kFirstCode + 1> kSymbols{{
    {"Police, Sheriff", "Emergency"},  // !
    {"", ""},  // "
    {"Digi (green star with white center)", "Digi (green star)"},  // #
    {"Phone", "Bank or ATM (green box)"},  // $
    {"DX Cluster", "Power Plant"},  // %
    {"HF Gateway", "I=IGate R=RX T=1hopTX 2=2hopTX"},  // &
    {"Small Aircraft", "Crash (& incident sites)"},  // '
    {"Mobile Satellite Ground Station", "Cloudy"},  // (
    {"Wheelchair (handicapped)", "Firenet MEO, MODIS Earth Obs."},  // )
    {"Snowmobile", "Snow"},  // *
    {"Red Cross", "Church"},  // +
    {"Boy Scouts", "Girl Scouts"},  // ,
    {"House QTH (VHF)", "House (H=HF) (O = Op Present)"},  // -
    {"X", "Ambiguous (Big Question Mark)"},  // .
    {"Red Dot", "Waypoint Destination (Note 1)"},  // /
    {"0 Circle", "Circle (E/I/W= IRLP/EchoLink/WIRES)"},  // 0
    {"1 Circle", ""},  // 1
    {"2 Circle", ""},  // 2
    {"3 Circle", ""},  // 3
    {"4 Circle", ""},  // 4
    {"5 Circle", ""},  // 5
    {"6 Circle", ""},  // 6
    {"7 Circle", ""},  // 7
    {"8 Circle", "802.11 or other network node"},  // 8
    {"9 Circle", "Gas Station (blue pump)"},  // 9
    {"Fire", "Hail"},  // :
    {"Campground (Portable ops)", "Park/Picnic Area"},  // ;
    {"Motorcycle", "Advisory (one WX flag)"},  // <
    {"Railroad Engine", "APRStt Touchtone (DTMF Users)"},  // =
    {"Car", "Cars & Vehicles"},  // >
    {"File Server", "Information Kiosk (blue box with ?)"},  // ?
    {"Hurricane Future Prediction", "Hurricane/Tropical Storm"},  // @
    {"Aid Station", "Box: DTMF, RFID, XO"},  // A
    {"BBS or PBBS", "Blowing Snow"},  // B
    {"Canoe", "Coast Guard"},  // C
    {"", "Drizzle"},  // D
    {"Eyeball (events, etc.)", "Smoke (& other vis codes)"},  // E
    {"Farm Vehicle (Tractor)", "Freezing Rain"},  // F
    {"Grid Square (6-character)", "Snow Shower"},  // G
    {"Hotel (blue bed icon)", "Haze"},  // H
    {"TCP/IP on air network station", "Rain Shower"},  // I
    {"", "Lightning"},  // J
    {"School", "Kenwood HT (w)"},  // K
    {"PC user", "Lighthouse"},  // L
    {"MacAPRS", "MARS (A=Army, N=Navy, F=AF)"},  // M
    {"NTS Station", "Navigation Buoy"},  // N
    {"Balloon", "Rocket"},  // O
    {"Police", "Parking"},  // P
    {"TBD", "Earthquake"},  // Q
    {"Recreational Vehicle", "Restaurant"},  // R
    {"Space Shuttle", "Satellite"},  // S
    {"SSTV", "Thunderstorm"},  // T
    {"Bus", "Sunny"},  // U
    {"Amateur TV", "VORTAC Nav Aid"},  // V
    {"National Weather Service Site", "NWS Site"},  // W
    {"Helicopter", "Pharmacy Rx"},  // X
    {"Yacht (sail boat)", "Radios and devices"},  // Y
    {"WinAPRS", ""},  // Z
    {"Jogger, Human/person", "Wall Cloud"},  // [
    {"Triangle (DF)", ""},  // backslash
    {"Mail/Post Office", ""},  // ]
    {"Large Aircraft", "Aircraft (Shows Heading)"},  // ^
    {"Weather Station (blue)", "WX Station with Digi (green)"},  // _
    {"Dish Antenna", "Rain"},  // `
    {"Ambulance", "ARRL, ARES, WinLINK, Dstar, LoRa, etc"},  // a
    {"Bicycle", "Blowing Dust/Sand"},  // b
    {"Incident Command Post", "CD triangle RACES/SATERN/etc"},  // c
    {"Fire Department", "DX Spot (from callsign prefix)"},  // d
    {"Horse (equestrian)", "Sleet"},  // e
    {"Fire Truck", "Funnel Cloud"},  // f
    {"Glider", "Gale Flags"},  // g
    {"Hospital", "Store or Hamfest"},  // h
    {"IOTA (Islands on the Air)", "BOX or points of Interest"},  // i
    {"Jeep", "Work Zone (steam shovel)"},  // j
    {"Truck", "Special Vehicle SUV, ATV, 4x4"},  // k
    {"Laptop", "Area Symbols (box, circle, etc)"},  // l
    {"Mic-E Repeater", "Value Sign (3 digit display)"},  // m
    {"Node (black bulls-eye)", "Triangle"},  // n
    {"Emergency Operations Center", "Small Circle"},  // o
    {"Rover (puppy dog)", "Partly Cloudy"},  // p
    {"Grid Square shown above 128m", ""},  // q
    {"Repeater", "Restrooms"},  // r
    {"Ship (power boat)", "Ship/Boat (top view)"},  // s
    {"Truck Stop", "Tornado"},  // t
    {"Truck (18-wheeler)", "Truck"},  // u
    {"Van", "Van"},  // v
    {"Water Station", "Flooding (Avalanches/Slides)"},  // w
    {"X-APRS (Unix)", "Wreck or Obstruction"},  // x
    {"Yagi at QTH", "Skywarn"},  // y
    {"TBD", "Overlayed Shelter"},  // z
    {"", "Fog"},  // {
    {"", ""},  // |
    {"", ""},  // }
    {"", ""},  // ~
}};

}  // namespace

std::string_view AprsSymbolDescription(AprsSymbol symbol) {
  if (symbol.code < kFirstCode || symbol.code > kLastCode) return kUnknownSymbol;
  const SymbolNameRow& row = kSymbols[static_cast<std::size_t>(symbol.code - kFirstCode)];
  const bool primary = symbol.table == '/';
  const bool alternate = symbol.table == '\\' || (symbol.table >= 'A' && symbol.table <= 'Z') ||
                         (symbol.table >= '0' && symbol.table <= '9');
  const std::string_view text = primary ? row.primary : alternate ? row.alternate : "";
  return text.empty() ? kUnknownSymbol : text;
}

}  // namespace vorlink
