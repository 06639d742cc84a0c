#include "base/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/package.h"

namespace vorlink {
namespace {

constexpr OptionSpec kOptions[] = {
    {"--station", "DIR", "the station folder"},
    {"--quiet", "", "say less"},
};

CommandLine Parse(std::vector<std::string_view> args) { return ParseCommandLine(args, kOptions); }

struct ParseCase {
  const char* name;
  std::vector<std::string_view> args;
  std::map<std::string, std::string, std::less<>> options;
  std::vector<std::string> operands;
  bool help;
  bool version;
  std::string error;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class CommandLineParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CommandLineParseTest, GivesOptionsOperandsAndError) {
  const ParseCase& c = GetParam();
  const CommandLine line = Parse(c.args);
  EXPECT_EQ(line.options, c.options);
  EXPECT_EQ(line.operands, c.operands);
  EXPECT_EQ(line.help, c.help);
  EXPECT_EQ(line.version, c.version);
  EXPECT_EQ(line.error, c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineParseTest,
    ::testing::Values(
        ParseCase{"Nothing", {}, {}, {}, false, false, ""},
        ParseCase{"ValueAfterBlank", {"--station", "/tmp/s"}, {{"--station", "/tmp/s"}}, {}, false, false, ""},
        ParseCase{"ValueAfterEquals", {"--station=a b"}, {{"--station", "a b"}}, {}, false, false, ""},
        ParseCase{"EmptyValueAfterEquals", {"--station="}, {{"--station", ""}}, {}, false, false, ""},
        ParseCase{"ValueLooksLikeAnOption", {"--station", "--quiet"}, {{"--station", "--quiet"}}, {}, false, false, ""},
        ParseCase{"LastOfARepeatWins", {"--station", "a", "--station=b"}, {{"--station", "b"}}, {}, false, false, ""},
        ParseCase{"Switch", {"--quiet"}, {{"--quiet", ""}}, {}, false, false, ""},
        ParseCase{"SwitchWithValue", {"--quiet=yes"}, {}, {}, false, false, "option --quiet takes no value"},
        ParseCase{"ValueMissing", {"--station"}, {}, {}, false, false, "option --station needs a value (DIR)"},
        ParseCase{"Unknown", {"--stat", "x"}, {}, {}, false, false, "unknown option --stat"},
        ParseCase{"UnknownShort", {"-x"}, {}, {}, false, false, "unknown option -x"},
        ParseCase{"HelpShortAndLong", {"-h"}, {}, {}, true, false, ""},
        ParseCase{"HelpLong", {"--quiet", "--help"}, {{"--quiet", ""}}, {}, true, false, ""},
        ParseCase{"Version", {"--version"}, {}, {}, false, true, ""},
        ParseCase{"DashIsAnOperand", {"-"}, {}, {"-"}, false, false, ""},
        ParseCase{"Operands", {"a", "--quiet", "b"}, {{"--quiet", ""}}, {"a", "b"}, false, false, ""},
        ParseCase{"DoubleDashEndsOptions", {"--", "--quiet", "-h"}, {}, {"--quiet", "-h"}, false, false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLineTest, ValueOfAGivenAndAMissingOption) {
  const CommandLine line = Parse({"--station", "here"});
  EXPECT_TRUE(line.Has("--station"));
  EXPECT_EQ(line.Value("--station"), "here");
  EXPECT_FALSE(line.Has("--quiet"));
  EXPECT_EQ(line.Value("--quiet"), std::nullopt);
}

TEST(CommandLineTest, HelpListsEveryOptionWithItsValueAndTheBuiltInOnes) {
  EXPECT_EQ(OptionsHelp(kOptions),
            "  --station DIR         the station folder\n"
            "  --quiet               say less\n"
            "  -h, --help            show this text and exit\n"
            "  --version             show the program's name and version and exit\n");
}

TEST(CommandLineTest, LongOptionKeepsTwoBlanksBeforeItsHelp) {
  constexpr OptionSpec kLong[] = {{"--kiss-server", "[HOST:]PORT", "serve KISS"}};
  EXPECT_EQ(OptionsHelp(kLong).substr(0, OptionsHelp(kLong).find('\n')),
            "  --kiss-server [HOST:]PORT  serve KISS");
}

TEST(PackageTest, VersionTextIsNameBlankVersionThenTheLicence) {
  EXPECT_FALSE(ProgramVersion().empty());
  EXPECT_EQ(ProgramVersion().find_first_not_of("0123456789."), std::string_view::npos);
  const std::string text = VersionText("vorlink-decode");
  EXPECT_EQ(text.substr(0, text.find('\n')), "vorlink-decode " + std::string(ProgramVersion()));
  EXPECT_NE(text.find("\nLicense GPL-3.0-or-later"), std::string::npos);
}

TEST(PackageTest, DataFolderIsShareVorlinkBesideBin) {
  EXPECT_EQ(DataFolder("/usr/bin"), "/usr/share/vorlink");
  EXPECT_EQ(DataFolder("/opt/x/bin/"), "/opt/x/share/vorlink");
}

}  // namespace
}  // namespace vorlink
