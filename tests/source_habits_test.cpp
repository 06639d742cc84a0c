// Habits of the program's source as a whole. Every device and peer is
// served from the one thread that also draws the window, so no source file
// may wait on one: a Qt waitFor* call freezes the window for as long as it
// waits. Connects, reads and writes end as events instead.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vorlink {
namespace {

namespace fs = std::filesystem;

constexpr const char* kBlockingWaits[] = {"waitForConnected", "waitForReadyRead",
                                          "waitForBytesWritten"};

bool IsSource(const fs::path& file) {
  const auto ext = file.extension();
  return ext == ".cpp" || ext == ".h";
}

TEST(SourceHabitsTest, NothingWaitsOnADeviceOrAPeer) {
  std::vector<std::string> found;
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(VORLINK_SOURCE_DIR)) {
    if (!entry.is_regular_file() || !IsSource(entry.path())) continue;
    ++files;
    std::ifstream in(entry.path());
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      for (const char* wait : kBlockingWaits) {
        if (line.find(wait) != std::string::npos) {
          found.push_back(entry.path().lexically_relative(VORLINK_SOURCE_DIR).string() + ":" +
                          std::to_string(number) + ": " + wait);
        }
      }
    }
  }
  EXPECT_GT(files, 100);  // the folder really is the source
  EXPECT_TRUE(found.empty()) << ::testing::PrintToString(found);
}

}  // namespace
}  // namespace vorlink
