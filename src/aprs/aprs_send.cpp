#include "aprs/aprs_send.h"

namespace vorlink {

std::string_view AprsSendRefusalText(AprsSendResult result) {
  switch (result) {
    case AprsSendResult::Queued: return {};
    case AprsSendResult::TransmitOff: return "not sent: Transmit is off (Options > Station...)";
    case AprsSendResult::NoCallsign: return "not sent: no callsign (Options > Station...)";
    case AprsSendResult::WaitingForTurn: return "waiting for its turn";
    case AprsSendResult::TncFull: return "waiting for the TNC";
  }
  return {};
}

}  // namespace vorlink
