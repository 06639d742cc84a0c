#include "app/statistics_text.h"

#include <string>

namespace vorlink {
namespace {
constexpr std::string_view kLineFeed = "\n";
}  // namespace

void AppendStatistics(const ReceiveCounters& counters, TextPane& pane) {
  pane.AppendColoredText("Statistics", PaneRole::Title);
  pane.AppendColoredText("\n\n", PaneRole::Plain);
  // The frame count as it stands, not one ahead as the receive label shows it.
  const std::string lines[] = {
      std::to_string(counters.BytesReceived) + " Bytes received",
      std::to_string(counters.FrameCount) + " Frames decoded",
      std::to_string(counters.TfescCount) + " TFESC received",
      std::to_string(counters.TfendCount) + " TFEND received",
  };
  for (const std::string& line : lines) {
    pane.AppendColoredText(line, PaneRole::Plain);
    pane.AppendColoredText(kLineFeed, PaneRole::Plain);
  }
}

}  // namespace vorlink
