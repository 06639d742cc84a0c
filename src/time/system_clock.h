// The machine's real clock (POSIX). Setting the time needs the privilege to
// change CLOCK_REALTIME; without it SetSystemTime reports failure.
#pragma once

#include <ctime>

#include "time/clock.h"

namespace vorlink {

class SystemClock final : public Clock {
 public:
  DateTime LocalNow() override;
  int LocalOffsetMinutes() override;
  bool SetSystemTime(const SystemTimeFields& utc) override;
  LocalReading Read() override;

 private:
  // Broken-down local time of the last whole second read; the zone lookup is
  // costly and frames arrive many times a second.
  void Refresh(std::time_t second);
  std::time_t cachedSecond_ = -1;
  std::tm cachedLocal_{};
};

}  // namespace vorlink
