// Clearing away the empty captures of runs that received nothing. Only files
// of length 0 whose names have the capture form (ddmmyyyy_hhmm with .kss,
// .dump, .hex or .pcap) are deleted, and .pcap files that hold no record
// (nothing past the file header): an empty script, a marker or lock file, or
// a COMn link is the operator's and stays.
#pragma once

#include <filesystem>
#include <vector>

namespace vorlink {

// Deletes the empty capture files of each folder (a folder named twice is
// cleaned once). Subfolders are never entered; nothing is reported.
void DeleteEmptyFiles(const std::vector<std::filesystem::path>& folders);

}  // namespace vorlink
