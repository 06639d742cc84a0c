// What the build knows of the package: the version every program reports
// (the project version, so the package, --version and the about window
// cannot disagree) and where an installed program finds the package's data.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vorlink {

// "8.2.2"
std::string_view ProgramVersion();

// The --version text: "<program> <version>" on the first line, then the
// licence, with no line end after the last line.
std::string VersionText(std::string_view program);

// The package's data folder (sample scripts and capture), from the folder of
// an installed executable: <prefix>/bin -> <prefix>/share/vorlink.
std::filesystem::path DataFolder(const std::filesystem::path& executableFolder);

}  // namespace vorlink
