// Every program run as the operator runs it: --version and --help answer on
// standard output with status 0 (without a display, too), a wrong option is
// said on standard error with a non-zero status.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/package.h"
#include "temp_folder.h"

namespace vorlink {
namespace {

struct ProgramRun {
  int status;
  std::string out;
  std::string err;
};

// Without a display: a program that starts Qt before answering would fail.
ProgramRun RunProgram(const std::string& program, const std::string& arguments,
               const std::string& input = "/dev/null") {
  testing::TempFolder folder;
  const auto out = folder.path() / "stdout";
  const auto err = folder.path() / "stderr";
  const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" + program +
                              "' " + arguments + " >'" + out.string() + "' 2>'" + err.string() +
                              "' <'" + input + "'";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, testing::ReadText(out), testing::ReadText(err)};
}

struct Program {
  const char* name;
  const char* path;
};

void PrintTo(const Program& p, std::ostream* os) { *os << p.name; }

class CommandLineHabitsTest : public ::testing::TestWithParam<Program> {};

TEST_P(CommandLineHabitsTest, VersionIsNameAndVersionOnOneLine) {
  const ProgramRun run = RunProgram(GetParam().path, "--version");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, VersionText(GetParam().name) + "\n");
  // The name and version alone first, for scripts that read one line.
  EXPECT_EQ(run.out.substr(0, run.out.find('\n')), std::string(GetParam().name) + " " + std::string(ProgramVersion()));
  EXPECT_NE(run.out.find("\nLicense GPL-3.0-or-later"), std::string::npos);
  EXPECT_EQ(run.err, "");
}

TEST_P(CommandLineHabitsTest, HelpStartsWithTheUsage) {
  const ProgramRun run = RunProgram(GetParam().path, "--help");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("Usage: " + std::string(GetParam().name) + " ", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("--version"), std::string::npos);
  EXPECT_EQ(run.err, "");
}

TEST_P(CommandLineHabitsTest, WrongOptionGoesToStandardErrorAndFails) {
  const ProgramRun run = RunProgram(GetParam().path, "--no-such-option");
  EXPECT_NE(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(Programs, CommandLineHabitsTest,
                         ::testing::Values(
#ifdef VORLINK_EXE
                             Program{"vorlink", VORLINK_EXE},
                             Program{"vorlink-screenshots", VORLINK_SCREENSHOTS_EXE},
                             Program{"vorlink-view", VORLINK_VIEW_EXE},
#endif
                             Program{"vorlink-decode", VORLINK_DECODE_EXE},
                             Program{"vorlink-connect", VORLINK_CONNECT_EXE},
                             Program{"vorlink-sim-tnc", VORLINK_SIM_TNC_EXE},
                             Program{"vorlink-message", VORLINK_MESSAGE_EXE},
                             Program{"vorlink-make-sample", VORLINK_MAKE_SAMPLE_EXE}),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           std::erase(name, '-');
                           return name;
                         });

TEST(DecodeStandardInputTest, DashReadsTheCaptureFromStandardInput) {
  const ProgramRun run = RunProgram(VORLINK_DECODE_EXE, "--color=never -",
                             std::string(VORLINK_SAMPLES_DIR) + "/sample.kss");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(run.out == testing::ReadText(std::string(VORLINK_SAMPLES_DIR) + "/sample.txt"));
}

}  // namespace
}  // namespace vorlink
