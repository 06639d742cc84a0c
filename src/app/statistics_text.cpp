#include "app/statistics_text.h"

#include <span>
#include <string>
#include <vector>

namespace vorlink {
namespace {
constexpr std::string_view kLineFeed = "\n";

void AppendLines(std::span<const std::string> lines, TextPane& pane) {
  for (const std::string& line : lines) {
    pane.AppendColoredText(line, PaneRole::Plain);
    pane.AppendColoredText(kLineFeed, PaneRole::Plain);
  }
}

// "<n><before><nibble>" for every nibble value that occurred.
void AppendByNibble(std::span<const std::uint64_t, kKissNibbleValues> counts,
                    std::string_view before, std::vector<std::string>& lines) {
  for (std::size_t i = 0; i < counts.size(); ++i) {
    if (counts[i] == 0) continue;
    lines.push_back(std::to_string(counts[i]) + std::string(before) + std::to_string(i));
  }
}
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
  AppendLines(lines, pane);
}

void AppendLinkHealth(const LinkHealth& health, TextPane& pane) {
  pane.AppendColoredText(kLineFeed, PaneRole::Plain);
  pane.AppendColoredText("Link health", PaneRole::Title);
  pane.AppendColoredText(kLineFeed, PaneRole::Plain);
  std::vector<std::string> lines;
  AppendByNibble(health.byCommand, " Frames with KISS command ", lines);
  AppendByNibble(health.byPort, " Frames on KISS port ", lines);
  lines.push_back(std::to_string(health.smackGood) + " SMACK Frames with good CRC");
  lines.push_back(std::to_string(health.smackBad) + " SMACK Frames with bad CRC");
  lines.push_back(std::to_string(health.badEscapes) +
                  " bad escapes (FESC not followed by TFEND or TFESC)");
  lines.push_back(std::to_string(health.oversize) + " Frames dropped as oversize");
  lines.push_back(std::to_string(health.strays) + " stray Bytes");
  lines.push_back(std::to_string(health.emptyFrames) + " empty Frames");
  AppendLines(lines, pane);
}

void AppendKissServerFigures(const KissServerFigures& figures, TextPane& pane) {
  const std::string lines[] = {
      std::to_string(figures.clients) + " KISS server clients",
      std::to_string(figures.framesToTnc) + " Frames from KISS clients sent to the TNC",
      std::to_string(figures.framesTncStalled) +
          " Frames from KISS clients dropped, TNC not taking data",
      std::to_string(figures.framesNotSent) + " Frames from KISS clients not sent to the TNC",
      std::to_string(figures.framesMalformed) + " malformed Frames from KISS clients refused",
      std::to_string(figures.clientsRefused) + " KISS clients refused, too many clients",
      std::to_string(figures.clientsDropped) + " KISS clients dropped, not taking data",
  };
  AppendLines(lines, pane);
}

}  // namespace vorlink
