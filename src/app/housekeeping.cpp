#include "app/housekeeping.h"

#include <algorithm>
#include <system_error>

#include "capture/capture_name.h"
#include "capture/pcap_capture.h"

namespace vorlink {
namespace {

// A pcap file holds no frame while it has no more than its file header.
bool HoldsNothing(const std::filesystem::path& file, std::uintmax_t size) {
  if (file.extension() == kPcapExtension) return size <= kPcapFileHeaderLength;
  return size == 0;
}

std::vector<std::filesystem::path> EmptyCaptureFiles(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> found;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (!IsCaptureFileName(name)) continue;
    std::error_code statusError;
    // Links are never followed: only a plain empty file is ours to delete.
    if (!it->is_regular_file(statusError) || it->is_symlink(statusError)) continue;
    const auto size = it->file_size(statusError);
    if (!statusError && HoldsNothing(it->path(), size)) found.push_back(it->path());
  }
  return found;
}

}  // namespace

void DeleteEmptyFiles(const std::vector<std::filesystem::path>& folders) {
  std::vector<std::filesystem::path> cleaned;
  for (const auto& folder : folders) {
    std::error_code error;
    const auto canonical = std::filesystem::weakly_canonical(folder, error);
    if (error || std::find(cleaned.begin(), cleaned.end(), canonical) != cleaned.end()) continue;
    cleaned.push_back(canonical);
    // Names are collected first and deleted afterwards, never while listing.
    for (const auto& file : EmptyCaptureFiles(canonical)) {
      std::error_code ignored;
      std::filesystem::remove(file, ignored);
    }
  }
}

}  // namespace vorlink
