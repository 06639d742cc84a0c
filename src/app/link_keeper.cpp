#include "app/link_keeper.h"

#include <algorithm>

#include "base/utc.h"

namespace vorlink {
namespace {

// "hh:mm:ss" of a timestamp "yyyy-MM-dd HH:nn:ss.mmm".
constexpr std::size_t kTimeOfDayAt = 11;
constexpr std::size_t kTimeOfDayLength = 8;
// Doubling stops long before this; it only keeps the shift defined.
constexpr int kMostDoublings = 16;

std::string TimeOfDay(const DateTime& utc) {
  char stamp[kTimestampLength];
  FormatTimestamp(utc, stamp);
  return std::string(stamp + kTimeOfDayAt, kTimeOfDayLength);
}

}  // namespace

std::chrono::milliseconds RetryDelay(const RetryPolicy& policy, int attempt) {
  const int doublings = std::clamp(attempt, 0, kMostDoublings);
  return std::min(policy.first * (std::int64_t{1} << doublings), policy.longest);
}

std::string LinkLostText(std::string_view name, const DateTime& utc) {
  return std::string(name) + " lost at " + TimeOfDay(utc) + " UTC";
}

std::string LinkBackText(std::string_view name, const DateTime& utc, std::int64_t seconds) {
  return std::string(name) + " back at " + TimeOfDay(utc) + " UTC after " +
         std::to_string(seconds) + " s";
}

void LinkKeeper::Keep(std::string name, RetryPolicy policy) {
  name_ = std::move(name);
  policy_ = policy;
}

void LinkKeeper::OnLost() {
  if (lost_) return;
  lost_ = true;
  attempt_ = 0;
  lostSince_ = clock_.MonotonicNow();
  watcher_.OnLinkLost(*this, LinkLostText(name_, UtcNow(clock_)));
  timer_.Start(RetryDelay(policy_, attempt_));
}

void LinkKeeper::OnRetryTimer() {
  if (!lost_ || port_.Opening()) return;
  if (port_.PortOpen() || port_.SetPortOpen(true)) {
    Back();
  } else if (!port_.Opening()) {
    TryLater();
  }
}

void LinkKeeper::OnConnected() {
  if (lost_) Back();
}

void LinkKeeper::OnConnectFailed() {
  if (lost_) TryLater();
}

void LinkKeeper::TryLater() {
  ++attempt_;
  timer_.Start(RetryDelay(policy_, attempt_));
}

void LinkKeeper::Back() {
  lost_ = false;
  const auto away =
      std::chrono::duration_cast<std::chrono::seconds>(clock_.MonotonicNow() - lostSince_);
  watcher_.OnLinkBack(*this, LinkBackText(name_, UtcNow(clock_), away.count()));
}

void LinkKeeper::Stop() {
  lost_ = false;
  timer_.Stop();
}

}  // namespace vorlink
