#include "app/program_options.h"

#include <string>
#include <vector>

#include "base/package.h"

namespace vorlink {
namespace {

constexpr OptionSpec kOptions[] = {
    {kStationOption, "DIR", "keep captures, scripts, vorlink.ini and the lock in DIR"},
    {kKissTcpOption, "HOST:PORT",
     "for this run, read the TNC over KISS over TCP (port 8001 when left out)"},
    {kKissServerOption, "[HOST:]PORT",
     "for this run, share the frames over KISS TCP (HOST 127.0.0.1 when left out)"},
    {kListDevicesOption, "", "list the serial devices a port can be linked to, and exit"},
};

constexpr std::string_view kUsage =
    "Usage: vorlink [OPTION]...\n"
    "The VORLINK desktop program: decodes, shows and records the KISS frames of a\n"
    "packet-radio TNC on a serial port.\n"
    "\n";

constexpr std::string_view kFolders =
    "\n"
    "Without --station, captures and scripts are kept beside the program and\n"
    "vorlink.ini in the current folder; a program that cannot write beside itself\n"
    "(an installed one) keeps them all in ~/VORLINK. A station folder is made\n"
    "when missing and, as long as it holds no vorlink.ini, gets the sample TNC\n"
    "scripts it lacks.\n";

}  // namespace

CommandLine ParseProgramOptions(std::span<const std::string_view> args) {
  return ParseCommandLine(args, kOptions);
}

std::optional<KissTcpAddress> KissTcpOption(const CommandLine& line) {
  const auto value = line.Value(kKissTcpOption);
  if (!value) return std::nullopt;
  return ParseKissTcpAddress(*value);
}

std::optional<KissTcpAddress> KissServerOption(const CommandLine& line) {
  const auto value = line.Value(kKissServerOption);
  if (!value) return std::nullopt;
  const std::string text(*value);
  // A value of digits alone is the port, not a host.
  const bool portOnly = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
  auto address = ParseKissTcpAddress(portOnly ? std::string(kDefaultKissTcpHost) + ":" + text : text);
  // The port cannot be left out: there is no port the peers would guess.
  if (!portOnly && text.rfind(':') == std::string::npos) return std::nullopt;
  if (!portOnly && text.back() == ']') return std::nullopt;
  return address;
}

// Why the arguments cannot be taken; empty when they can.
static std::string Refusal(const CommandLine& line) {
  if (!line.error.empty()) return line.error;
  if (!line.operands.empty()) return "unexpected argument " + line.operands.front();
  if (line.Has(kKissTcpOption) && !KissTcpOption(line)) {
    return std::string(kKissTcpOption) + " wants HOST:PORT, not " + *line.Value(kKissTcpOption);
  }
  if (line.Has(kKissServerOption) && !KissServerOption(line)) {
    return std::string(kKissServerOption) + " wants [HOST:]PORT, not " +
           *line.Value(kKissServerOption);
  }
  return {};
}

std::optional<int> AnswerCommandLine(const CommandLine& line, std::FILE* out, std::FILE* err,
                                     SerialDeviceSource* devices) {
  if (const std::string why = Refusal(line); !why.empty()) {
    std::fprintf(err, "vorlink: %s (try --help)\n", why.c_str());
    return kExitUsage;
  }
  if (line.help) {
    std::fprintf(out, "%s%s%s", kUsage.data(), OptionsHelp(kOptions).c_str(), kFolders.data());
    return 0;
  }
  if (line.version) {
    std::fprintf(out, "%s\n", VersionText(kProgramName).c_str());
    return 0;
  }
  if (line.Has(kListDevicesOption)) {
    const std::string list = DeviceListText(devices ? devices->Devices() : std::vector<SerialDevice>{});
    if (list.empty()) std::fprintf(err, "vorlink: no serial devices found\n");
    std::fputs(list.c_str(), out);
    return 0;
  }
  return std::nullopt;
}

}  // namespace vorlink
