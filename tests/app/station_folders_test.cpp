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

// What one start finds, by default a program built in the operator's own
// folder and started in another of theirs.
struct ChoiceCase {
  const char* name = "";
  std::optional<fs::path> station{};
  fs::path executable = "/home/op/build";
  bool writable = true;
  bool owned = true;
  fs::path current = "/home/op/work";
  bool currentOwned = true;
  std::optional<fs::path> home = "/home/op";
  bool homeOwned = true;
  std::optional<fs::path> account = "/home/op";
  // What is chosen.
  fs::path program{};
  fs::path working{};
  bool own = true;
  std::string error{};
};

void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.name; }

class StationChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(StationChoiceTest, GivesBothFolders) {
  const ChoiceCase& c = GetParam();
  StationFacts facts;
  facts.stationOption = c.station;
  facts.executableFolder = c.executable;
  facts.executableFolderWritable = c.writable;
  facts.executableFolderOwned = c.owned;
  facts.currentFolder = c.current;
  facts.currentFolderOwned = c.currentOwned;
  facts.home = c.home;
  facts.homeOwned = c.homeOwned;
  facts.accountHome = c.account;
  const StationFolders folders = ChooseStationFolders(facts);
  EXPECT_EQ(folders.programFolder, c.program);
  EXPECT_EQ(folders.workingFolder, c.working);
  EXPECT_EQ(folders.ownStation, c.own);
  EXPECT_EQ(folders.error, c.error);
}

const fs::path kHomeStation = "/home/op/VORLINK";

INSTANTIATE_TEST_SUITE_P(
    BesideTheProgram, StationChoiceTest,
    ::testing::Values(
        ChoiceCase{.name = "InTheOperatorsOwnFolder", .program = "/home/op/build",
                   .working = "/home/op/work", .own = false},
        ChoiceCase{.name = "AFolderNamedLikeASystemOne", .executable = "/home/usr/bin",
                   .current = "/srv/etc", .program = "/home/usr/bin", .working = "/srv/etc",
                   .own = false}),
    [](const auto& info) { return std::string(info.param.name); });

// A program folder in or below a system folder is never taken, not even by
// root, who could write there.
INSTANTIATE_TEST_SUITE_P(
    InTheHomeStation, StationChoiceTest,
    ::testing::Values(
        ChoiceCase{.name = "ProgramInUsrBin", .executable = "/usr/bin", .program = kHomeStation,
                   .working = kHomeStation},
        ChoiceCase{.name = "ProgramInUsrLocalBin", .executable = "/usr/local/bin/",
                   .program = kHomeStation, .working = kHomeStation},
        ChoiceCase{.name = "ProgramInBin", .executable = "/bin", .program = kHomeStation,
                   .working = kHomeStation},
        ChoiceCase{.name = "ProgramInSbin", .executable = "/sbin", .program = kHomeStation,
                   .working = kHomeStation},
        ChoiceCase{.name = "ProgramBelowLib", .executable = "/lib/vorlink", .program = kHomeStation,
                   .working = kHomeStation},
        ChoiceCase{.name = "ProgramBelowOpt", .executable = "/opt/v/bin", .program = kHomeStation,
                   .working = kHomeStation},
        ChoiceCase{.name = "ProgramInEtc", .executable = "/etc", .program = kHomeStation,
                   .working = kHomeStation},
        ChoiceCase{.name = "ProgramUnwritable", .executable = "/srv/ro", .writable = false,
                   .program = kHomeStation, .working = kHomeStation},
        ChoiceCase{.name = "ProgramOfAnotherUser", .owned = false, .program = kHomeStation,
                   .working = kHomeStation},
        ChoiceCase{.name = "StartedInEtc", .current = "/etc/default", .program = kHomeStation,
                   .working = kHomeStation},
        ChoiceCase{.name = "StartedInAnotherUsersFolder", .currentOwned = false,
                   .program = kHomeStation, .working = kHomeStation},
        ChoiceCase{.name = "RootBySudo", .executable = "/usr/bin", .home = "/root",
                   .account = "/root", .program = "/root/VORLINK", .working = "/root/VORLINK"},
        ChoiceCase{.name = "RootBySudoKeepingTheOperatorsHome", .executable = "/usr/bin",
                   .homeOwned = false, .account = "/root", .program = "/root/VORLINK",
                   .working = "/root/VORLINK"},
        ChoiceCase{.name = "HomeUnsetButInTheAccount", .executable = "/usr/bin", .home = {},
                   .program = kHomeStation, .working = kHomeStation}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Refused, StationChoiceTest,
    ::testing::Values(
        ChoiceCase{.name = "NoHomeAtAll", .executable = "/srv/ro", .writable = false, .home = {},
                   .account = {}, .own = false,
                   .error = "cannot write in /srv/ro and no home folder of yours is known: start "
                            "with --station DIR"},
        ChoiceCase{.name = "OnlyASystemHome", .executable = "/usr/sbin", .home = "/usr/lib/daemon",
                   .account = "/usr/lib/daemon", .own = false,
                   .error = "/usr/sbin is a system folder and no home folder of yours is known: "
                            "start with --station DIR"},
        ChoiceCase{.name = "StationOptionInASystemFolder", .station = "/usr/share/st", .own = false,
                   .error = "--station /usr/share/st: a system folder is no station folder"},
        ChoiceCase{.name = "StationOptionEmpty", .station = "", .own = false,
                   .error = "--station needs a folder"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    StationOption, StationChoiceTest,
    ::testing::Values(
        ChoiceCase{.name = "Absolute", .station = "/srv/st", .writable = false, .home = {},
                   .program = "/srv/st", .working = "/srv/st"},
        ChoiceCase{.name = "BeatsAWritableProgram", .station = "/srv/st/", .program = "/srv/st/",
                   .working = "/srv/st/"},
        ChoiceCase{.name = "RelativeToTheCurrentFolder", .station = "../st", .program = "/home/op/st",
                   .working = "/home/op/st"}),
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
  EXPECT_TRUE(FolderOwned(temp.path()));
  EXPECT_FALSE(FolderOwned(temp.path() / "missing"));
}

}  // namespace
}  // namespace vorlink
