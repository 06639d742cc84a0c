// The machine's real clock (POSIX). Setting the time needs the privilege to
// change CLOCK_REALTIME; without it SetSystemTime reports failure. The
// kernel's NTP state is only ever read, never changed.
#pragma once

#include <cstdint>
#include <ctime>

#include "base/build_date.h"
#include "base/clock.h"

namespace vorlink {

class SystemClock final : public Clock {
 public:
  explicit SystemClock(std::int64_t earliestPlausibleTime = BuildDay())
      : earliestPlausibleTime_(earliestPlausibleTime) {}

  DateTime LocalNow() override;
  int LocalOffsetMinutes() override;
  bool SetSystemTime(const SystemTimeFields& utc) override;
  LocalReading Read() override;
  std::chrono::steady_clock::time_point MonotonicNow() override;
  bool SynchronisedBySystem() override;
  std::int64_t EarliestPlausibleTime() override { return earliestPlausibleTime_; }

 private:
  // Local time for this second, the zone looked up afresh whenever the second
  // changes: frames arrive many times a second.
  const std::tm& LocalTimeNow(timespec& now);

  std::int64_t earliestPlausibleTime_;
  std::time_t cachedSecond_ = -1;
  std::tm cachedLocal_{};
};

}  // namespace vorlink
