#include "app/housekeeping.h"

#include <gtest/gtest.h>

#include <fstream>

#include "capture/pcap_capture.h"
#include "temp_folder.h"

namespace vorlink {
namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& file, std::string_view content = "") {
  std::ofstream(file, std::ios::binary) << content;
}

TEST(HousekeepingTest, DeletesOnlyEmptyCaptureFiles) {
  testing::TempFolder folder;
  const fs::path& f = folder.path();
  Touch(f / "28112010_1403.kss");
  Touch(f / "28112010_1403.dump");
  Touch(f / "28112010_1403.hex");
  Touch(f / "28112010_1404.kss", "\xC0\x00\x41\xC0");
  Touch(f / "tnc_exit.txt");
  Touch(f / "28112010_1403.kss.bak");
  Touch(f / "2811201_14030.kss");
  Touch(f / "notes.hex");
  fs::create_directory(f / "28112010_1405.kss");
  fs::create_directory(f / "old");
  Touch(f / "old" / "28112010_1406.kss");
  fs::create_symlink("/dev/null", f / "COM1");
  fs::create_symlink(f / "old" / "28112010_1406.kss", f / "28112010_1407.kss");

  DeleteEmptyFiles({f, f});

  for (const char* gone : {"28112010_1403.kss", "28112010_1403.dump", "28112010_1403.hex"}) {
    EXPECT_FALSE(fs::exists(f / gone)) << gone;
  }
  for (const char* kept : {"28112010_1404.kss", "tnc_exit.txt", "28112010_1403.kss.bak",
                           "2811201_14030.kss", "notes.hex", "28112010_1405.kss",
                           "old/28112010_1406.kss"}) {
    EXPECT_TRUE(fs::exists(f / kept)) << kept;
  }
  EXPECT_TRUE(fs::is_symlink(f / "COM1"));
  EXPECT_TRUE(fs::is_symlink(f / "28112010_1407.kss"));
}

TEST(HousekeepingTest, APcapFileWithoutRecordsCountsAsEmpty) {
  testing::TempFolder folder;
  const fs::path& f = folder.path();
  const std::string header = PcapFileHeader();
  const std::string record = std::string(kPcapRecordHeaderLength, '\0') + "\x00\x41";
  Touch(f / "28112010_1403.pcap");
  Touch(f / "28112010_1404.pcap", header);
  Touch(f / "28112010_1405.pcap", header + record);
  Touch(f / "28112010_1406.kss", header);
  Touch(f / "notes.pcap", header);

  DeleteEmptyFiles({f});

  EXPECT_FALSE(fs::exists(f / "28112010_1403.pcap"));
  EXPECT_FALSE(fs::exists(f / "28112010_1404.pcap"));
  for (const char* kept : {"28112010_1405.pcap", "28112010_1406.kss", "notes.pcap"}) {
    EXPECT_TRUE(fs::exists(f / kept)) << kept;
  }
}

TEST(HousekeepingTest, CleansEveryFolderGivenAndSkipsMissingOnes) {
  testing::TempFolder work;
  testing::TempFolder program;
  Touch(work.path() / "01012026_0000.hex");
  Touch(program.path() / "01012026_0000.dump");
  DeleteEmptyFiles({work.path(), program.path(), "/nonexistent/vorlink/folder"});
  EXPECT_FALSE(fs::exists(work.path() / "01012026_0000.hex"));
  EXPECT_FALSE(fs::exists(program.path() / "01012026_0000.dump"));
}

}  // namespace
}  // namespace vorlink
