// The version comes from CMake as a compile definition of this file alone.
#include "base/version.h"

#ifndef VORLINK_VERSION
#error "VORLINK_VERSION must be defined by the build"
#endif

namespace vorlink {

std::string_view ProgramVersion() { return VORLINK_VERSION; }

std::string VersionText(std::string_view program) {
  std::string text(program);
  text += ' ';
  text += ProgramVersion();
  return text;
}

}  // namespace vorlink
