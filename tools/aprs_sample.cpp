#include "aprs_sample.h"

#include <algorithm>
#include <cstdio>

namespace vorlink::sample {
namespace {

std::string Format(const char* format, auto... values) {
  char text[256];
  const int n = std::snprintf(text, sizeof text, format, values...);
  return std::string(text, static_cast<std::size_t>(std::max(n, 0)));
}

std::string Latitude(SampleRandom& r) {
  return Format("%02u%02u.%02u%c", r.Below(90), r.Below(60), r.Below(100), r.Chance(50) ? 'N' : 'S');
}
std::string Longitude(SampleRandom& r) {
  return Format("%03u%02u.%02u%c", r.Below(180), r.Below(60), r.Below(100), r.Chance(50) ? 'E' : 'W');
}
std::string Position(SampleRandom& r, char code) {
  return Latitude(r) + '/' + Longitude(r) + code;
}
std::string Compressed(SampleRandom& r) {
  std::string s = "/";
  for (int i = 0; i < 8; ++i) s += static_cast<char>('!' + r.Below(91));
  s += '>';
  s += static_cast<char>('!' + r.Below(90));
  s += static_cast<char>('!' + r.Below(91));
  s += static_cast<char>('!' + r.Below(64));
  return s;
}
std::string Weather(SampleRandom& r) {
  return Format("g%03ut%03ur%03up%03uP%03uh%02ub%05u", r.Below(100), r.Below(110), r.Below(100),
                r.Below(300), r.Below(300), r.Below(100), 9800 + r.Below(600));
}
std::string MicEDestination(SampleRandom& r) {
  std::string d;
  for (int i = 0; i < 6; ++i) {
    const unsigned digit = r.Below(i == 0 ? 9 : i == 2 ? 6 : 10);  // under 90 degrees, 60 minutes
    d += static_cast<char>(r.Chance(50) ? 'P' + digit : '0' + digit);
  }
  return d;
}
std::string MicEInfo(SampleRandom& r, std::string_view comment) {
  std::string s = "`";
  s += static_cast<char>(28 + 10 + r.Below(70));
  s += static_cast<char>(28 + r.Below(60));
  s += static_cast<char>(28 + r.Below(100));
  s += static_cast<char>(28 + r.Below(20));
  s += static_cast<char>(28 + r.Below(60));
  s += static_cast<char>(28 + r.Below(100));
  s += ">/";
  s += comment;
  return s;
}

}  // namespace

AprsSample MakeAprsSample(int kind, SampleRandom& r) {
  const std::string a = "APRS";
  switch (kind % kAprsSampleKinds) {
    case 0: return {a, '!' + Position(r, '-') + "home station"};
    case 1: return {a, '=' + Position(r, '>') + Format("%03u/%03u/A=%06u mobile", 1 + r.Below(360), r.Below(120), r.Below(20000))};
    case 2: return {a, Format("@%02u%02u%02uz", 1 + r.Below(28), r.Below(24), r.Below(60)) + Position(r, '#') + "PHG5132 digi"};
    case 3: return {a, '!' + Compressed(r) + "compressed"};
    case 4: return {a, '!' + Latitude(r).substr(0, 5) + "  " + Latitude(r).substr(7) + '/' + Longitude(r) + "-fuzzy"};
    case 5: return {a, '!' + Position(r, '-') + "precise !W47!"};
    case 6: return {MicEDestination(r), MicEInfo(r, ">\"4T}on the road=")};
    case 7: return {MicEDestination(r), MicEInfo(r, "`tracker_3")};
    case 8: return {a, Format(";OBJ%05u *%02u%02u%02uz", r.Below(100000), 1 + r.Below(28), r.Below(24), r.Below(60)) + Position(r, '>') + "088/036"};
    case 9: return {a, ")AID #" + std::to_string(r.Below(100)) + '!' + Position(r, 'A') + "first aid"};
    case 10: return {a, '!' + Position(r, '_') + Format("%03u/%03u", r.Below(360), r.Below(50)) + Weather(r)};
    case 11: return {a, Format("_%02u%02u%02u%02uc...s...", 1 + r.Below(12), 1 + r.Below(28), r.Below(24), r.Below(60)) + Weather(r)};
    case 12: return {a, Format(":N0CALL-%-2u:hello there{%u", r.Below(16), r.Below(1000))};
    case 13: return {a, Format(":N0CALL-%-2u:ack%u", r.Below(16), r.Below(1000))};
    case 14: return {a, Format(":N0CALL   :reply{%02u}%02u", r.Below(100), r.Below(100))};
    case 15: return {a, Format(":BLN%u     :net tonight at 2000", r.Below(10))};
    case 16: return {a, Format("T#%03u,%u,%u,%u,%u,%u,01101001", r.Below(1000), r.Below(256), r.Below(256), r.Below(256), r.Below(256), r.Below(256))};
    case 17: return {a, ":N0CALL   :PARM.Battery,Btemp,ATemp,Pres,Alt,Camra,Chute,Sun,10m,ATV"};
    case 18: return {a, ">IO91SX/G on the air"};
    case 19: return {a, "}WB4APR-14>APRS,TCPIP,G9RXG*::G3NRW    :Hi Ian{001"};
    case 20: return {a, "$GPRMC,063909,A,3349.4302,N,11700.3721,W,43.022,89.3,291099,13.1,E*52"};
    case 21: return {a, "?APRS?"};
    case 22: return {a, "<IGATE,MSG_CNT=30,LOC_CNT=0"};
    default: return {a, "[IO91SX] 35 miles NNW of London"};
  }
}

std::vector<AprsSample> AprsSamples(std::size_t count, std::uint64_t seed) {
  SampleRandom random(seed);
  std::vector<AprsSample> samples;
  samples.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    samples.push_back(MakeAprsSample(static_cast<int>(i % kAprsSampleKinds), random));
  }
  return samples;
}

}  // namespace vorlink::sample
