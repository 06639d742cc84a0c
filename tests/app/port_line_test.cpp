#include "app/port_line.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlink {
namespace {

struct PortLineCase {
  const char* name;
  const char* line;
  int port;
  const char* settings;
};

class SplitPortLineTest : public ::testing::TestWithParam<PortLineCase> {};

TEST_P(SplitPortLineTest, GivesPortAndUpperCaseSettings) {
  const PortLineParts parts = SplitPortLine(GetParam().line);
  EXPECT_EQ(parts.port, GetParam().port);
  EXPECT_EQ(parts.settings, GetParam().settings);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitPortLineTest,
    ::testing::Values(
        PortLineCase{"DialogLine", "01,19200,N,8,1", 1, "19200,N,8,1"},
        PortLineCase{"HighestPort", "16,9600,N,8,1", 16, "9600,N,8,1"},
        // The settings still start at the fourth character.
        PortLineCase{"OneDigitPort", "1,9600,N,8,1", 1, "600,N,8,1"},
        PortLineCase{"LowerCaseSettings", "02,9600,n,8,1", 2, "9600,N,8,1"},
        PortLineCase{"Empty", "", 0, ""},
        PortLineCase{"ShorterThanFour", "01,", 1, ""},
        PortLineCase{"JustFour", "01,9", 1, "9"},
        PortLineCase{"LeadingBlank", " 7,4800,E,7,2", 7, "4800,E,7,2"},
        PortLineCase{"TrailingBlank", "3 ,4800,E,7,2", 3, "4800,E,7,2"},
        PortLineCase{"NoNumber", "COM1,9600", 0, "1,9600"},
        PortLineCase{"Negative", "-1,9600", -1, "9600"},
        PortLineCase{"FractionRoundsUp", ".6,9600", 1, "9600"},
        PortLineCase{"OnlyTwoCharactersCount", "123,9600", 12, ",9600"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlink
