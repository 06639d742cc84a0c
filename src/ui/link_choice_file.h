// vorlink.conf beside vorlink.ini: the settings that go beyond its four
// lines (for now what feeds the incoming side), as INI through QSettings.
// Only what differs from the defaults is written, so a station that never
// chose anything has no such file.
#pragma once

#include <filesystem>
#include <string_view>

#include "app/kiss_server_choice.h"
#include "app/link_choice.h"

namespace vorlink {


// The defaults for a missing file, key or unreadable value.
LinkChoice ReadLinkChoice(const std::filesystem::path& workingFolder);
// False when the file could not be written.
bool WriteLinkChoice(const std::filesystem::path& workingFolder, const LinkChoice& choice);

// The KISS server's group, [kiss_server], in the same file and the same way.
KissServerChoice ReadKissServerChoice(const std::filesystem::path& workingFolder);
bool WriteKissServerChoice(const std::filesystem::path& workingFolder, const KissServerChoice& choice);
// How many clients and how much memory for them (max_clients, queue_budget_kib):
// only read, the defaults when not given, kept within sane bounds.
KissServerLimits ReadKissServerLimits(const std::filesystem::path& workingFolder);

}  // namespace vorlink
