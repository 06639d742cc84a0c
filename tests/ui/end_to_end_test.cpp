// The real program, started as an operator would start it: its own folder as
// the working directory, COM1 linked to a pseudo-terminal, the sample capture
// played in, stopped with SIGTERM.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "link/deframer.h"
#include "child_process.h"
#include "pty_pair.h"
#include "temp_folder.h"

extern char** environ;

namespace vorlink {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class FrameList final : public UnitSink {
 public:
  std::vector<std::vector<std::uint8_t>> frames;
  void OnUnit(std::span<const std::uint8_t> frame) override {
    if (frame.size() > 2) frames.emplace_back(frame.begin(), frame.end());
  }
  void OnEscape(std::uint8_t) override {}
};

std::vector<std::vector<std::uint8_t>> Frames(const std::vector<std::uint8_t>& stream) {
  Deframer deframer;
  FrameList list;
  deframer.Feed(stream, list);
  return list.frames;
}

fs::path OnlyFile(const fs::path& folder, const std::string& extension) {
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == extension) return entry.path();
  }
  return {};
}

// The environment of the test, with the offscreen platform.
class Environment {
 public:
  Environment() {
    entries_.emplace_back("QT_QPA_PLATFORM=offscreen");
    for (char** e = environ; *e != nullptr; ++e) {
      if (std::string(*e).rfind("QT_QPA_PLATFORM=", 0) != 0) entries_.emplace_back(*e);
    }
    for (auto& e : entries_) pointers_.push_back(e.data());
    pointers_.push_back(nullptr);
  }
  char* const* Pointers() { return pointers_.data(); }

 private:
  std::vector<std::string> entries_;
  std::vector<char*> pointers_;
};

// The program copied into its folder and started in the working folder
// (its own, as the operator starts it, unless told); its standard error goes
// to errorFd when one is given.
pid_t StartProgram(const fs::path& programFolder, const fs::path& workingFolder = {},
                   int errorFd = -1, std::vector<std::string> options = {}) {
  const std::string program = (programFolder / "vorlink").string();
  if (!fs::exists(program)) fs::copy_file(VORLINK_EXECUTABLE, program);
  const fs::path working = workingFolder.empty() ? programFolder : workingFolder;
  Environment env;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, working.c_str());
  if (errorFd >= 0) posix_spawn_file_actions_adddup2(&actions, errorFd, STDERR_FILENO);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (std::string& option : options) argv.push_back(option.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), env.Pointers());
  posix_spawn_file_actions_destroy(&actions);
  return spawned == 0 ? pid : -1;
}

using testing::Reaper;
using testing::WaitForExit;

void WriteStation(const fs::path& station, testing::PtyPair& com1) {
  com1.LinkAs(station / "COM1");
  std::ofstream(station / "vorlink.ini", std::ios::binary)
      << "01,19200,N,8,1\r\n127.0.0.1\r\n\r\n\r\n";
  std::ofstream(station / "tnc_init.txt", std::ios::binary) << "KISS ON\r\n";
}

// Waits for the text to come over the port.
bool TextArrives(testing::PtyPair& com1, const std::string& text) {
  std::string seen;
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < deadline) {
    const auto bytes = com1.Read(50ms);
    seen.append(bytes.begin(), bytes.end());
    if (seen.find(text) != std::string::npos) return true;
  }
  return false;
}

// Waits for the start script, which the program sends once it has started.
bool StartScriptArrives(testing::PtyPair& com1) { return TextArrives(com1, "KISS ON\r"); }

TEST(EndToEndTest, SampleCaptureIsRecordedAndTheProgramStopsCleanly) {
  testing::TempFolder station;
  testing::PtyPair com1;
  WriteStation(station.path(), com1);
  const auto sample = testing::ReadBytes(VORLINK_SAMPLE);
  ASSERT_FALSE(sample.empty());
  const pid_t pid = StartProgram(station.path());
  const Reaper reaper(pid);
  ASSERT_GT(pid, 0);

  // The program opens COM1 during its start; the pseudo-terminal keeps what
  // is written before that.
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(com1.Write(sample), sample.size());
  const auto expected = Frames(sample);
  // Every received frame follows its own time frame in the capture.
  const auto wanted = 2 * expected.size();
  std::vector<std::vector<std::uint8_t>> captured;
  const auto deadline = std::chrono::steady_clock::now() + 15s;
  while (std::chrono::steady_clock::now() < deadline) {
    com1.Read();  // the start script; keeps the line from filling up
    const fs::path kss = OnlyFile(station.path(), ".kss");
    if (!kss.empty()) captured = Frames(testing::ReadBytes(kss));
    if (captured.size() >= wanted) break;
    std::this_thread::sleep_for(50ms);
  }
  kill(pid, SIGTERM);
  EXPECT_EQ(WaitForExit(pid), 0);

  ASSERT_EQ(captured.size(), wanted);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(captured[2 * i + 1], expected[i]) << "frame " << i;
    EXPECT_EQ(captured[2 * i][1], 0x09) << "time frame " << i;
  }
  const std::string ini = testing::ReadText(station.path() / "vorlink.ini");
  EXPECT_EQ(std::count(ini.begin(), ini.end(), '\n'), 4) << ini;
}

