#include "ax25link/round_trip_timer.h"

#include <algorithm>

namespace vorlink {
namespace {

constexpr int kSmoothingWeight = 8;  // a measurement moves SRTT by an eighth
constexpr int kT1PerSrtt = 2;
constexpr int kMaxDoublings = 16;  // past this the maximum holds anyway

}  // namespace

RoundTripTimer::RoundTripTimer(std::chrono::milliseconds initialT1,
                               std::chrono::milliseconds minimumT1,
                               std::chrono::milliseconds maximumT1)
    : initial_(initialT1 / kT1PerSrtt),
      smoothed_(initial_),
      minimum_(minimumT1),
      maximum_(std::max(minimumT1, maximumT1)) {}

void RoundTripTimer::Measured(std::chrono::milliseconds roundTrip) {
  const auto clamped = std::clamp(roundTrip, std::chrono::milliseconds{0}, maximum_);
  smoothed_ = (smoothed_ * (kSmoothingWeight - 1) + clamped) / kSmoothingWeight;
}

std::chrono::milliseconds RoundTripTimer::T1(int retries) const {
  auto t1 = smoothed_ * kT1PerSrtt;
  for (int i = 0; i < std::min(retries, kMaxDoublings) && t1 < maximum_; ++i) t1 *= 2;
  return std::clamp(t1, minimum_, maximum_);
}

}  // namespace vorlink
