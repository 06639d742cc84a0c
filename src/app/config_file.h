// The configuration file "vorlink.ini": four lines, no keys, no sections; the
// position of a line gives its meaning (see Settings). Lines are written with
// CR LF; CR LF, a lone LF and a lone CR all end a line when reading, so a file
// edited by hand on any system reads as its four lines. Lines after the
// fourth are ignored and vanish at the next rewrite.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "app/station_config.h"

namespace vorlink {

inline constexpr std::string_view kIniFileName = "vorlink.ini";
// Where the port lines stand in the file, counted from 1.
inline constexpr int kIncomingPortLineNumber = 1;
inline constexpr int kOutgoingPortLineNumber = 3;

enum class ConfigFileStatus {
  kFound,    // read, as far as it goes
  kMissing,  // no file: the setup dialog should open
  kUnreadable,  // there but not readable (ReadProblem says why): settings kept
};

// Fills the settings from folder/"vorlink.ini", line by line. A line the file
// does not have leaves its setting unchanged; a missing or unreadable file
// leaves all four; for an unreadable one, problem gets why ("vorlink.ini:
// Permission denied").
ConfigFileStatus ReadConfigFile(const std::filesystem::path& folder, Settings& settings,
                                std::string* problem = nullptr);

// Why folder/"vorlink.conf" is there but cannot be read (or is too big to be
// read); empty when it reads or is missing (its settings then keep their
// defaults).
std::string MoreSettingsProblem(const std::filesystem::path& folder);

// Writes the four settings as lines 1 to 4, replacing the file whole or not
// at all. False when the file could not be written; nobody is told.
bool WriteConfigFile(const std::filesystem::path& folder, const Settings& settings);

// The setup dialog's OK: stores the two new port lines and writes lines 1 to 3
// only. The shut-down that follows writes the file in full.
bool SavePortLines(const std::filesystem::path& folder, Settings& settings,
                   std::string incomingPortLine, std::string outgoingPortLine);

}  // namespace vorlink