// Every entry of the folder with its size and modification time, links
// taken as themselves.
std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> Listing(const fs::path& folder) {
  std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> entries;
  for (const auto& entry : fs::directory_iterator(folder)) {
    struct stat info {};
    lstat(entry.path().c_str(), &info);
    const auto modified = fs::file_time_type(std::chrono::seconds(info.st_mtim.tv_sec) +
                                             std::chrono::nanoseconds(info.st_mtim.tv_nsec));
    entries[entry.path().filename().string()] = {static_cast<std::uintmax_t>(info.st_size), modified};
  }
  return entries;
}

std::string ReadAll(int fd) {
  std::string text;
  char buffer[256];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(n));
  return text;
}

// The text's last line, without its line end.
std::string LastLine(std::string text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text.substr(text.rfind('\n') + 1);
}

// Where the second program lies and where it is started: either folder of
// the running one is enough to refuse it.
struct SecondStartCase {
  const char* name;
  bool programInStation;
  bool workingInStation;
};

void PrintTo(const SecondStartCase& c, std::ostream* os) { *os << c.name; }

class SecondStartTest : public ::testing::TestWithParam<SecondStartCase> {};

TEST_P(SecondStartTest, ExitsWithTheTextAndChangesNoFile) {
  testing::TempFolder station;
  testing::TempFolder elsewhere;
  testing::PtyPair com1;
  WriteStation(station.path(), com1);
  const pid_t first = StartProgram(station.path());
  const Reaper reaperFirst(first);
  ASSERT_GT(first, 0);
  ASSERT_TRUE(StartScriptArrives(com1));
  // A program runs for days: an old lock of a live one still holds.
  const fs::path lock = station.path() / "vorlink.lock";
  ASSERT_TRUE(fs::exists(lock));
  fs::last_write_time(lock, fs::last_write_time(lock) - std::chrono::hours(24));
  const fs::path programFolder = GetParam().programInStation ? station.path() : elsewhere.path();
  const fs::path workingFolder = GetParam().workingInStation ? station.path() : elsewhere.path();
  if (!fs::exists(programFolder / "vorlink")) {
    fs::copy_file(VORLINK_EXECUTABLE, programFolder / "vorlink");
  }
  auto stationBefore = Listing(station.path());
  const auto elsewhereBefore = Listing(elsewhere.path());

  int error[2];
  ASSERT_EQ(pipe2(error, O_CLOEXEC), 0);
  const pid_t second = StartProgram(programFolder, workingFolder, error[1]);
  const Reaper reaperSecond(second);
  close(error[1]);
  ASSERT_GT(second, 0);
  const int status = WaitForExit(second);
  // Its standard error ends only with it.
  if (status < 0) kill(second, SIGKILL);
  EXPECT_EQ(status, 1);
  // Qt may warn about the test's environment before.
  const std::string errorText = ReadAll(error[0]);
  close(error[0]);
  EXPECT_EQ(LastLine(errorText),
            "VORLINK is already running in this folder (process " + std::to_string(first) + ").");
  auto stationAfter = Listing(station.path());
  EXPECT_TRUE(com1.Read(200ms).empty()) << "the second program opened COM1";
  // The first program goes on logging what it shows (its time server's answer).
  for (auto* listing : {&stationBefore, &stationAfter}) listing->erase("vorlink.log");
  EXPECT_EQ(stationAfter, stationBefore);
  EXPECT_EQ(Listing(elsewhere.path()), elsewhereBefore);

  kill(first, SIGTERM);
  EXPECT_EQ(WaitForExit(first), 0);
  EXPECT_FALSE(fs::exists(lock));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, SecondStartTest,
    ::testing::Values(SecondStartCase{"SameFolder", true, true},
                      SecondStartCase{"SameProgramFolder", true, false},
                      SecondStartCase{"SameWorkingFolder", false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EndToEndTest, LockOfAKilledProgramIsTakenOver) {
  testing::TempFolder station;
  testing::PtyPair com1;
  WriteStation(station.path(), com1);
  const pid_t killed = StartProgram(station.path());
  const Reaper reaperKilled(killed);
  ASSERT_GT(killed, 0);
  ASSERT_TRUE(StartScriptArrives(com1));
  kill(killed, SIGKILL);
  ASSERT_EQ(WaitForExit(killed), 128);
  ASSERT_TRUE(fs::exists(station.path() / "vorlink.lock"));

  const pid_t next = StartProgram(station.path());
  const Reaper reaperNext(next);
  ASSERT_GT(next, 0);
  EXPECT_TRUE(StartScriptArrives(com1));
  kill(next, SIGTERM);
  EXPECT_EQ(WaitForExit(next), 0);
  EXPECT_FALSE(fs::exists(station.path() / "vorlink.lock"));
}

class StopSignalTest : public ::testing::TestWithParam<int> {};

// The desktop session ending, kill, Ctrl+C: the whole shut-down, then the end.
TEST_P(StopSignalTest, RunsTheShutDownAndReleasesTheLock) {
  testing::TempFolder station;
  testing::TempFolder programFolder;
  testing::PtyPair com1;
  WriteStation(station.path(), com1);
  std::ofstream(station.path() / "tnc_exit.txt", std::ios::binary) << "KISS OFF\r\n";
  const pid_t pid = StartProgram(programFolder.path(), {}, -1, {"--station", station.path().string()});
  const Reaper reaper(pid);
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(StartScriptArrives(com1));
  ASSERT_TRUE(fs::exists(station.path() / "vorlink.lock"));
  kill(pid, GetParam());
  EXPECT_TRUE(TextArrives(com1, "KISS OFF\r"));
  EXPECT_EQ(WaitForExit(pid), 0);
  EXPECT_FALSE(fs::exists(station.path() / "vorlink.lock"));
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignalTest, ::testing::Values(SIGTERM, SIGHUP, SIGINT),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

// A software TNC on 127.0.0.1: one listening socket, one peer at a time.
class LoopbackListener {
 public:
  LoopbackListener() {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 1);
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~LoopbackListener() {
    if (peer_ >= 0) close(peer_);
    close(listener_);
  }
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  int Port() const { return port_; }
  bool Accept(std::chrono::milliseconds wait) {
    pollfd p{listener_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(wait.count())) <= 0) return false;
    peer_ = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    return peer_ >= 0;
  }
  bool Send(const std::vector<std::uint8_t>& bytes) {
    return write(peer_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }
  // Whatever the program sent, waiting up to the given time.
  std::size_t Pending(std::chrono::milliseconds wait) {
    pollfd p{peer_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(wait.count())) <= 0) return 0;
    char buffer[256];
    const ssize_t n = recv(peer_, buffer, sizeof buffer, MSG_DONTWAIT);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
  }

 private:
  int listener_ = -1;
  int peer_ = -1;
  int port_ = 0;
};

TEST(EndToEndTest, KissTcpPeerForOneRunIsRecordedAndChangesNoSetting) {
  testing::TempFolder station;
  testing::PtyPair com1;
  WriteStation(station.path(), com1);
  const std::string ini = testing::ReadText(station.path() / "vorlink.ini");
  LoopbackListener tnc;
  const pid_t pid = StartProgram(station.path(), {}, -1,
                                 {"--kiss-tcp", "127.0.0.1:" + std::to_string(tnc.Port())});
  const Reaper reaper(pid);
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(tnc.Accept(10s));
  const auto sample = testing::ReadBytes(VORLINK_SAMPLE);
  ASSERT_TRUE(tnc.Send(sample));
  const auto expected = Frames(sample);
  std::vector<std::vector<std::uint8_t>> captured;
  const auto deadline = std::chrono::steady_clock::now() + 15s;
  while (std::chrono::steady_clock::now() < deadline) {
    const fs::path kss = OnlyFile(station.path(), ".kss");
    if (!kss.empty()) captured = Frames(testing::ReadBytes(kss));
    if (captured.size() >= 2 * expected.size()) break;
    std::this_thread::sleep_for(50ms);
  }
  // No script goes to a peer that takes frames only, nor to COM1.
  EXPECT_EQ(tnc.Pending(200ms), 0u);
  EXPECT_TRUE(com1.Read().empty());
  kill(pid, SIGTERM);
  EXPECT_EQ(WaitForExit(pid), 0);

  ASSERT_EQ(captured.size(), 2 * expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(captured[2 * i + 1], expected[i]) << "frame " << i;
  }
  EXPECT_EQ(testing::ReadText(station.path() / "vorlink.ini"), ini);
  EXPECT_FALSE(fs::exists(station.path() / "vorlink.conf"));
  const std::string log = testing::ReadText(station.path() / "vorlink.log");
  EXPECT_NE(log.find("opening connection to TIMESERVER [127.0.0.1]\r\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace vorlink
