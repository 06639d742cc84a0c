// A token bucket: on average one token per interval, at most `capacity`
// saved up for a short burst. It is handed the time (a monotonic reading),
// so it keeps no clock and a test drives it with any times it likes. A
// reading earlier than the last one (no monotonic clock goes back, but a
// caller might mix two) adds nothing and takes nothing away.
#pragma once

#include <chrono>
#include <cstddef>

namespace vorlink {

class TokenBucket {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  using Duration = std::chrono::steady_clock::duration;

  // Starts full at `start`. A capacity of 0 is taken as 1 and an interval
  // below one tick as one tick: a bucket that never gives is no limit.
  TokenBucket(std::size_t capacity, Duration interval, TimePoint start);

  // Takes a token when one is there.
  bool TryTake(TimePoint now);
  std::size_t Available(TimePoint now);
  // How long until the next token; zero while one is there.
  Duration UntilNext(TimePoint now);

 private:
  void Refill(TimePoint now);

  std::size_t capacity_;
  Duration interval_;
  std::size_t tokens_;
  TimePoint filled_;  // the time the last whole token was added (or the start)
};

}  // namespace vorlink
