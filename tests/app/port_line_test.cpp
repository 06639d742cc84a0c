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
        // Read by its commas, not by position.
        PortLineCase{"OneDigitPort", "1,9600,N,8,1", 1, "9600,N,8,1"},
        PortLineCase{"OneDigitPortLowerCase", "3,4800,e,7,2", 3, "4800,E,7,2"},
        PortLineCase{"TwoDigitsEvenParity", "12,4800,e,7,2", 12, "4800,E,7,2"},
        PortLineCase{"OneDigitNoSettings", "1", 1, ""},
        // No port number: read by position, as before.
        PortLineCase{"LeadingComma", ",9600,N,8,1", 0, "00,N,8,1"},
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

struct FaultCase {
  const char* name;
  const char* line;
  const char* message;  // empty when the line is understood
};

class PortLineFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(PortLineFaultTest, NamesTheFieldNotUnderstood) {
  const auto fault = FindPortLineFault(GetParam().line);
  EXPECT_EQ(fault ? DescribePortLineFault(*fault) : "", GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PortLineFaultTest,
    ::testing::Values(
        FaultCase{"DialogLine", "01,19200,N,8,1", ""},
        FaultCase{"OneDigitPort", "1,9600,N,8,1", ""},
        FaultCase{"LowerCase", "12,4800,e,7,2", ""},
        FaultCase{"PortZero", "00,9600,N,8,1", ""},
        // A port never configured is not a fault of the line.
        FaultCase{"Empty", "", ""},
        FaultCase{"LettersForTheBaud", "01,abc,N,8,1", "baud rate abc not understood"},
        FaultCase{"PortName", "COM1,9600,N,8,1", "port number COM1 not understood"},
        FaultCase{"ThreeDigitPort", "123,9600,N,8,1", "port number 123 not understood"},
        FaultCase{"NegativePort", "-1,9600,N,8,1", "port number -1 not understood"},
        FaultCase{"BlankLine", " ", "port number missing"},
        FaultCase{"LeadingComma", ",9600,N,8,1", "port number missing"},
        FaultCase{"UnknownParity", "01,9600,X,8,1", "parity X not understood"},
        FaultCase{"NineDataBits", "01,9600,N,9,1", "data bits 9 not understood"},
        FaultCase{"ThreeStopBits", "01,9600,N,8,3", "stop bits 3 not understood"},
        FaultCase{"NoStopBits", "01,9600,N,8", "stop bits missing"},
        FaultCase{"NoSettings", "01,", "baud rate missing"},
        FaultCase{"FifthField", "01,9600,N,8,1,X", "extra text ,X not understood"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlink
