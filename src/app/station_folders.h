// Where VORLINK keeps its files. A program run from a folder of its own (the
// build, or a copy in a station folder) keeps captures and scripts beside
// itself and vorlink.ini in the folder it is started in. Any other program
// keeps everything in ~/VORLINK instead: one installed in a system folder
// (/usr/bin), even when root could write there, or one in a folder of
// another user, or started in one. "--station DIR" puts everything in DIR.
//
// A station folder of the operator's own is made when missing. At its first
// start (no vorlink.ini yet) it gets the package's sample scripts it lacks;
// vorlink.ini is left missing, so the setup dialog opens as at any first
// start.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlink {

inline constexpr std::string_view kHomeStationName = "VORLINK";
inline constexpr std::string_view kSampleScripts[] = {"tnc_init.txt", "tnc_exit.txt"};

// Folders no station is ever kept in, nor anything below them.
inline constexpr std::string_view kSystemFolders[] = {"usr",   "bin",   "sbin",   "lib", "lib32",
                                                      "lib64", "libx32", "opt",  "etc"};

// What the program finds where it starts. "Owned" is by the user the
// program runs as.
struct StationFacts {
  std::optional<std::filesystem::path> stationOption;  // --station DIR
  std::filesystem::path executableFolder;
  bool executableFolderWritable = true;
  bool executableFolderOwned = true;
  std::filesystem::path currentFolder;
  bool currentFolderOwned = true;
  std::optional<std::filesystem::path> home;  // $HOME when set and not empty
  bool homeOwned = true;
  // The user's home in the account database: root's own /root where sudo
  // kept the operator's HOME.
  std::optional<std::filesystem::path> accountHome;
};

struct StationFolders {
  std::filesystem::path programFolder;  // captures and scripts
  std::filesystem::path workingFolder;  // vorlink.ini and housekeeping
  // Both folders are one of the operator's own, made when missing.
  bool ownStation = false;
  // Why no folders can be chosen; empty when they are.
  std::string error;
};

StationFolders ChooseStationFolders(const StationFacts& facts);

// Whether an absolute folder is one of the system's or lies below one.
bool IsSystemFolder(const std::filesystem::path& folder);
// Whether the user the program runs as owns the folder.
bool FolderOwned(const std::filesystem::path& folder);
// That user's home in the account database, when it names one.
std::optional<std::filesystem::path> AccountHome();

// Whether this process may make files in the folder (false on a read-only
// mount even for root).
bool FolderWritable(const std::filesystem::path& folder);

struct StationMade {
  bool usable = false;
  // One line for each thing that went wrong, usable or not.
  std::vector<std::string> problems;
};

// Makes the station folder when it is missing and, while it holds no
// vorlink.ini, copies the sample scripts it lacks from dataFolder. Scripts
// its operator removed after the first start stay removed.
StationMade MakeStationFolder(const std::filesystem::path& station,
                              const std::filesystem::path& dataFolder);

}  // namespace vorlink
