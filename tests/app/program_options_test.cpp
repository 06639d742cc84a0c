#include "app/program_options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/package.h"
#include "fake_device_source.h"

namespace vorlink {
namespace {

struct Answer {
  std::optional<int> status;
  std::string out;
  std::string err;
};

std::string Contents(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char buffer[512];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  std::fclose(file);
  return text;
}

Answer AnswerTo(std::vector<std::string_view> args, SerialDeviceSource* devices = nullptr) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  Answer answer;
  answer.status = AnswerCommandLine(ParseProgramOptions(args), out, err, devices);
  answer.out = Contents(out);
  answer.err = Contents(err);
  return answer;
}

TEST(ProgramOptionsTest, StationOptionRunsTheProgram) {
  const Answer answer = AnswerTo({"--station", "/srv/station"});
  EXPECT_EQ(answer.status, std::nullopt);
  EXPECT_EQ(answer.out + answer.err, "");
  EXPECT_EQ(ParseProgramOptions(std::vector<std::string_view>{"--station=/s"}).Value(kStationOption),
            "/s");
}

TEST(ProgramOptionsTest, KissTcpOptionNamesThePeerForThisRun) {
  const std::vector<std::string_view> args{"--kiss-tcp", "127.0.0.1:8100"};
  const CommandLine line = ParseProgramOptions(args);
  EXPECT_FALSE(AnswerCommandLine(line, stdout, stderr).has_value());
  EXPECT_EQ(KissTcpOption(line), (KissTcpAddress{"127.0.0.1", 8100}));
  const std::vector<std::string_view> none;
  EXPECT_FALSE(KissTcpOption(ParseProgramOptions(none)).has_value());
}

TEST(ProgramOptionsTest, KissServerOptionNamesWhereToListenForThisRun) {
  struct Row {
    const char* value;
    std::optional<KissTcpAddress> address;
  } rows[] = {
      {"8100", KissTcpAddress{"127.0.0.1", 8100}},
      {"0.0.0.0:8200", KissTcpAddress{"0.0.0.0", 8200}},
      {"[::1]:8300", KissTcpAddress{"::1", 8300}},
      {"myhost", std::nullopt},
      {"[::1]", std::nullopt},
      {"70000", std::nullopt},
      {"host:", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    const std::vector<std::string_view> args{"--kiss-server", row.value};
    const CommandLine line = ParseProgramOptions(args);
    EXPECT_EQ(KissServerOption(line), row.address);
    EXPECT_EQ(AnswerCommandLine(line, stdout, stderr).has_value(), !row.address.has_value());
  }
  const std::vector<std::string_view> none;
  EXPECT_FALSE(KissServerOption(ParseProgramOptions(none)).has_value());
}

TEST(ProgramOptionsTest, VersionIsNameAndVersionThenTheLicence) {
  const Answer answer = AnswerTo({"--version"});
  EXPECT_EQ(answer.status, 0);
  EXPECT_EQ(answer.out, VersionText("vorlink") + "\n");
  EXPECT_EQ(answer.err, "");
}

TEST(ProgramOptionsTest, HelpNamesTheStationOption) {
  const Answer answer = AnswerTo({"-h"});
  EXPECT_EQ(answer.status, 0);
  EXPECT_EQ(answer.out.rfind("Usage: vorlink [OPTION]...\n", 0), 0u);
  EXPECT_NE(answer.out.find("  --station DIR "), std::string::npos);
  EXPECT_NE(answer.out.find("~/VORLINK"), std::string::npos);
  EXPECT_EQ(answer.err, "");
}

TEST(ProgramOptionsTest, ListDevicesPrintsTheDialogsListAndExits) {
  testing::FakeDeviceSource source;
  source.devices = {{"/dev/serial/by-id/usb-TNC", "/dev/ttyUSB0", "TNC-X", "Maker", "7"},
                    {"/dev/ttyS0", "/dev/ttyS0", "", "", ""}};
  Answer answer = AnswerTo({"--list-devices"}, &source);
  EXPECT_EQ(answer.status, 0);
  EXPECT_EQ(answer.out,
            "/dev/serial/by-id/usb-TNC (/dev/ttyUSB0, TNC-X, Maker, serial number 7)\n"
            "/dev/ttyS0\n");
  EXPECT_EQ(answer.err, "");
  source.devices.clear();
  answer = AnswerTo({"--list-devices"}, &source);
  EXPECT_EQ(answer.status, 0);
  EXPECT_EQ(answer.out, "");
  EXPECT_EQ(answer.err, "vorlink: no serial devices found\n");
}

struct WrongCase {
  const char* name;
  std::vector<std::string_view> args;
  const char* err;
};

void PrintTo(const WrongCase& c, std::ostream* os) { *os << c.name; }

class WrongArgumentsTest : public ::testing::TestWithParam<WrongCase> {};

TEST_P(WrongArgumentsTest, OneLineOnStandardErrorAndStatusTwo) {
  const Answer answer = AnswerTo(GetParam().args);
  EXPECT_EQ(answer.status, kExitUsage);
  EXPECT_EQ(answer.out, "");
  EXPECT_EQ(answer.err, GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WrongArgumentsTest,
    ::testing::Values(
        WrongCase{"Unknown", {"--kiss"}, "vorlink: unknown option --kiss (try --help)\n"},
        WrongCase{"ValueMissing", {"--station"},
                  "vorlink: option --station needs a value (DIR) (try --help)\n"},
        WrongCase{"Operand", {"capture.kss"},
                  "vorlink: unexpected argument capture.kss (try --help)\n"},
        WrongCase{"WrongBeatsHelp", {"--help", "--bad"}, "vorlink: unknown option --bad (try --help)\n"},
        WrongCase{"KissTcpNoAddress", {"--kiss-tcp", "host:port"},
                  "vorlink: --kiss-tcp wants HOST:PORT, not host:port (try --help)\n"},
        WrongCase{"KissServerNoPort", {"--kiss-server", "myhost"},
                  "vorlink: --kiss-server wants [HOST:]PORT, not myhost (try --help)\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlink
