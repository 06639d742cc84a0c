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
  return !ReplaceFileWhole(folder / kConfigFileName, content);
}

}  // namespace

ConfigFileStatus ReadConfigFile(const std::filesystem::path& folder, Settings& settings) {
  const std::filesystem::path file = folder / kConfigFileName;
  const auto lines = ReadTextLines(file);
  if (!lines) {
    std::error_code ignored;
    // A file that exists but cannot be read is not missing: its settings stay.
    return std::filesystem::exists(file, ignored) ? ConfigFileStatus::kFound
                                                  : ConfigFileStatus::kMissing;
  }
  auto targets = LinesOf(settings);
  for (std::size_t i = 0; i < targets.size() && i < lines->size(); ++i) {
    targets[i].get() = (*lines)[i];
  }
  return ConfigFileStatus::kFound;
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
