#include "time/clock_sync.h"

#include <algorithm>
#include <string>

#include "base/utc.h"

namespace vorlink {
namespace {

// 1970-01-01 00:00:00 UTC counted from the 1900 epoch.
constexpr std::int64_t kUnixEpochSince1900 = 2208988800;
// One era of the 32-bit count, and the bit that tells the two eras we read apart.
constexpr std::int64_t kEraSeconds = std::int64_t{1} << 32;
constexpr std::uint32_t kFirstEraBit = 0x80000000u;
constexpr std::int64_t kMillisecondsPerSecond = 1000;

constexpr std::string_view kKeptBySystem = "clock synchronised by the system, not changed";
constexpr std::string_view kBeginning = "   beginning system clock synchronization";
constexpr std::string_view kSucceeded = "clock synchronised succesfully with NTP server ";
constexpr std::string_view kSetFailed = "SetSystemTime failed. Clock not synchronised";

std::uint32_t BigEndianValue(std::span<const std::uint8_t> bytes) {
  std::uint32_t value = 0;
  for (std::uint8_t b : bytes) value = value << 8 | b;
  return value;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

}  // namespace

std::int64_t UnixTimeFromTimeProtocol(std::uint32_t secondsSince1900) {
  std::int64_t seconds = secondsSince1900;
  if ((secondsSince1900 & kFirstEraBit) == 0) seconds += kEraSeconds;
  return seconds - kUnixEpochSince1900;
}

SystemTimeFields FieldsFromTimeProtocol(std::uint32_t secondsSince1900,
                                        std::chrono::milliseconds age) {
  const std::int64_t ms =
      UnixTimeFromTimeProtocol(secondsSince1900) * kMillisecondsPerSecond + age.count();
  const std::int64_t seconds = FloorDiv(ms, kMillisecondsPerSecond);
  SystemTimeFields fields = ToSystemTimeFields(FromEpochSeconds(seconds));
  fields.milliseconds = static_cast<int>(ms - seconds * kMillisecondsPerSecond);
  return fields;
}

void SynchroniseClock(std::span<const std::uint8_t> received,
                      std::chrono::steady_clock::time_point arrivedAt, std::string_view host,
                      Clock& clock, StatusLine& status) {
  if (received.size() != kTimeProtocolLength) {
    status.SetSimpleText(kTimeNotValid);
    return;
  }
  const std::uint32_t value = BigEndianValue(received);
  // A clock cannot rightly be earlier than the program it runs.
  if (UnixTimeFromTimeProtocol(value) < clock.EarliestPlausibleTime()) {
    status.SetSimpleText(kTimeNotValid);
    return;
  }
  // The protocol has whole seconds only: a disciplined clock is better left alone.
  if (clock.SynchronisedBySystem()) {
    status.SetSimpleText(kKeptBySystem);
    return;
  }
  status.SetSimpleText(kBeginning);
  const auto age = std::chrono::duration_cast<std::chrono::milliseconds>(
      clock.MonotonicNow() - arrivedAt);
  const auto fields = FieldsFromTimeProtocol(value, std::max(age, std::chrono::milliseconds{0}));
  if (clock.SetSystemTime(fields)) {
    status.SetSimpleText(std::string(kSucceeded) + std::string(host));
  } else {
    status.SetSimpleText(kSetFailed);
  }
}

}  // namespace vorlink
