#include "app/station_folders.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "temp_folder.h"

namespace vorlink {
namespace {

namespace fs = std::filesystem;

struct ChoiceCase {
  const char* name;
  std::optional<fs::path> station;
  bool writable;
  std::optional<fs::path> home;
  fs::path program;
  fs::path working;
  bool own;
  std::string error;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.name; }

class StationChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(StationChoiceTest, GivesBothFolders) {
  const ChoiceCase& c = GetParam();
  StationFacts facts;
  facts.stationOption = c.station;
  facts.executableFolder = "/opt/v/bin";
  facts.executableFolderWritable = c.writable;
  facts.currentFolder = "/home/op/work";
  facts.home = c.home;
  const StationFolders folders = ChooseStationFolders(facts);
  EXPECT_EQ(folders.programFolder, c.program);
  EXPECT_EQ(folders.workingFolder, c.working);
  EXPECT_EQ(folders.ownStation, c.own);
  EXPECT_EQ(folders.error, c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StationChoiceTest,
    ::testing::Values(
        ChoiceCase{"BesideAWritableProgram", {}, true, "/home/op", "/opt/v/bin", "/home/op/work", false, ""},
        ChoiceCase{"HomeStationForAnInstalledProgram", {}, false, "/home/op", "/home/op/VORLINK",
                   "/home/op/VORLINK", true, ""},
        ChoiceCase{"NoHomeForAnInstalledProgram", {}, false, {}, "", "", false,
                   "cannot write in /opt/v/bin and HOME is not set: start with --station DIR"},
        ChoiceCase{"StationOptionAbsolute", "/srv/st", false, {}, "/srv/st", "/srv/st", true, ""},
        ChoiceCase{"StationOptionBeatsAWritableProgram", "/srv/st/", true, "/home/op", "/srv/st/",
                   "/srv/st/", true, ""},
        ChoiceCase{"StationOptionRelativeToTheCurrentFolder", "../st", true, {}, "/home/op/st",
                   "/home/op/st", true, ""},
        ChoiceCase{"StationOptionEmpty", "", true, {}, "", "", false, "--station needs a folder"}),
    [](const auto& info) { return std::string(info.param.name); });

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

class MakeStationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(data_);
    std::ofstream(data_ / "tnc_init.txt", std::ios::binary) << "KISS ON\r\n";
    std::ofstream(data_ / "tnc_exit.txt", std::ios::binary) << "$\r\n";
  }
  testing::TempFolder temp_;
  fs::path data_ = temp_.path() / "share" / "vorlink";
  fs::path station_ = temp_.path() / "home" / "VORLINK";
};

TEST_F(MakeStationTest, NewFolderGetsBothSampleScripts) {
  const StationMade made = MakeStationFolder(station_, data_);
  EXPECT_TRUE(made.usable);
  EXPECT_TRUE(made.problems.empty());
  EXPECT_EQ(testing::ReadText(station_ / "tnc_init.txt"), "KISS ON\r\n");
  EXPECT_EQ(testing::ReadText(station_ / "tnc_exit.txt"), "$\r\n");
  EXPECT_EQ(Names(station_), (std::set<std::string>{"tnc_exit.txt", "tnc_init.txt"}));
}

TEST_F(MakeStationTest, FolderWithoutConfigurationGetsTheScriptsItLacks) {
  fs::create_directories(station_);
  std::ofstream(station_ / "tnc_init.txt", std::ios::binary) << "MINE\r\n";
  const StationMade made = MakeStationFolder(station_, data_);
  EXPECT_TRUE(made.usable);
  EXPECT_TRUE(made.problems.empty());
  EXPECT_EQ(testing::ReadText(station_ / "tnc_init.txt"), "MINE\r\n");
  EXPECT_EQ(testing::ReadText(station_ / "tnc_exit.txt"), "$\r\n");
}

TEST_F(MakeStationTest, FolderWithConfigurationIsLeftAsItIs) {
  fs::create_directories(station_);
  std::ofstream(station_ / "vorlink.ini", std::ios::binary) << "\r\n\r\n\r\n\r\n";
  const StationMade made = MakeStationFolder(station_, data_);
  EXPECT_TRUE(made.usable);
  EXPECT_TRUE(made.problems.empty());
  EXPECT_EQ(Names(station_), std::set<std::string>{"vorlink.ini"});
}

TEST_F(MakeStationTest, MissingSampleIsSaidAndTheFolderStillServes) {
  fs::remove(data_ / "tnc_exit.txt");
  const StationMade made = MakeStationFolder(station_, data_);
  EXPECT_TRUE(made.usable);
  ASSERT_EQ(made.problems.size(), 1u);
  EXPECT_EQ(made.problems[0].rfind("cannot read " + (data_ / "tnc_exit.txt").string() + ": ", 0), 0u)
      << made.problems[0];
  EXPECT_TRUE(fs::exists(station_ / "tnc_init.txt"));
}

TEST_F(MakeStationTest, OversizedSampleIsNotCopied) {
  std::ofstream(data_ / "tnc_init.txt", std::ios::binary) << std::string(65 * 1024, 'A');
  const StationMade made = MakeStationFolder(station_, data_);
  ASSERT_EQ(made.problems.size(), 1u);
  EXPECT_NE(made.problems[0].find("larger than a script can be"), std::string::npos);
  EXPECT_FALSE(fs::exists(station_ / "tnc_init.txt"));
}

TEST_F(MakeStationTest, FileInTheWayMakesNoStation) {
  fs::create_directories(station_.parent_path());
  std::ofstream(station_) << "a file";
  const StationMade made = MakeStationFolder(station_, data_);
  EXPECT_FALSE(made.usable);
  ASSERT_EQ(made.problems.size(), 1u);
  EXPECT_EQ(made.problems[0].rfind("cannot make the station folder " + station_.string() + ": ", 0), 0u)
      << made.problems[0];
}

TEST(FolderWritableTest, TellsAWritableFolderFromAMissingOne) {
  testing::TempFolder temp;
  EXPECT_TRUE(FolderWritable(temp.path()));
  EXPECT_FALSE(FolderWritable(temp.path() / "missing"));
}

}  // namespace
}  // namespace vorlink
