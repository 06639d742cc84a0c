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

std::string LinkFoundText(std::string_view name, const DateTime& utc) {
  return std::string(name) + " appeared at " + TimeOfDay(utc) + " UTC";
}

void LinkKeeper::StartTries(Away away) {
  away_ = away;
  attempt_ = 0;
  lostSince_ = clock_.MonotonicNow();
  timer_.Start(RetryDelay(policy_, attempt_));
}

void LinkKeeper::OnLost() {
  // A port missing from the start that goes again before it opened is no loss.
  if (IsAway()) return;
  StartTries(Away::kLost);
  watcher_.OnLinkLost(*this, LinkLostText(name_, UtcNow(clock_)));
}

void LinkKeeper::OnMissing() {
  if (!IsAway()) StartTries(Away::kMissing);
}

void LinkKeeper::OnRetryTimer() {
  if (!IsAway() || port_.Opening()) return;
  if (port_.PortOpen() || port_.SetPortOpen(true)) {
    Back();
  } else if (!port_.Opening()) {
    TryLater();
  }
}

void LinkKeeper::OnConnected() {
  if (IsAway()) Back();
}

void LinkKeeper::OnConnectFailed() {
  if (IsAway()) TryLater();
}

void LinkKeeper::TryLater() {
  ++attempt_;
  timer_.Start(RetryDelay(policy_, attempt_));
}

void LinkKeeper::Back() {
  const bool wasLost = IsLost();
  away_ = Away::kNo;
  const DateTime now = UtcNow(clock_);
  if (!wasLost) {
    watcher_.OnLinkBack(*this, LinkFoundText(name_, now));
    return;
  }
  const auto away =
      std::chrono::duration_cast<std::chrono::seconds>(clock_.MonotonicNow() - lostSince_);
  watcher_.OnLinkBack(*this, LinkBackText(name_, now, away.count()));
}

void LinkKeeper::Stop() {
  away_ = Away::kNo;
  timer_.Stop();
}

}  // namespace vorlink
