#include "app/config_file.h"

#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>
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
    std::ofstream(folder.path() / kIniFileName, std::ios::binary) << content;
  }
  std::string FileText() { return ReadText(folder.path() / kIniFileName); }

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

std::set<std::string> Listing(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

TEST_F(ConfigFileTest, RewriteLeavesNoTemporaryFileAndKeepsPermissionsAndLinks) {
  WriteFile("old\r\n");
  std::filesystem::permissions(folder.path() / kIniFileName,
                               std::filesystem::perms::owner_read |
                                   std::filesystem::perms::owner_write |
                                   std::filesystem::perms::group_read);
  settings = {"a", "b", "c", "d"};
  ASSERT_TRUE(WriteConfigFile(folder.path(), settings));
  EXPECT_EQ(FileText(), "a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(Listing(folder.path()), std::set<std::string>{"vorlink.ini"});
  struct stat after {};
  ASSERT_EQ(::stat((folder.path() / kIniFileName).c_str(), &after), 0);
  EXPECT_EQ(after.st_mode & 0777, 0640u);

  // A link to the settings elsewhere stays a link; the file it names changes.
  std::filesystem::rename(folder.path() / kIniFileName, folder.path() / "kept.ini");
  std::filesystem::create_symlink("kept.ini", folder.path() / kIniFileName);
  ASSERT_TRUE(SavePortLines(folder.path(), settings, "01", "02"));
  EXPECT_TRUE(std::filesystem::is_symlink(folder.path() / kIniFileName));
  EXPECT_EQ(ReadText(folder.path() / "kept.ini"), "01\r\nb\r\n02\r\n");
  EXPECT_EQ(Listing(folder.path()), (std::set<std::string>{"kept.ini", "vorlink.ini"}));
}

// A folder whose writes fail part way: a tmpfs filled to the last byte, or a
// file size limit that cuts every write short.
class FailingFolder {
 public:
  virtual ~FailingFolder() = default;
  // False when this machine cannot provide the failure.
  virtual bool Start(const std::filesystem::path& folder) = 0;
};

class FullDisk final : public FailingFolder {
 public:
  bool Start(const std::filesystem::path& folder) override {
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0) return false;
    mounted_ = folder;
    return true;
  }
  // Filled after the old file is in place.
  void Fill() {
    std::ofstream filler(mounted_ / "filler", std::ios::binary);
    const std::string block(4096, 'f');
    for (int i = 0; i < 64 && filler.write(block.data(), block.size()); ++i) {
      filler.flush();
    }
  }
  ~FullDisk() override {
    if (!mounted_.empty()) ::umount(mounted_.c_str());
  }

 private:
  std::filesystem::path mounted_;
};

class FileSizeLimit final : public FailingFolder {
 public:
  bool Start(const std::filesystem::path&) override {
    if (::getrlimit(RLIMIT_FSIZE, &saved_) != 0) return false;
    previous_ = ::signal(SIGXFSZ, SIG_IGN);
    started_ = true;
    rlimit limit = saved_;
    limit.rlim_cur = kLimitBytes;
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() override {
    if (!started_) return;
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::signal(SIGXFSZ, previous_);
  }

 private:
  static constexpr rlim_t kLimitBytes = 8;
  bool started_ = false;
  rlimit saved_{};
  sighandler_t previous_ = SIG_DFL;
};

struct FailedWriteCase {
  const char* name;
  bool fullDisk;
  bool savePortLines;
};

void PrintTo(const FailedWriteCase& c, std::ostream* os) { *os << c.name; }

class ConfigFailedWriteTest : public ConfigFileTest,
                              public ::testing::WithParamInterface<FailedWriteCase> {};

TEST_P(ConfigFailedWriteTest, LeavesTheOldFileWholeAndNoTemporaryFile) {
  const std::string old = "01,19200,N,8,1\r\nhost\r\n02,19200,N,8,1\r\ntrue\r\n";
  const std::filesystem::path disk = folder.path() / "disk";
  std::filesystem::create_directory(disk);
  FullDisk fullDisk;
  FileSizeLimit sizeLimit;
  if (GetParam().fullDisk && !fullDisk.Start(disk)) {
    GTEST_SKIP() << "no tmpfs can be mounted here";
  }
  std::ofstream(disk / kIniFileName, std::ios::binary) << old;
  if (GetParam().fullDisk) fullDisk.Fill();
  const auto before = Listing(disk);

  settings = {"03,115200,N,8,1", "a.much.longer.time.server.name", "04,115200,N,8,1", "false"};
  if (!GetParam().fullDisk) {
    ASSERT_TRUE(sizeLimit.Start(disk));
  }
  const bool written =
      GetParam().savePortLines
          ? SavePortLines(disk, settings, settings.IncomingPortLine, "05,9600,N,8,1")
          : WriteConfigFile(disk, settings);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadText(disk / kIniFileName), old);
  EXPECT_EQ(Listing(disk), before);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ConfigFailedWriteTest,
    ::testing::Values(FailedWriteCase{"FullDiskAtShutDown", true, false},
                      FailedWriteCase{"FullDiskAtOk", true, true},
                      FailedWriteCase{"CutWriteAtShutDown", false, false},
                      FailedWriteCase{"CutWriteAtOk", false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigFileTest, UnreadableFileIsNotMissingAndSaysWhy) {
  // A folder of that name exists but yields no lines.
  std::filesystem::create_directory(folder.path() / kIniFileName);
  settings = {"a", "b", "c", "d"};
  std::string problem;
  EXPECT_EQ(ReadConfigFile(folder.path(), settings, &problem), ConfigFileStatus::kUnreadable);
  EXPECT_EQ(problem, "vorlink.ini: Is a directory");
  EXPECT_EQ(settings, (Settings{"a", "b", "c", "d"}));
}

}  // namespace
}  // namespace vorlink
