// The version every program reports. It comes from the project version of the
// build, so the package, --version and the about window cannot disagree.
#pragma once

#include <string>
#include <string_view>

namespace vorlink {

// "8.2.2"
std::string_view ProgramVersion();

// The --version line: "<program> <version>".
std::string VersionText(std::string_view program);

}  // namespace vorlink
