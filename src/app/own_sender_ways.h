// The one sender seen by those who send through it: the data links as a
// frame sink, the APRS message logic as an information-field sender.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "app/own_sender.h"
#include "aprs/aprs_send.h"
#include "ax25link/link_output.h"

namespace vorlink {

// The sender lives as long as the station's session: asked for each frame,
// and none (the frame dropped) once the session has gone.
class OwnSenderLinkSink final : public FrameSink {
 public:
  explicit OwnSenderLinkSink(std::function<OwnSender*()> sender) : sender_(std::move(sender)) {}
  void SendFrame(std::span<const std::uint8_t> frame, bool /*linkFrame*/) override {
    if (OwnSender* sender = sender_()) sender->SendLinkFrame(frame);
  }

 private:
  std::function<OwnSender*()> sender_;
};

// A frame that waits in the sender (its turn, a TNC not taking data) is on
// its way: sending it again would put a second copy behind it.
constexpr AprsSendResult AprsResultOf(SendOutcome outcome) {
  switch (outcome) {
    case SendOutcome::Sent:
    case SendOutcome::WaitingForTurn:
    case SendOutcome::WaitingForTnc:
      return AprsSendResult::Queued;
    case SendOutcome::TransmitOff:
      return AprsSendResult::TransmitOff;
    case SendOutcome::NoCallsign:
    case SendOutcome::BadPath:
      return AprsSendResult::NoCallsign;
    case SendOutcome::WaitFull:
    case SendOutcome::TooLong:
      break;
  }
  return AprsSendResult::TncFull;
}

}  // namespace vorlink
