// The real program in the folders an operator gives it: --station DIR keeps
// everything in DIR wherever the program lies and is started, and an
// installed program that cannot write beside itself makes ~/VORLINK, with
// the package's sample scripts, and keeps everything there.
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "pty_pair.h"
#include "temp_folder.h"

extern char** environ;

namespace vorlink {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The test's environment with the offscreen platform and HOME set.
std::vector<std::string> Environment(const fs::path& home) {
  std::vector<std::string> entries{"QT_QPA_PLATFORM=offscreen", "HOME=" + home.string()};
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry(*e);
    if (entry.rfind("QT_QPA_PLATFORM=", 0) != 0 && entry.rfind("HOME=", 0) != 0) entries.push_back(entry);
  }
  return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (auto& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Starts argv[0] (looked up in PATH) in the working folder.
pid_t Start(std::vector<std::string> argv, const fs::path& working, const fs::path& home) {
  std::vector<std::string> env = Environment(home);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, working.c_str());
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0].c_str(), &actions, nullptr, Pointers(argv).data(),
                                   Pointers(env).data());
  posix_spawn_file_actions_destroy(&actions);
  return spawned == 0 ? pid : -1;
}

using testing::Reaper;
using testing::WaitForExit;

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

std::set<std::string> Extensions(const fs::path& folder) {
  std::set<std::string> extensions;
  for (const auto& entry : fs::directory_iterator(folder)) extensions.insert(entry.path().extension().string());
  return extensions;
}

// True once the program has started: its lock and its captures are made.
bool StartedIn(const fs::path& folder, std::chrono::seconds limit = 10s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    if (fs::exists(folder / "vorlink.lock") && Extensions(folder).count(".kss") == 1) return true;
    std::this_thread::sleep_for(50ms);
  }
  return false;
}

bool ScriptArrives(testing::PtyPair& port, const std::string& text) {
  std::string seen;
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < deadline) {
    const auto bytes = port.Read(50ms);
    seen.append(bytes.begin(), bytes.end());
    if (seen.find(text) != std::string::npos) return true;
  }
  return false;
}

TEST(StationFolderTest, StationOptionKeepsCapturesConfigurationAndLockInTheFolder) {
  testing::TempFolder programFolder;
  testing::TempFolder startedIn;
  testing::TempFolder home;
  testing::TempFolder station;
  testing::PtyPair com1;
  com1.LinkAs(station.path() / "COM1");
  std::ofstream(station.path() / "vorlink.ini", std::ios::binary)
      << "01,19200,N,8,1\r\n127.0.0.1\r\n\r\n\r\n";
  std::ofstream(station.path() / "tnc_init.txt", std::ios::binary) << "STATION ON\r\n";
  const fs::path program = programFolder.path() / "vorlink";
  fs::copy_file(VORLINK_EXECUTABLE, program);

  const pid_t pid = Start({program.string(), "--station", station.path().string()}, startedIn.path(),
                          home.path());
  const Reaper reaper(pid);
  ASSERT_GT(pid, 0);
  // The script of the station, sent over the station's COM1.
  EXPECT_TRUE(ScriptArrives(com1, "STATION ON\r"));
  ASSERT_TRUE(StartedIn(station.path()));
  EXPECT_EQ(Extensions(station.path()), (std::set<std::string>{"", ".dump", ".hex", ".ini", ".kss",
                                                               ".lock", ".log", ".pcap", ".txt"}));
  kill(pid, SIGTERM);
  EXPECT_EQ(WaitForExit(pid), 0);

  const std::string ini = testing::ReadText(station.path() / "vorlink.ini");
  EXPECT_EQ(ini.rfind("01,19200,N,8,1\r\n127.0.0.1\r\n", 0), 0u) << ini;
  EXPECT_FALSE(fs::exists(station.path() / "vorlink.lock"));
  EXPECT_EQ(Names(programFolder.path()), std::set<std::string>{"vorlink"});
  EXPECT_TRUE(Names(startedIn.path()).empty());
  EXPECT_TRUE(Names(home.path()).empty());
}

