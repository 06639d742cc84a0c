#include "app/config_file.h"

#include <array>
#include <functional>
#include <system_error>
#include <utility>
#include <vector>

#include "app/whole_file.h"
#include "base/text_lines.h"

namespace vorlink {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kConfigLineCount = 4;
// Four lines of a few dozen bytes each; more of a file is never looked at.
constexpr std::size_t kMostConfigBytes = 64 * 1024;

// The settings in the order of the file's lines.
std::array<std::reference_wrapper<std::string>, kConfigLineCount> LinesOf(Settings& s) {
  return {s.IncomingPortLine, s.TimeServerHost, s.OutgoingPortLine, s.MirrorFlag};
}

// Whole or not at all, so a crash or a full disk during shut-down never
// leaves the settings empty or cut.
bool WriteLines(const std::filesystem::path& folder, const std::vector<std::string_view>& lines) {
  std::string content;
  for (std::string_view line : lines) {
    content += line;
    content += kLineEnd;
  }
  return !ReplaceFileWhole(folder / kIniFileName, content);
}

}  // namespace

ConfigFileStatus ReadConfigFile(const std::filesystem::path& folder, Settings& settings,
                                std::string* problem) {
  const TextFile read = ReadTextFile(folder / kIniFileName, kMostConfigBytes);
  if (read.error == std::errc::no_such_file_or_directory) return ConfigFileStatus::kMissing;
  // A file that exists but cannot be read is not missing: its settings stay.
  if (read.error) {
    if (problem != nullptr) *problem = ReadProblem(kIniFileName, read.error);
    return ConfigFileStatus::kUnreadable;
  }
  auto targets = LinesOf(settings);
  for (std::size_t i = 0; i < targets.size() && i < read.lines.size(); ++i) {
    targets[i].get() = read.lines[i];
  }
  return ConfigFileStatus::kFound;
}

std::string MoreSettingsProblem(const std::filesystem::path& folder) {
  // Reading one byte is enough to meet a folder or a missing permission.
  const std::filesystem::path file = folder / kConfFileName;
  std::error_code error = ReadTextFile(file, 0).error;
  std::error_code noSize;
  if (!error && std::filesystem::file_size(file, noSize) > kMostStationConfigBytes && !noSize) {
    error = std::make_error_code(std::errc::file_too_large);
  }
  return ReadProblem(kConfFileName, error);
}

bool WriteConfigFile(const std::filesystem::path& folder, const Settings& settings) {
  return WriteLines(folder, {settings.IncomingPortLine, settings.TimeServerHost,
                             settings.OutgoingPortLine, settings.MirrorFlag});
}

bool SavePortLines(const std::filesystem::path& folder, Settings& settings,
                   std::string incomingPortLine, std::string outgoingPortLine) {
  settings.IncomingPortLine = std::move(incomingPortLine);
  settings.OutgoingPortLine = std::move(outgoingPortLine);
  return WriteLines(folder,
                    {settings.IncomingPortLine, settings.TimeServerHost, settings.OutgoingPortLine});
}

}  // namespace vorlink
