#include "app/housekeeping.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <system_error>

namespace vorlink {
namespace {

constexpr std::size_t kStampLength = 13;  // ddmmyyyy_hhmm
constexpr std::size_t kUnderscoreAt = 8;
constexpr std::array<std::string_view, 3> kCaptureExtensions{".kss", ".dump", ".hex"};

bool IsDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
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
    if (!statusError && size == 0) found.push_back(it->path());
  }
  return found;
}

}  // namespace

bool IsCaptureFileName(std::string_view name) {
  if (name.size() <= kStampLength) return false;
  const std::string_view stamp = name.substr(0, kStampLength);
  const std::string_view extension = name.substr(kStampLength);
  return IsDigits(stamp.substr(0, kUnderscoreAt)) && stamp[kUnderscoreAt] == '_' &&
         IsDigits(stamp.substr(kUnderscoreAt + 1)) &&
         std::find(kCaptureExtensions.begin(), kCaptureExtensions.end(), extension) !=
             kCaptureExtensions.end();
}

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
