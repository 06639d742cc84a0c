// The axes of the frames-per-bar chart: times along the bottom (UTC, on
// whole minutes, hours or days, at most so many labels) and frame counts up
// the side (0 and steps of 1, 2 or 5 times a power of ten, the top step at or
// above the tallest bar). Positions are fractions of the axis, 0 to 1, so the
// drawing only scales them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/frame_rate.h"

namespace vorlink {

struct AxisTick {
  double at = 0;  // 0 at the start (left, bottom), 1 at the end
  std::string label;

  friend bool operator==(const AxisTick&, const AxisTick&) = default;
};

struct RateAxes {
  std::vector<AxisTick> time;
  std::vector<AxisTick> count;
  std::uint64_t top = 1;  // the count at the top of the chart
};

// The chart spans kChartBars bars from rate.start, whatever number it fills.
RateAxes ChartAxes(const FrameRate& rate, int mostTimeLabels, int mostCountLabels);

}  // namespace vorlink
