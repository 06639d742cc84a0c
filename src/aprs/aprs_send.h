// The way out for what the APRS logic sends: an information field handed to
// whoever owns the link to the TNC (it adds the addresses and the path), and
// what became of it.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace vorlink {

enum class AprsSendResult : std::uint8_t {
  Queued,          // on its way
  TransmitOff,     // the operator has not allowed transmitting
  NoCallsign,      // no valid own callsign
  WaitingForTurn,  // the rate limit wants a pause first
  TncFull,         // the queue toward the TNC is full
};

using AprsSend = std::function<AprsSendResult(std::string_view info)>;

// Why a refused field was not sent, for a line's state and the window;
// empty for Queued.
std::string_view AprsSendRefusalText(AprsSendResult result);

}  // namespace vorlink
