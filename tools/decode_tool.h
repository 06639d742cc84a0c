// vorlink-decode: prints every frame of a KISS capture as the frame pane
// shows it. Kept apart from main() so tests can run it in-process.
#pragma once

#include <cstdio>
#include <span>
#include <string_view>

#include "base/clock.h"

namespace vorlink {

// Runs the tool; returns its exit status (0 done, 1 unreadable input, 2 usage).
int RunDecodeTool(std::span<const std::string_view> args, std::FILE* in, std::FILE* out,
                  std::FILE* err, bool outIsTerminal, Clock& clock);

}  // namespace vorlink
