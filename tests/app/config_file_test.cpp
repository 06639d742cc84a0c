#include "app/config_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app/settings.h"
#include "temp_folder.h"

namespace vorlink {
namespace {

using testing::ReadText;
using testing::TempFolder;

class ConfigFileTest : public ::testing::Test {
 protected:
  void WriteFile(const std::string& content) {
    std::ofstream(folder.path() / kConfigFileName, std::ios::binary) << content;
  }
  std::string FileText() { return ReadText(folder.path() / kConfigFileName); }

  TempFolder folder;
  Settings settings;
};

TEST_F(ConfigFileTest, MissingFileIsReportedAndChangesNothing) {
  settings = {"01,19200,N,8,1", "host", "02,9600,N,8,1", "true"};
  const Settings before = settings;
  EXPECT_EQ(ReadConfigFile(folder.path(), settings), ConfigFileStatus::kMissing);
  EXPECT_EQ(settings, before);
}

TEST_F(ConfigFileTest, FirstStartEndingWithoutOkWritesDefaultHostAndEmptyLines) {
  ASSERT_EQ(ReadConfigFile(folder.path(), settings), ConfigFileStatus::kMissing);
  UseDefaultHostIfEmpty(settings);
  EXPECT_TRUE(settings.MirrorFlag.empty());
  ASSERT_TRUE(WriteConfigFile(folder.path(), settings));

  EXPECT_EQ(FileText(), "\r\ntime.nist.gov\r\n\r\n\r\n");
  Settings next;
  EXPECT_EQ(ReadConfigFile(folder.path(), next), ConfigFileStatus::kFound);
  EXPECT_EQ(next.TimeServerHost, "time.nist.gov");
}

TEST_F(ConfigFileTest, ReadsFourLinesInOrder) {
  WriteFile("01,19200,N,8,1\r\nntp.example\r\n02,4800,E,7,2\r\ntrue\r\n");
  EXPECT_EQ(ReadConfigFile(folder.path(), settings), ConfigFileStatus::kFound);
  EXPECT_EQ(settings, (Settings{"01,19200,N,8,1", "ntp.example", "02,4800,E,7,2", "true"}));
}

TEST_F(ConfigFileTest, EmptyHostLineIsReplacedAndStoredAtNextWrite) {
  WriteFile("01,19200,N,8,1\r\n\r\n02,9600,N,8,1\r\nfalse\r\n");
  ASSERT_EQ(ReadConfigFile(folder.path(), settings), ConfigFileStatus::kFound);
  UseDefaultHostIfEmpty(settings);
  ASSERT_TRUE(WriteConfigFile(folder.path(), settings));
  EXPECT_EQ(FileText(), "01,19200,N,8,1\r\ntime.nist.gov\r\n02,9600,N,8,1\r\nfalse\r\n");
}

TEST_F(ConfigFileTest, ThreeLineFileLeavesMirrorFlagUnchanged) {
  settings.MirrorFlag = "true";
  WriteFile("01,19200,N,8,1\r\nhost\r\n02,9600,N,8,1\r\n");
  ASSERT_EQ(ReadConfigFile(folder.path(), settings), ConfigFileStatus::kFound);
  EXPECT_EQ(settings.OutgoingPortLine, "02,9600,N,8,1");
  EXPECT_EQ(settings.MirrorFlag, "true");
}

TEST_F(ConfigFileTest, FifthLineIsDroppedAtNextWrite) {
  WriteFile("01,19200,N,8,1\r\nhost\r\n02,9600,N,8,1\r\nfalse\r\nextra line\r\n");
  ASSERT_EQ(ReadConfigFile(folder.path(), settings), ConfigFileStatus::kFound);
  ASSERT_TRUE(WriteConfigFile(folder.path(), settings));
  EXPECT_EQ(FileText(), "01,19200,N,8,1\r\nhost\r\n02,9600,N,8,1\r\nfalse\r\n");
}

struct LineEndCase {
  const char* name;
  const char* content;
};

class ConfigLineEndTest : public ConfigFileTest,
                          public ::testing::WithParamInterface<LineEndCase> {};

// A hand-edited file must not run together into the first setting.
TEST_P(ConfigLineEndTest, ReadsFourLines) {
  WriteFile(GetParam().content);
  ASSERT_EQ(ReadConfigFile(folder.path(), settings), ConfigFileStatus::kFound);
  EXPECT_EQ(settings, (Settings{"01,9600,N,8,1", "host", "02,9600,N,8,1", "true"}));
}

INSTANTIATE_TEST_SUITE_P(
    AllLineEnds, ConfigLineEndTest,
    ::testing::Values(LineEndCase{"CrLf", "01,9600,N,8,1\r\nhost\r\n02,9600,N,8,1\r\ntrue\r\n"},
                      LineEndCase{"Lf", "01,9600,N,8,1\nhost\n02,9600,N,8,1\ntrue\n"},
                      LineEndCase{"Cr", "01,9600,N,8,1\rhost\r02,9600,N,8,1\rtrue\r"},
                      LineEndCase{"Mixed", "01,9600,N,8,1\nhost\r\n02,9600,N,8,1\rtrue"},
                      LineEndCase{"NoEndAfterLast", "01,9600,N,8,1\r\nhost\r\n02,9600,N,8,1\r\ntrue"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigFileTest, SavePortLinesStoresBothAndWritesThreeLines) {
  settings = {"01,19200,N,8,1", "host", "02,9600,N,8,1", "true"};
  ASSERT_TRUE(SavePortLines(folder.path(), settings, "03,4800,N,8,1", "04,1200,E,7,2"));
  EXPECT_EQ(settings, (Settings{"03,4800,N,8,1", "host", "04,1200,E,7,2", "true"}));
  EXPECT_EQ(FileText(), "03,4800,N,8,1\r\nhost\r\n04,1200,E,7,2\r\n");
}

TEST_F(ConfigFileTest, WriteTruncatesLongerFile) {
  WriteFile(std::string(1000, 'x'));
  settings = {"a", "b", "c", "d"};
  ASSERT_TRUE(WriteConfigFile(folder.path(), settings));
  EXPECT_EQ(FileText(), "a\r\nb\r\nc\r\nd\r\n");
}

TEST_F(ConfigFileTest, WriteIntoMissingFolderFails) {
  EXPECT_FALSE(WriteConfigFile(folder.path() / "absent", settings));
  EXPECT_FALSE(SavePortLines(folder.path() / "absent", settings, "01", "02"));
}

TEST_F(ConfigFileTest, UnreadableFileIsNotMissing) {
  // A folder of that name exists but yields no lines.
  std::filesystem::create_directory(folder.path() / kConfigFileName);
  settings = {"a", "b", "c", "d"};
  EXPECT_EQ(ReadConfigFile(folder.path(), settings), ConfigFileStatus::kFound);
  EXPECT_EQ(settings, (Settings{"a", "b", "c", "d"}));
}

}  // namespace
}  // namespace vorlink
