// The clock as vorlink-decode reads it: once for each chunk of input, as a
// station reads it once for each data-received event. Every frame of a
// chunk then takes that reading instead of asking the system again.
#pragma once

#include "base/clock.h"

namespace vorlink {

class ChunkClock final : public Clock {
 public:
  explicit ChunkClock(Clock& clock) : clock_(clock) { Refresh(); }

  // Takes a new reading; call before each chunk.
  void Refresh() { reading_ = clock_.Read(); }

  DateTime LocalNow() override { return reading_.local; }
  int LocalOffsetMinutes() override { return reading_.offsetMinutes; }
  LocalReading Read() override { return reading_; }
  bool SetSystemTime(const SystemTimeFields& utc) override { return clock_.SetSystemTime(utc); }
  std::chrono::steady_clock::time_point MonotonicNow() override { return clock_.MonotonicNow(); }
  bool SynchronisedBySystem() override { return clock_.SynchronisedBySystem(); }
  std::int64_t EarliestPlausibleTime() override { return clock_.EarliestPlausibleTime(); }

 private:
  Clock& clock_;
  LocalReading reading_;
};

}  // namespace vorlink
