#include "app/station_folders.h"

#include <unistd.h>

#include <fstream>
#include <iterator>

#include "app/whole_file.h"
#include "tnc/tnc_script.h"

namespace vorlink {
namespace {

namespace fs = std::filesystem;

// The script's text, or why it cannot be had.
std::optional<std::string> ReadScript(const fs::path& file, std::string& problem) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(file, error);
  if (error) {
    problem = "cannot read " + file.string() + ": " + error.message();
    return std::nullopt;
  }
  if (size > kMostScriptBytes) {
    problem = "cannot read " + file.string() + ": larger than a script can be";
    return std::nullopt;
  }
  std::ifstream in(file, std::ios::binary);
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!in && !in.eof()) {
    problem = "cannot read " + file.string();
    return std::nullopt;
  }
  return text;
}

}  // namespace

StationFolders ChooseStationFolders(const StationFacts& facts) {
  StationFolders folders;
  if (facts.stationOption) {
    if (facts.stationOption->empty()) {
      folders.error = "--station needs a folder";
      return folders;
    }
    const fs::path station = (facts.currentFolder / *facts.stationOption).lexically_normal();
    return {station, station, true, ""};
  }
  if (facts.executableFolderWritable) {
    return {facts.executableFolder, facts.currentFolder, false, ""};
  }
  if (!facts.home || facts.home->empty()) {
    folders.error = "cannot write in " + facts.executableFolder.string() +
                    " and HOME is not set: start with --station DIR";
    return folders;
  }
  const fs::path station = *facts.home / kHomeStationName;
  return {station, station, true, ""};
}

bool FolderWritable(const fs::path& folder) { return ::access(folder.c_str(), W_OK) == 0; }

StationMade MakeStationFolder(const fs::path& station, const fs::path& dataFolder) {
  StationMade made;
  std::error_code error;
  fs::create_directories(station, error);
  if (error || !fs::is_directory(station)) {
    made.problems.push_back("cannot make the station folder " + station.string() + ": " +
                            (error ? error.message() : "a file of that name is in the way"));
    return made;
  }
  made.usable = true;
  if (fs::exists(station / kConfigurationName, error)) return made;
  for (std::string_view script : kSampleScripts) {
    if (fs::exists(fs::symlink_status(station / script, error))) continue;
    std::string problem;
    const auto text = ReadScript(dataFolder / script, problem);
    if (!text) {
      made.problems.push_back(problem);
      continue;
    }
    if (const auto written = ReplaceFileWhole(station / script, *text)) {
      made.problems.push_back("cannot write " + (station / script).string() + ": " + written.message());
    }
  }
  return made;
}

}  // namespace vorlink
