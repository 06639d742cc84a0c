// When a line goes out again. A message is sent at once and then after the
// gaps 15 s, 30 s, 1, 2, 4, 8 and 16 minutes (8 sends in 31 min 45 s) and
// given up kFinalWait after its last; a bulletin is repeated at a decaying
// rate, then every kBulletinLongestGap, for as long as the operator chose.
#pragma once

#include <array>
#include <chrono>

namespace vorlink {

using SteadyTime = std::chrono::steady_clock::time_point;
using std::chrono_literals::operator""s;
using std::chrono_literals::operator""min;

inline constexpr std::array<std::chrono::seconds, 7> kRetryGaps{15s,  30s,  60s, 120s,
                                                                240s, 480s, 960s};
inline constexpr int kMaxSends = static_cast<int>(kRetryGaps.size()) + 1;
// Never two sends of one line closer than this, whatever the operator asks:
// digipeaters drop a copy of what they repeated within 30 s anyway.
inline constexpr std::chrono::seconds kMinSendGap = 15s;
// How long an ack to the last send may take over two hops and back.
inline constexpr std::chrono::seconds kFinalWait = 30s;
// A send the sender refused is tried again this soon; it is not a send.
inline constexpr std::chrono::seconds kRefusedRetry = 2s;

inline constexpr std::array<std::chrono::seconds, 5> kBulletinGaps{30s, 60s, 120s, 240s, 480s};
inline constexpr std::chrono::seconds kBulletinLongestGap = 10min;
inline constexpr std::chrono::seconds kDefaultBulletinTime = 60min;
inline constexpr std::chrono::seconds kMaxBulletinTime = 24 * 60min;

// The gap after the n-th send (1-based) of a message.
constexpr std::chrono::seconds RetryGapAfter(int sends) {
  if (sends < 1) return 0s;
  if (sends > static_cast<int>(kRetryGaps.size())) return kFinalWait;
  return kRetryGaps[static_cast<std::size_t>(sends - 1)];
}

// The gap after the n-th send (1-based) of a bulletin.
constexpr std::chrono::seconds BulletinGapAfter(int sends) {
  if (sends < 1) return 0s;
  if (sends > static_cast<int>(kBulletinGaps.size())) return kBulletinLongestGap;
  return kBulletinGaps[static_cast<std::size_t>(sends - 1)];
}

}  // namespace vorlink
