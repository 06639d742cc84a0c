// T1 from the smoothed round-trip time.
//
//   SRTT <- (7 * SRTT + RTT) / 8          on each acknowledgement of frames
//                                          sent only once (Karn: a resent
//                                          frame's answer says nothing clear)
//   T1    = clamp(2 * SRTT * 2^retries, minimumT1, maximumT1)
//
// SRTT starts at half the initial T1, so an unmeasured link waits 3 s; each
// retry of the same frame doubles the wait, for a channel that got slower.
#pragma once

#include <chrono>

namespace vorlink {

class RoundTripTimer {
 public:
  RoundTripTimer(std::chrono::milliseconds initialT1, std::chrono::milliseconds minimumT1,
                 std::chrono::milliseconds maximumT1);

  void Measured(std::chrono::milliseconds roundTrip);
  std::chrono::milliseconds T1(int retries) const;
  std::chrono::milliseconds Smoothed() const { return smoothed_; }
  void Reset() { smoothed_ = initial_; }

 private:
  std::chrono::milliseconds initial_;
  std::chrono::milliseconds smoothed_;
  std::chrono::milliseconds minimum_;
  std::chrono::milliseconds maximum_;
};

}  // namespace vorlink
