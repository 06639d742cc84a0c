// The messages heard to the own callsign, remembered to ack them and to show
// each once: a copy heard again is not shown again and is acked again only
// when kMinAckGap has passed since its last ack. Acks the sender refused
// wait in a short queue; at most kMaxAcksPerMinute leave in any minute, so a
// flood of messages cannot become a flood of acks.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "aprs/aprs_send.h"
#include "aprs/retry_schedule.h"

namespace vorlink {

// Digipeaters drop what they repeated within 30 s: an ack sooner is lost.
inline constexpr std::chrono::seconds kMinAckGap = 30s;
// Lines remembered for the duplicate check; the oldest is forgotten first
// (a sender gives up after about half an hour anyway).
inline constexpr std::size_t kMaxRememberedMessages = 500;
// Acks the sender has not taken yet; past this the oldest is dropped (its
// sender asks again).
inline constexpr std::size_t kMaxAcksWaiting = 16;
inline constexpr std::size_t kMaxAcksPerMinute = 10;

class AckKeeper {
 public:
  // A message from `from` heard now. number is its number without a
  // reply-ack (empty: unnumbered, never acked); ackLine is the ack to send.
  // True for the first copy: the one to show.
  bool Heard(std::string_view from, std::string_view number, std::string_view text,
             std::string ackLine, SteadyTime now);
  // Hands the waiting acks to send as far as the rate allows and send takes.
  void SendWaiting(SteadyTime now, const AprsSend& send);
  // When SendWaiting has something to do again; nothing when no ack waits.
  std::optional<SteadyTime> NextDue(SteadyTime now) const;

  std::size_t Waiting() const { return waiting_.size(); }
  std::size_t Remembered() const { return order_.size(); }

 private:
  struct HeardCopy {
    std::optional<SteadyTime> lastAck;
    bool waiting = false;
  };
  struct WaitingAck {
    std::string key;
    std::string line;
  };

  void Forget();
  void Queue(const std::string& key, std::string line);
  bool RateAllows(SteadyTime now);

  std::unordered_map<std::string, HeardCopy> heard_;
  std::deque<std::string> order_;  // keys of heard_, oldest first
  std::deque<WaitingAck> waiting_;
  std::deque<SteadyTime> recentAcks_;  // at most kMaxAcksPerMinute
};

}  // namespace vorlink
