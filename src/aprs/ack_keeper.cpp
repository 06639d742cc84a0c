#include "aprs/ack_keeper.h"

#include "base/text.h"

namespace vorlink {
namespace {

constexpr std::chrono::seconds kAckRateWindow = 60s;

std::string HeardKey(std::string_view from, std::string_view number, std::string_view text) {
  std::string key = UpperCase(from);
  key += '\n';
  key += number;
  key += '\n';
  key += text;
  return key;
}

}  // namespace

bool AckKeeper::Heard(std::string_view from, std::string_view number, std::string_view text,
                      std::string ackLine, SteadyTime now) {
  const std::string key = HeardKey(from, number, text);
  auto found = heard_.find(key);
  const bool first = found == heard_.end();
  if (first) {
    Forget();
    found = heard_.emplace(key, HeardCopy{}).first;
    order_.push_back(key);
  }
  HeardCopy& seen = found->second;
  const bool ackDue = !seen.lastAck || now - *seen.lastAck >= kMinAckGap;
  if (!number.empty() && !seen.waiting && ackDue) {
    seen.waiting = true;
    Queue(key, std::move(ackLine));
  }
  return first;
}

void AckKeeper::Forget() {
  while (order_.size() >= kMaxRememberedMessages) {
    heard_.erase(order_.front());
    order_.pop_front();
  }
}

void AckKeeper::Queue(const std::string& key, std::string line) {
  if (waiting_.size() >= kMaxAcksWaiting) {
    auto dropped = heard_.find(waiting_.front().key);
    if (dropped != heard_.end()) dropped->second.waiting = false;
    waiting_.pop_front();
  }
  waiting_.push_back({key, std::move(line)});
}

bool AckKeeper::RateAllows(SteadyTime now) {
  while (!recentAcks_.empty() && now - recentAcks_.front() >= kAckRateWindow) {
    recentAcks_.pop_front();
  }
  return recentAcks_.size() < kMaxAcksPerMinute;
}

void AckKeeper::SendWaiting(SteadyTime now, const AprsSend& send) {
  while (!waiting_.empty() && RateAllows(now)) {
    if (!send || send(waiting_.front().line) != AprsSendResult::Queued) return;
    recentAcks_.push_back(now);
    auto acked = heard_.find(waiting_.front().key);
    if (acked != heard_.end()) acked->second = {now, false};
    waiting_.pop_front();
  }
}

std::optional<SteadyTime> AckKeeper::NextDue(SteadyTime now) const {
  if (waiting_.empty()) return std::nullopt;
  if (recentAcks_.size() < kMaxAcksPerMinute) return now + kRefusedRetry;
  return recentAcks_.front() + kAckRateWindow;
}

}  // namespace vorlink
