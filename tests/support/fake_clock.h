// A clock that reads what the test set, and records every attempt to set it.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "base/clock.h"

namespace vorlink::testing {

class FakeClock final : public Clock {
 public:
  DateTime local{2026, 12, 6, 9, 58, 20, 345};
  int offsetMinutes = 0;
  bool setSucceeds = true;
  std::vector<SystemTimeFields> setCalls;
  // Moves only when the test advances it.
  std::chrono::steady_clock::time_point monotonic{};
  bool synchronisedBySystem = false;
  // 2000-01-01 00:00:00 UTC, so the times tests use are believed.
  std::int64_t earliestPlausibleTime = 946684800;

  DateTime LocalNow() override { return local; }
  int LocalOffsetMinutes() override { return offsetMinutes; }
  bool SetSystemTime(const SystemTimeFields& utc) override {
    setCalls.push_back(utc);
    return setSucceeds;
  }
  std::chrono::steady_clock::time_point MonotonicNow() override { return monotonic; }
  bool SynchronisedBySystem() override { return synchronisedBySystem; }
  std::int64_t EarliestPlausibleTime() override { return earliestPlausibleTime; }
};

}  // namespace vorlink::testing
