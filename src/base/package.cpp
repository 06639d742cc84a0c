// The version and the install layout come from CMake as compile definitions
// of this file alone.
#include "base/package.h"

#ifndef VORLINK_VERSION
#error "VORLINK_VERSION must be defined by the build"
#endif
#ifndef VORLINK_DATA_FROM_BIN
#error "VORLINK_DATA_FROM_BIN must be defined by the build"
#endif

namespace vorlink {

std::string_view ProgramVersion() { return VORLINK_VERSION; }

std::string VersionText(std::string_view program) {
  std::string text(program);
  text += ' ';
  text += ProgramVersion();
  text +=
      "\nLicense GPL-3.0-or-later <https://www.gnu.org/licenses/gpl-3.0.html>."
      "\nThis is free software: you are free to change and redistribute it."
      "\nThere is NO WARRANTY, to the extent permitted by law.";
  return text;
}

std::filesystem::path DataFolder(const std::filesystem::path& executableFolder) {
  return (executableFolder / VORLINK_DATA_FROM_BIN).lexically_normal();
}

}  // namespace vorlink
