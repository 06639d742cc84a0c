// vorlink-sim-tnc as an operator starts it: a link appears, frames come out
// of the linked device, what is sent to it is shown with -v, and a stop
// signal takes the link away.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "hex.h"
#include "temp_folder.h"

extern char** environ;

namespace vorlink {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::Hex;
using testing::ReadText;
using testing::TempFolder;

using Clock = std::chrono::steady_clock;
constexpr auto kBound = 2s;

template <typename Done>
bool WaitFor(Done done, std::chrono::milliseconds bound = kBound) {
  const auto until = Clock::now() + bound;
  while (!done()) {
    if (Clock::now() > until) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

// The tool running in the background, its output in a file.
class SimTnc {
 public:
  SimTnc(const std::vector<std::string>& args, const fs::path& output) {
    std::vector<std::string> all{VORLINK_SIM_TNC_EXE};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // Its complaints about bad arguments are expected here, not shown.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~SimTnc() {
    if (pid_ > 0 && !Exited()) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  SimTnc(const SimTnc&) = delete;
  SimTnc& operator=(const SimTnc&) = delete;

  bool started() const { return pid_ > 0; }
  void Signal(int signal) { ::kill(pid_, signal); }

  // The exit code once it ended within the bound.
  std::optional<int> Wait() {
    if (!WaitFor([&] { return Exited(); })) return std::nullopt;
    return WIFEXITED(status_) ? std::optional(WEXITSTATUS(status_)) : std::nullopt;
  }

 private:
  bool Exited() {
    if (exited_) return true;
    exited_ = ::waitpid(pid_, &status_, WNOHANG) == pid_;
    return exited_;
  }

  pid_t pid_ = -1;
  int status_ = 0;
  bool exited_ = false;
};

class SimTncTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(capture_, std::ios::binary).write(reinterpret_cast<const char*>(frames_.data()),
                                                    static_cast<std::streamsize>(frames_.size()));
  }

  // Reads from the opened device until `count` bytes came.
  static std::vector<std::uint8_t> ReadDevice(int fd, std::size_t count) {
    std::vector<std::uint8_t> got;
    WaitFor([&] {
      pollfd watch{fd, POLLIN, 0};
      if (::poll(&watch, 1, 10) > 0) {
        std::uint8_t chunk[256];
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0) got.insert(got.end(), chunk, chunk + n);
      }
      return got.size() >= count;
    });
    return got;
  }

  static int OpenRaw(const fs::path& device) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return fd;
    termios raw{};
    ::tcgetattr(fd, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd, TCSANOW, &raw);
    return fd;
  }

  TempFolder folder_;
  fs::path link_ = folder_.path() / "COM1";
  fs::path capture_ = folder_.path() / "tiny.kss";
  fs::path output_ = folder_.path() / "out.txt";
  // Two frames; the stray bytes in front must come out as they are.
  std::vector<std::uint8_t> frames_ = Hex("0D 0A C0 00 41 42 C0 C0 00 43 C0");
};

TEST_F(SimTncTest, PlaysTheCaptureIntoTheLinkedDeviceAndRemovesTheLinkOnStop) {
  SimTnc sim({"-v", "--baud", "115200", "--gap", "5", link_.string(), capture_.string()}, output_);
  ASSERT_TRUE(sim.started());
  ASSERT_TRUE(WaitFor([&] { return fs::is_symlink(link_); }));
  const int fd = OpenRaw(link_);
  ASSERT_GE(fd, 0);

  // Played again and again: two rounds arrive, in order.
  auto twice = frames_;
  twice.insert(twice.end(), frames_.begin(), frames_.end());
  const auto got = ReadDevice(fd, twice.size());
  ASSERT_GE(got.size(), twice.size());
  EXPECT_EQ(std::vector(got.begin(), got.begin() + static_cast<long>(twice.size())), twice);

  const std::string keys = "KISS ON\r";
  ASSERT_EQ(::write(fd, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  EXPECT_TRUE(WaitFor([&] {
    return ReadText(output_).find("4B 49 53 53 20 4F 4E 0D") != std::string::npos;
  }));
  ::close(fd);

  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.Wait(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(link_)));
}

TEST_F(SimTncTest, WaitsForAProgramBeforePlaying) {
  SimTnc sim({"--baud", "115200", "--gap", "0", link_.string(), capture_.string()}, output_);
  ASSERT_TRUE(WaitFor([&] { return fs::is_symlink(link_); }));
  // Nobody listens for a while; nothing piles up meanwhile.
  std::this_thread::sleep_for(200ms);
  const int fd = OpenRaw(link_);
  ASSERT_GE(fd, 0);
  const auto got = ReadDevice(fd, frames_.size());
  ASSERT_GE(got.size(), frames_.size());
  EXPECT_EQ(std::vector(got.begin(), got.begin() + static_cast<long>(frames_.size())), frames_);
  ::close(fd);
  sim.Signal(SIGINT);
  EXPECT_EQ(sim.Wait(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(link_)));
}

TEST_F(SimTncTest, LeavesAFileOfTheSameNameAlone) {
  std::ofstream(link_) << "mine";
  SimTnc sim({link_.string(), capture_.string()}, output_);
  EXPECT_EQ(sim.Wait(), 1);
  EXPECT_EQ(ReadText(link_), "mine");
}

TEST_F(SimTncTest, ReplacesItsOwnStaleLink) {
  fs::create_symlink("/dev/pts/999999", link_);
  SimTnc sim({link_.string(), capture_.string()}, output_);
  ASSERT_TRUE(WaitFor([&] {
    std::error_code error;
    const fs::path target = fs::read_symlink(link_, error);
    return !error && target != "/dev/pts/999999";
  }));
  EXPECT_TRUE(fs::exists(link_));
  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.Wait(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(link_)));
}

TEST_F(SimTncTest, HelpAndBadArguments) {
  {
    SimTnc sim({"--help"}, output_);
    EXPECT_EQ(sim.Wait(), 0);
    EXPECT_NE(ReadText(output_).find("Usage: vorlink-sim-tnc"), std::string::npos);
  }
  {
    SimTnc sim({}, output_);
    EXPECT_EQ(sim.Wait(), 2);
  }
  {
    SimTnc sim({"--baud", "fast", link_.string()}, output_);
    EXPECT_EQ(sim.Wait(), 2);
  }
  {
    SimTnc sim({link_.string(), (folder_.path() / "missing.kss").string()}, output_);
    EXPECT_EQ(sim.Wait(), 1);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link_)));
  }
}

}  // namespace
}  // namespace vorlink
