// Choosing the folders of this start from the command line, the program's
// own folder and HOME, making a station folder of the operator's own at its
// first start, and entering it. What goes wrong is said on standard error
// and, on a desktop, in a message box: started from the menu, nobody reads
// standard error.
#pragma once

#include <optional>
#include <string>

#include "app/station_folders.h"
#include "base/command_line.h"

namespace vorlink {

inline constexpr int kExitNoStation = 1;

// False under the offscreen and minimal platforms, where nobody could close
// a message box.
bool OnDesktop();

// Needs the QApplication. Nothing when there is no usable station.
std::optional<StationFolders> EnterStation(const CommandLine& line);

}  // namespace vorlink
