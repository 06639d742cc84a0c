#include "store/rate_axes.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace vorlink {
namespace {

constexpr std::int64_t kAxisMinute = 60'000;
constexpr std::int64_t kAxisHour = 60 * kAxisMinute;
constexpr std::int64_t kDay = 24 * kAxisHour;

// Steps a reader counts in; the last is as long as a chart of a capture may span.
constexpr std::array<std::int64_t, 15> kTimeSteps{
    kAxisMinute,  2 * kAxisMinute, 5 * kAxisMinute, 10 * kAxisMinute, 15 * kAxisMinute,
    30 * kAxisMinute, kAxisHour,   2 * kAxisHour,   3 * kAxisHour,    6 * kAxisHour,
    12 * kAxisHour,   kDay,    2 * kDay,    7 * kDay,     28 * kDay};

// "14:05" within a day; "12-06" (month and day) for steps of whole days.
std::string TimeLabel(std::int64_t at, std::int64_t step) {
  const DateTime t = FromEpochMilliseconds(at);
  char text[8];
  if (step >= kDay) {
    std::snprintf(text, sizeof text, "%02d-%02d", t.month % 100, t.day % 100);
  } else {
    std::snprintf(text, sizeof text, "%02d:%02d", t.hour % 100, t.minute % 100);
  }
  return text;
}

std::vector<AxisTick> TimeTicks(std::int64_t start, std::int64_t span, int most) {
  const auto fits = [&](std::int64_t step) { return span / step + 1 <= most; };
  const auto* found = std::find_if(kTimeSteps.begin(), kTimeSteps.end(), fits);
  const std::int64_t step = found != kTimeSteps.end() ? *found : kTimeSteps.back();
  // On whole steps of UTC: a negative start rounds up too.
  std::int64_t tick = start / step * step;
  if (tick < start) tick += step;
  std::vector<AxisTick> ticks;
  for (; tick <= start + span; tick += step) {
    ticks.push_back({static_cast<double>(tick - start) / static_cast<double>(span),
                     TimeLabel(tick, step)});
  }
  return ticks;
}

// 1, 2, 5, 10, 20, 50...: the first that leaves at most most - 1 steps up to the count.
std::uint64_t CountStep(std::uint64_t count, int most) {
  const auto steps = static_cast<std::uint64_t>(std::max(1, most - 1));
  for (std::uint64_t power = 1;; power *= 10) {
    for (const std::uint64_t first : {1, 2, 5}) {
      const std::uint64_t step = first * power;
      if ((count + step - 1) / step <= steps) return step;
    }
  }
}

}  // namespace

RateAxes ChartAxes(const FrameRate& rate, int mostTimeLabels, int mostCountLabels) {
  RateAxes axes;
  if (rate.bars.empty() || rate.barMilliseconds <= 0) return axes;
  const std::uint64_t tallest = std::max<std::uint64_t>(
      1, *std::max_element(rate.bars.begin(), rate.bars.end()));
  const std::uint64_t step = CountStep(tallest, mostCountLabels);
  axes.top = (tallest + step - 1) / step * step;
  for (std::uint64_t n = 0; n <= axes.top; n += step) {
    axes.count.push_back(
        {static_cast<double>(n) / static_cast<double>(axes.top), std::to_string(n)});
  }
  axes.time = TimeTicks(rate.start, kChartBars * rate.barMilliseconds, std::max(2, mostTimeLabels));
  return axes;
}

}  // namespace vorlink
