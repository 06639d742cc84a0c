#include "base/token_bucket.h"

#include <algorithm>

namespace vorlink {

TokenBucket::TokenBucket(std::size_t capacity, Duration interval, TimePoint start)
    : capacity_(std::max<std::size_t>(capacity, 1)),
      interval_(std::max(interval, Duration{1})),
      tokens_(capacity_),
      filled_(start) {}

void TokenBucket::Refill(TimePoint now) {
  if (now <= filled_) return;
  if (tokens_ == capacity_) {
    // A full bucket saves nothing up: the next token is due an interval after it was last taken.
    filled_ = now;
    return;
  }
  const auto whole = static_cast<std::size_t>((now - filled_) / interval_);
  const std::size_t added = std::min(whole, capacity_ - tokens_);
  tokens_ += added;
  filled_ = tokens_ == capacity_ ? now : filled_ + interval_ * static_cast<Duration::rep>(added);
}

bool TokenBucket::TryTake(TimePoint now) {
  Refill(now);
  if (tokens_ == 0) return false;
  --tokens_;
  return true;
}

std::size_t TokenBucket::Available(TimePoint now) {
  Refill(now);
  return tokens_;
}

TokenBucket::Duration TokenBucket::UntilNext(TimePoint now) {
  Refill(now);
  if (tokens_ > 0) return Duration::zero();
  return filled_ + interval_ - std::max(now, filled_);
}

}  // namespace vorlink
