#include "time/clock_sync.h"

#include <limits>
#include <string>

#include "time/utc.h"

namespace vorlink {
namespace {

// 1990-01-01 00:00:00 UTC counted from the 1900 epoch and from the 1970 one.
constexpr std::int64_t kBase1990Since1900 = 2840140800;
constexpr std::int64_t kBase1990Since1970 = 631152000;

constexpr std::string_view kNotValid = "Time passed not valid. Clock not synchronised";
constexpr std::string_view kBeginning = "   beginning system clock synchronization";
constexpr std::string_view kSucceeded = "clock synchronised succesfully with NTP server ";
constexpr std::string_view kSetFailed = "SetSystemTime failed. Clock not synchronised";

std::uint32_t BigEndianValue(std::span<const std::uint8_t> bytes) {
  std::uint32_t value = 0;
  for (std::uint8_t b : bytes) value = value << 8 | b;
  return value;
}

}  // namespace

std::optional<SystemTimeFields> FieldsFromTimeProtocol(std::uint32_t secondsSince1900) {
  const std::int64_t d = static_cast<std::int64_t>(secondsSince1900) - kBase1990Since1900;
  if (d < std::numeric_limits<std::int32_t>::min() || d > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return ToSystemTimeFields(FromEpochSeconds(kBase1990Since1970 + d));
}

void SynchroniseClock(std::span<const std::uint8_t> received, std::string_view host,
                      Clock& clock, StatusLine& status) {
  if (received.size() != kTimeProtocolLength) {
    status.SetSimpleText(kNotValid);
    return;
  }
  const auto fields = FieldsFromTimeProtocol(BigEndianValue(received));
  // A time too early to convert ends the exchange without a word.
  if (!fields) return;
  status.SetSimpleText(kBeginning);
  if (clock.SetSystemTime(*fields)) {
    status.SetSimpleText(std::string(kSucceeded) + std::string(host));
  } else {
    status.SetSimpleText(kSetFailed);
  }
}

}  // namespace vorlink
