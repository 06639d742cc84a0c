// The retry timer of a lost link over a single-shot QTimer.
#pragma once

#include <QTimer>

#include <chrono>
#include <functional>
#include <utility>

#include "app/link_keeper.h"

namespace vorlink {

class QtRetryTimer final : public RetryTimer {
 public:
  explicit QtRetryTimer(std::function<void()> fired) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, std::move(fired));
  }
  void Start(std::chrono::milliseconds delay) override { timer_.start(delay); }
  void Stop() override { timer_.stop(); }
  bool IsActive() const { return timer_.isActive(); }

 private:
  QTimer timer_;
};

}  // namespace vorlink
