// A clock that reads what the test set, and records every attempt to set it.
#pragma once

#include <vector>

#include "time/clock.h"

namespace vorlink::testing {

class FakeClock final : public Clock {
 public:
  DateTime local{2026, 12, 6, 9, 58, 20, 345};
  int offsetMinutes = 0;
  bool setSucceeds = true;
  std::vector<SystemTimeFields> setCalls;

  DateTime LocalNow() override { return local; }
  int LocalOffsetMinutes() override { return offsetMinutes; }
  bool SetSystemTime(const SystemTimeFields& utc) override {
    setCalls.push_back(utc);
    return setSucceeds;
  }
};

}  // namespace vorlink::testing