// An installed program's folder: bin/ beside share/vorlink/ with the samples.
struct Installed {
  explicit Installed(const fs::path& prefix)
      : bin(prefix / "bin"), data(prefix / "share" / "vorlink"), program(bin / "vorlink") {
    fs::create_directories(bin);
    fs::create_directories(data);
    fs::copy_file(VORLINK_EXECUTABLE, program);
    std::ofstream(data / "tnc_init.txt", std::ios::binary) << "# sample start\r\nKISS ON\r\n";
    std::ofstream(data / "tnc_exit.txt", std::ios::binary) << "# sample exit\r\n";
  }
  fs::path bin;
  fs::path data;
  fs::path program;
};

// Runs the command with folder mounted read-only, in mount and network
// namespaces of its own: even root cannot write there, and a first start,
// which asks the default time server, reaches no one.
std::vector<std::string> ReadOnlyFolderCommand(const fs::path& folder, std::vector<std::string> command) {
  std::vector<std::string> argv{"unshare"};
  if (getuid() != 0) {
    argv.push_back("--user");
    argv.push_back("--map-root-user");
  }
  for (const char* a : {"--mount", "--net", "sh", "-c",
                        "mount --bind -o ro \"$0\" \"$0\" 2>/dev/null && test ! -w \"$0\" && exec \"$@\"",
                        folder.c_str()}) {
    argv.emplace_back(a);
  }
  argv.insert(argv.end(), command.begin(), command.end());
  return argv;
}

bool ReadOnlyFolderPossible(const fs::path& folder) {
  std::string command;
  for (const std::string& a : ReadOnlyFolderCommand(folder, {"true"})) command += "'" + a + "' ";
  return std::system((command + ">/dev/null 2>&1").c_str()) == 0;
}

TEST(StationFolderTest, ProgramThatCannotWriteBesideItselfTakesHomeVorlink) {
  testing::TempFolder prefix;
  testing::TempFolder startedIn;
  testing::TempFolder home;
  const Installed installed(prefix.path());
  if (!ReadOnlyFolderPossible(installed.bin)) {
    GTEST_SKIP() << "no mount namespace here to make the program's folder read-only";
  }
  const fs::path station = home.path() / "VORLINK";

  const pid_t pid = Start(ReadOnlyFolderCommand(installed.bin, {installed.program.string()}),
                          startedIn.path(), home.path());
  const Reaper reaper(pid);
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(StartedIn(station));
  kill(pid, SIGTERM);
  EXPECT_EQ(WaitForExit(pid), 0);

  EXPECT_EQ(testing::ReadText(station / "tnc_init.txt"), "# sample start\r\nKISS ON\r\n");
  EXPECT_EQ(testing::ReadText(station / "tnc_exit.txt"), "# sample exit\r\n");
  // Missing at the start, so the setup dialog opened; written at the end.
  EXPECT_TRUE(fs::exists(station / "vorlink.ini"));
  EXPECT_FALSE(fs::exists(station / "vorlink.lock"));
  EXPECT_EQ(Names(installed.bin), std::set<std::string>{"vorlink"});
  EXPECT_TRUE(Names(startedIn.path()).empty());
}

TEST(StationFolderTest, HomeVorlinkAfterTheFirstStartKeepsTheOperatorsScripts) {
  testing::TempFolder prefix;
  testing::TempFolder home;
  const Installed installed(prefix.path());
  if (!ReadOnlyFolderPossible(installed.bin)) {
    GTEST_SKIP() << "no mount namespace here to make the program's folder read-only";
  }
  const fs::path station = home.path() / "VORLINK";
  fs::create_directories(station);
  std::ofstream(station / "vorlink.ini", std::ios::binary) << "\r\n127.0.0.1\r\n\r\n\r\n";
  std::ofstream(station / "tnc_init.txt", std::ios::binary) << "MY OWN\r\n";

  const pid_t pid = Start(ReadOnlyFolderCommand(installed.bin, {installed.program.string()}),
                          home.path(), home.path());
  const Reaper reaper(pid);
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(StartedIn(station));
  kill(pid, SIGTERM);
  EXPECT_EQ(WaitForExit(pid), 0);

  EXPECT_EQ(testing::ReadText(station / "tnc_init.txt"), "MY OWN\r\n");
  EXPECT_FALSE(fs::exists(station / "tnc_exit.txt"));
}

}  // namespace
}  // namespace vorlink
