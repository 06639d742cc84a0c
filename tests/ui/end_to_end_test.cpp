// The real program, started as an operator would start it: its own folder as
// the working directory, COM1 linked to a pseudo-terminal, the sample capture
// played in, stopped with SIGTERM.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "link/deframer.h"
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

TEST(EndToEndTest, SampleCaptureIsRecordedAndTheProgramStopsCleanly) {
  testing::TempFolder station;
  fs::copy_file(VORLINK_EXECUTABLE, station.path() / "vorlink");
  testing::PtyPair com1;
  com1.LinkAs(station.path() / "COM1");
  std::ofstream(station.path() / "vorlink.ini", std::ios::binary)
      << "01,19200,N,8,1\r\n127.0.0.1\r\n\r\n\r\n";
  const auto sample = testing::ReadBytes(VORLINK_SAMPLE);
  ASSERT_FALSE(sample.empty());

  const std::string program = (station.path() / "vorlink").string();
  std::vector<std::string> env{"QT_QPA_PLATFORM=offscreen"};
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::string(*e).rfind("QT_QPA_PLATFORM=", 0) != 0) env.emplace_back(*e);
  }
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
  const fs::path previous = fs::current_path();
  fs::current_path(station.path());
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data());
  fs::current_path(previous);
  ASSERT_EQ(spawned, 0);

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
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

  ASSERT_EQ(captured.size(), wanted);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(captured[2 * i + 1], expected[i]) << "frame " << i;
    EXPECT_EQ(captured[2 * i][1], 0x09) << "time frame " << i;
  }
  const std::string ini = testing::ReadText(station.path() / "vorlink.ini");
  EXPECT_EQ(std::count(ini.begin(), ini.end(), '\n'), 4) << ini;
}

}  // namespace
}  // namespace vorlink
