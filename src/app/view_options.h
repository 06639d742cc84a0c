// The command line of vorlink-view, the capture viewer: one .kss file, and
// the --help and --version every program answers.
#pragma once

#include <cstdio>
#include <optional>
#include <span>
#include <string_view>

#include "base/command_line.h"

namespace vorlink {

inline constexpr std::string_view kViewerName = "vorlink-view";
inline constexpr std::string_view kMapOption = "--map";

CommandLine ParseViewOptions(std::span<const std::string_view> args);

// Answers --help and --version on out and wrong arguments on err, and gives
// the exit status; nothing when the viewer is to open the one file given.
std::optional<int> AnswerViewCommandLine(const CommandLine& line, std::FILE* out, std::FILE* err);

}  // namespace vorlink
