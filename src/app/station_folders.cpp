#include "app/station_folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "app/config_file.h"
#include "app/whole_file.h"
#include "tnc/tnc_script.h"

namespace vorlink {
namespace {

namespace fs = std::filesystem;

// Enough for any account entry that names a home.
constexpr std::size_t kAccountBufferBytes = 16 * 1024;

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

bool IsSystemFolder(const fs::path& folder) {
  const fs::path normal = folder.lexically_normal();
  if (!normal.has_root_directory()) return false;
  const fs::path relative = normal.relative_path();
  if (relative.empty()) return false;
  const std::string top = relative.begin()->string();
  for (std::string_view system : kSystemFolders) {
    if (top == system) return true;
  }
  return false;
}

namespace {

// Why the program may not keep its files beside itself; empty when it may.
std::string RefusalBesideTheProgram(const StationFacts& facts) {
  const std::string program = facts.executableFolder.string();
  const std::string current = facts.currentFolder.string();
  if (IsSystemFolder(facts.executableFolder)) return program + " is a system folder";
  if (!facts.executableFolderOwned) return program + " belongs to another user";
  if (!facts.executableFolderWritable) return "cannot write in " + program;
  if (IsSystemFolder(facts.currentFolder)) return "started in the system folder " + current;
  if (!facts.currentFolderOwned) return "started in " + current + ", which belongs to another user";
  return {};
}

// $HOME while it is the user's own, else the account's home.
std::optional<fs::path> HomeOfTheUser(const StationFacts& facts) {
  for (const auto& home : {facts.homeOwned ? facts.home : std::nullopt, facts.accountHome}) {
    if (home && !home->empty() && !IsSystemFolder(*home)) return home;
  }
  return std::nullopt;
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
    if (IsSystemFolder(station)) {
      folders.error = "--station " + station.string() + ": a system folder is no station folder";
      return folders;
    }
    return {station, station, true, ""};
  }
  const std::string refusal = RefusalBesideTheProgram(facts);
  if (refusal.empty()) return {facts.executableFolder, facts.currentFolder, false, ""};
  const auto home = HomeOfTheUser(facts);
  if (!home) {
    folders.error = refusal + " and no home folder of yours is known: start with --station DIR";
    return folders;
  }
  const fs::path station = *home / kHomeStationName;
  return {station, station, true, ""};
}

bool FolderWritable(const fs::path& folder) { return ::access(folder.c_str(), W_OK) == 0; }

bool FolderOwned(const fs::path& folder) {
  struct stat info {};
  return ::stat(folder.c_str(), &info) == 0 && info.st_uid == ::geteuid();
}

std::optional<fs::path> AccountHome() {
  passwd entry {};
  passwd* found = nullptr;
  std::vector<char> buffer(kAccountBufferBytes);
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
      found->pw_dir == nullptr || *found->pw_dir == '\0') {
    return std::nullopt;
  }
  return fs::path(found->pw_dir);
}

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
  if (fs::exists(station / kIniFileName, error)) return made;
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
