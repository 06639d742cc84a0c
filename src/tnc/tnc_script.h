// The TNC command scripts: plain text files in the program folder whose lines
// go to the TNC on the incoming port, one CR after each.
//
// Line rules, first match wins: an empty line sends nothing (no CR either); a
// line whose very first character is "#" is a comment; any other line is sent
// character by character, "^" as ESC (0x1B) and "$" as the KISS return
// command C0 FF C0, followed by 0x0D. No line feed is ever sent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "link/serial_port.h"
#include "base/status_line.h"

namespace vorlink {

inline constexpr std::string_view kStartScript = "tnc_init.txt";
inline constexpr std::string_view kExitScript = "tnc_exit.txt";
// A script is a few dozen lines; a bigger file is sent only so far.
inline constexpr std::size_t kMostScriptBytes = 64 * 1024;

// The bytes one script line puts on the line, CR included; empty for an empty
// or comment line.
std::vector<std::uint8_t> ScriptLineBytes(std::string_view line);

// Sends the script programFolder/fileName to the port. Never fails to its
// caller: a missing file sends nothing, a closed port drops each line, a
// failed write is lost. Status texts: "read " + fileName, then "done"; in
// place of "done" why a script that is there could not be read
// ("tnc_init.txt: Permission denied"); after it, for a script larger than
// kMostScriptBytes, that its lines beyond were not sent.
void SendTncScript(const std::filesystem::path& programFolder, std::string_view fileName,
                   SerialPort& incoming, StatusLine& status);

}  // namespace vorlink
