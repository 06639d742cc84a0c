// Everything VORLINK itself transmits goes through here: APRS frames of its
// own (messages, acks, beacons, objects) and the frames of a connected-mode
// link. Each is sent only while the operator has Transmit on and a usable
// callsign, over the one bounded queue to the TNC that the KISS server's
// clients use too (serial port or KISS over TCP alike).
//
// Own APRS frames go at most one every 2 s on average (a burst of 3 aside),
// whatever the windows ask: a frame that finds the bucket empty waits here
// for its turn. A link frame is not held back by the bucket (the link keeps
// its own timers) but shares the wait. The wait holds at most 32 frames; one
// more is refused. A frame the TNC's queue has no room for waits too, and
// Poll (from a timer, once a second or so) sends what may go.
//
// A frame that went out is kept in the frame store marked as sent and gets a
// line in the message log; it never reaches the receive pipeline, so the
// pane, its counters and the capture files stay received-only.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/message_log.h"
#include "app/tnc_queue.h"
#include "aprs/own_station.h"
#include "base/clock.h"
#include "base/status_line.h"
#include "base/token_bucket.h"
#include "decode/ax25_address.h"
#include "decode/display_options.h"
#include "store/frame_store.h"

namespace vorlink {

inline constexpr std::size_t kOwnFramesWaitingMost = 32;
inline constexpr std::size_t kOwnFrameBurst = 3;
inline constexpr std::chrono::seconds kOwnFrameInterval{2};
// The AX.25 default for the information field (N1).
inline constexpr std::size_t kMaxInfoBytes = 256;
// An encoded link frame: the address field of 10 addresses, two control
// bytes, the PID and the information field.
inline constexpr std::size_t kMaxLinkFrameBytes = 10 * 7 + 3 + kMaxInfoBytes;

enum class SendOutcome {
  Sent,            // written to the TNC's queue
  WaitingForTurn,  // the 2 s bucket is empty: it goes when a token comes
  WaitingForTnc,   // the TNC's queue is full: it goes when the TNC takes data
  TransmitOff,
  NoCallsign,
  BadPath,
  WaitFull,        // 32 frames wait already: this one is dropped
  TooLong,
};

// The operator's reason, for the line that asked ("waiting for the TNC").
std::string_view SendOutcomeText(SendOutcome outcome);
// Whether the frame is on its way (sent or waiting) rather than refused.
bool Accepted(SendOutcome outcome);

// Each frame handed in gets one, rising; for asking after it later.
using SendTicket = std::uint64_t;

struct OwnSenderContext {
  TncQueue& tnc;
  Clock& clock;
  FrameStore& store;  // sent frames go in, marked
  MessageLog& log;    // one line per frame sent
  StatusLine& status; // a TNC that stopped taking frames, once per stall
  const DisplayOptions& options;  // the sent frame's block, as the browser draws it
};

class OwnSender {
 public:
  explicit OwnSender(const OwnSenderContext& context);

  // The operator's station: callsign, Transmit, path. Frames waiting are
  // dropped when it may no longer send.
  void SetStation(const OwnStation& station);
  // Why nothing would be sent now; none while sending may go on.
  std::optional<SendOutcome> Refusal() const;
  const std::optional<Ax25Address>& Callsign() const { return callsign_; }

  // A UI frame from the own callsign to APZVOR via the path, PID F0.
  SendOutcome SendAprs(std::string_view info);
  // A frame of a connected-mode link, encoded (addresses to the end of the
  // information field, see ax25_encoder.h); not through the bucket.
  SendOutcome SendLinkFrame(std::span<const std::uint8_t> encodedAx25);

  // Sends what may go now: link frames first, then own frames as tokens allow.
  void Poll();

  // The ticket of the last frame handed in (accepted or not).
  SendTicket LastTicket() const { return nextTicket_ - 1; }
  // WaitingForTurn or WaitingForTnc while the frame waits; none once it went
  // (or was dropped).
  std::optional<SendOutcome> StateOf(SendTicket ticket) const;
  std::size_t Waiting() const { return waiting_.size(); }
  std::uint64_t FramesSent() const { return framesSent_; }

 private:
  struct Pending {
    SendTicket ticket;
    bool throughBucket;
    std::vector<std::uint8_t> kiss;  // escaped, both FENDs
  };

  SendOutcome Take(std::vector<std::uint8_t> encoded, bool throughBucket);
  // The frame went out or the TNC would not take it; false: it waits on.
  bool TryNow(const Pending& frame);
  void DropWaiting(std::string_view why);

  OwnSenderContext c_;
  TokenBucket bucket_;
  std::optional<Ax25Address> callsign_;
  std::optional<std::vector<Ax25Address>> path_;
  bool transmit_ = false;
  std::deque<Pending> waiting_;
  SendTicket nextTicket_ = 1;
  std::uint64_t framesSent_ = 0;
  bool tncFull_ = false;        // the last try found no room
  bool tncProblemShown_ = false;  // until a frame goes again
};

}  // namespace vorlink
