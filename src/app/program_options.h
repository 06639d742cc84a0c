// The command line of the desktop program: its options, its --help and
// --version texts, and the answer to arguments it cannot take. A new option
// is one more row in the table in program_options.cpp.
#pragma once

#include <cstdio>
#include <optional>
#include <span>
#include <string_view>

#include "base/command_line.h"
#include "link/kiss_tcp_address.h"
#include "link/serial_device.h"

namespace vorlink {

inline constexpr std::string_view kProgramName = "vorlink";
inline constexpr std::string_view kStationOption = "--station";
inline constexpr std::string_view kKissTcpOption = "--kiss-tcp";
inline constexpr std::string_view kKissServerOption = "--kiss-server";
inline constexpr std::string_view kListDevicesOption = "--list-devices";
inline constexpr int kExitUsage = 2;

// Reads the arguments (without the program name).
CommandLine ParseProgramOptions(std::span<const std::string_view> args);

// Answers --help and --version on out and wrong arguments on err, and gives
// the exit status; nothing when the program is to run.
// The peer of --kiss-tcp, for this run only; nothing without the option or
// when its value is no HOST:PORT (which AnswerCommandLine refuses).
std::optional<KissTcpAddress> KissTcpOption(const CommandLine& line);

// Where --kiss-server listens for this run: "PORT" alone is 127.0.0.1:PORT;
// nothing without the option or for a value that names no port.
std::optional<KissTcpAddress> KissServerOption(const CommandLine& line);

// --list-devices prints the devices of `devices` on out, as the setup dialog
// offers them; without a source there are none.
std::optional<int> AnswerCommandLine(const CommandLine& line, std::FILE* out, std::FILE* err,
                                     SerialDeviceSource* devices = nullptr);

}  // namespace vorlink
