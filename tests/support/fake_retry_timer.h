// A retry timer that only records: the test fires it by calling the owner.
#pragma once

#include <chrono>
#include <vector>

#include "app/link_keeper.h"

namespace vorlink::testing {

class FakeRetryTimer final : public RetryTimer {
 public:
  std::vector<std::chrono::milliseconds> starts;
  bool running = false;
  void Start(std::chrono::milliseconds delay) override {
    starts.push_back(delay);
    running = true;
  }
  void Stop() override { running = false; }
};

}  // namespace vorlink::testing
