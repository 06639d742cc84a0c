// A station in an AX.25 address field, and its written form "CALL-SSID":
// 1 to 6 letters or digits, then optionally "-" and an SSID of 0 to 15
// ("N0CALL" is "N0CALL-0"). Lower case is taken as upper case, since
// operators type either and the air carries only upper case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlink {

inline constexpr std::size_t kMaxCallsignLength = 6;
inline constexpr int kMaxSsid = 15;

struct Ax25Address {
  std::string callsign;   // 1..6 upper-case letters or digits
  int ssid = 0;           // 0..15
  bool repeated = false;  // the H bit: digipeaters only

  // Same station: the H bit is not part of who it is.
  bool SameStation(const Ax25Address& other) const {
    return callsign == other.callsign && ssid == other.ssid;
  }
  friend bool operator==(const Ax25Address&, const Ax25Address&) = default;
};

// Nothing for an empty or too long callsign, a character other than a
// letter or digit, or an SSID that is missing after "-", not a number, or
// above 15.
std::optional<Ax25Address> ParseCallsign(std::string_view text);

// "N0CALL" for SSID 0, "N0CALL-7" otherwise; the H bit is not shown.
std::string CallsignText(const Ax25Address& address);

// True when the callsign and SSID could be sent as they are.
bool IsValidAddress(const Ax25Address& address);

}  // namespace vorlink
