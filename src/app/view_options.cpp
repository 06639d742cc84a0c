#include "app/view_options.h"

#include <string>

#include "app/program_options.h"
#include "base/package.h"

namespace vorlink {
namespace {

constexpr OptionSpec kViewOptions[] = {
    {kMapOption, "", "show the stations of the capture on a map too"},
    {kTileUrlOption, "URL", "for this run, the map's online tiles from URL ({z}, {x} and {y} filled in)"},
};

constexpr std::string_view kViewUsage =
    "Usage: vorlink-view [--map] [--tile-url URL] FILE.kss\n"
    "Shows the frames of a VORLINK capture in a frame browser: filter, search and\n"
    "the stations heard. No port, script, time server or capture file is touched.\n"
    "\n";

}  // namespace

CommandLine ParseViewOptions(std::span<const std::string_view> args) {
  return ParseCommandLine(args, kViewOptions);
}

std::optional<int> AnswerViewCommandLine(const CommandLine& line, std::FILE* out, std::FILE* err) {
  if (line.help) {
    std::fprintf(out, "%s%s", kViewUsage.data(), OptionsHelp(kViewOptions).c_str());
    return 0;
  }
  if (line.version) {
    std::fprintf(out, "%s\n", VersionText(kViewerName).c_str());
    return 0;
  }
  std::string why = line.error.empty() ? TileUrlRefusal(line) : line.error;
  if (why.empty() && line.operands.empty()) why = "no capture file given";
  if (why.empty() && line.operands.size() > 1) why = "unexpected argument " + line.operands[1];
  if (!why.empty()) {
    std::fprintf(err, "vorlink-view: %s (try --help)\n", why.c_str());
    return kExitUsage;
  }
  return std::nullopt;
}

}  // namespace vorlink
