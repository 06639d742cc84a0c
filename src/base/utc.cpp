// UTC helpers over the injected clock. Calendar arithmetic uses the proleptic
// Gregorian days-from-civil conversion, valid for every year the program meets.
#include "base/utc.h"

namespace vorlink {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t DaysFromCivil(int year, int month, int day) {
  const int y = year - (month <= 2 ? 1 : 0);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int mp = (month + 9) % 12;
  const int doy = (153 * mp + 2) / 5 + day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return static_cast<std::int64_t>(era) * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int doe = static_cast<int>(z - era * 146097);
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  day = doy - (153 * mp + 2) / 5 + 1;
  month = mp < 10 ? mp + 3 : mp - 9;
  year = static_cast<int>(yoe + era * 400) + (month <= 2 ? 1 : 0);
}

void PutDigits(char* out, int value, int width) {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

}  // namespace

SystemTimeFields ToSystemTimeFields(const DateTime& utc) {
  SystemTimeFields fields;
  fields.year = utc.year;
  fields.month = utc.month;
  fields.day = utc.day;
  fields.hour = utc.hour;
  fields.minute = utc.minute;
  fields.second = utc.second;
  return fields;
}

DateTime FromSystemTimeFields(const SystemTimeFields& fields) {
  return DateTime{fields.year, fields.month,  fields.day,         fields.hour,
                  fields.minute, fields.second, fields.milliseconds};
}


DateTime UtcNowPrecise(Clock& clock) {
  const LocalReading now = clock.Read();
  DateTime utc = AddMinutes(now.local, -now.offsetMinutes);
  utc.millisecond = now.local.millisecond;
  return utc;
}

DateTime UtcNow(Clock& clock) {
  DateTime utc = UtcNowPrecise(clock);
  utc.millisecond = 0;
  return utc;
}

void FormatTimestamp(const DateTime& t, char* out) {
  PutDigits(out, t.year, 4);
  out[4] = '-';
  PutDigits(out + 5, t.month, 2);
  out[7] = '-';
  PutDigits(out + 8, t.day, 2);
  out[10] = ' ';
  PutDigits(out + 11, t.hour, 2);
  out[13] = ':';
  PutDigits(out + 14, t.minute, 2);
  out[16] = ':';
  PutDigits(out + 17, t.second, 2);
  out[19] = '.';
  PutDigits(out + 20, t.millisecond, 3);
}

std::int64_t ToEpochSeconds(const DateTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * kSecondsPerDay + t.hour * 3600 +
         t.minute * 60 + t.second;
}

DateTime FromEpochSeconds(std::int64_t seconds) {
  std::int64_t days = seconds / kSecondsPerDay;
  std::int64_t rest = seconds % kSecondsPerDay;
  if (rest < 0) {
    rest += kSecondsPerDay;
    --days;
  }
  DateTime t;
  CivilFromDays(days, t.year, t.month, t.day);
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

DateTime AddMinutes(const DateTime& t, int minutes) {
  // Every frame reads the clock a few times, and a zone offset nearly always
  // keeps the date: then only the time of day moves. Other dates, a day end
  // crossed and out-of-range fields take the calendar road below.
  constexpr int kMinutesPerDay = 24 * 60;
  const bool plainTime = t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 &&
                         t.second >= 0 && t.second < 60 && t.month >= 1 && t.month <= 12 &&
                         t.day >= 1 && t.day <= 28;
  const long long minuteOfDay = t.hour * 60LL + t.minute + minutes;
  if (plainTime && minuteOfDay >= 0 && minuteOfDay < kMinutesPerDay) {
    DateTime out = t;
    out.hour = static_cast<int>(minuteOfDay / 60);
    out.minute = static_cast<int>(minuteOfDay % 60);
    return out;
  }
  DateTime out = FromEpochSeconds(ToEpochSeconds(t) + std::int64_t{minutes} * 60);
  out.millisecond = t.millisecond;
  return out;
}

}  // namespace vorlink
