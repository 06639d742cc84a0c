#include "decode/capture_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fake_clock.h"
#include "hex.h"
#include "temp_folder.h"

namespace vorlink {
namespace {

using testing::Hex;
using testing::ReadText;
using namespace std::string_literals;

TEST(CaptureFilesTest, NamesFollowTheUtcMinuteOfEachFile) {
  testing::TempFolder folder;
  testing::FakeClock clock;
  clock.local = {2010, 11, 28, 15, 3, 59, 900};
  clock.offsetMinutes = 60;
  CaptureFiles captures;
  captures.CreateCaptureFiles(folder.path(), clock);
  EXPECT_EQ(captures.KssFileName(), folder.path() / "28112010_1403.kss");
  EXPECT_EQ(captures.DumpFileName(), folder.path() / "28112010_1403.dump");
  EXPECT_EQ(captures.HexFileName(), folder.path() / "28112010_1403.hex");
  for (const auto& name : {captures.KssFileName(), captures.DumpFileName(), captures.HexFileName()}) {
    EXPECT_TRUE(std::filesystem::exists(name));
    EXPECT_EQ(std::filesystem::file_size(name), 0u);
  }
  EXPECT_EQ(CaptureStamp({2010, 1, 2, 3, 4, 5, 0}), "02012010_0304");
}

TEST(CaptureFilesTest, FlushedWritesReachTheFileAndANewRunEmptiesSameNamedFiles) {
  testing::TempFolder folder;
  testing::FakeClock clock;
  CaptureFiles captures;
  captures.CreateCaptureFiles(folder.path(), clock);
  captures.WriteRaw(Hex("C0 09 C0"));
  captures.WriteRaw(Hex("C0 00 41 C0"));
  captures.WritePayloadTextLine("hi");
  captures.WritePayloadHexLine("68 69");
  captures.Flush();
  // Visible before closing: a crash loses nothing that was shown.
  EXPECT_EQ(ReadText(captures.KssFileName()), "\xC0\x09\xC0\xC0\x00\x41\xC0"s);
  EXPECT_EQ(ReadText(captures.DumpFileName()), "hi\r\n");
  EXPECT_EQ(ReadText(captures.HexFileName()), "68 69\r\n");

  CaptureFiles again;
  again.CreateCaptureFiles(folder.path(), clock);
  again.CloseCaptureFiles();
  EXPECT_EQ(ReadText(captures.KssFileName()), "");
  EXPECT_EQ(ReadText(captures.DumpFileName()), "");
}

TEST(CaptureFilesTest, WritesWithoutOpenFilesAreSkipped) {
  testing::FakeClock clock;
  CaptureFiles captures;
  captures.CreateCaptureFiles("/nonexistent-folder/for/vorlink", clock);
  captures.WriteRaw(Hex("C0"));
  captures.Flush();
  captures.WritePayloadTextLine("hi");
  captures.WritePayloadHexLine("68 69");
  captures.CloseCaptureFiles();
  captures.CloseCaptureFiles();
  EXPECT_FALSE(std::filesystem::exists(captures.KssFileName()));
}

}  // namespace
}  // namespace vorlink
