#include "link/line_settings.h"

#include <gtest/gtest.h>

namespace vorlink {
namespace {

struct ValidRow {
  const char* name;
  const char* text;
  LineSettings expected;
};

TEST(LineSettingsTest, ReadsEveryAllowedValue) {
  const ValidRow rows[] = {
      {"usual TNC line", "19200,N,8,1", {19200, Parity::None, 8, StopBits::One}},
      {"even parity, seven bits", "9600,E,7,1", {9600, Parity::Even, 7, StopBits::One}},
      {"odd parity, two stop bits", "4800,O,8,2", {4800, Parity::Odd, 8, StopBits::Two}},
      {"mark parity", "1200,M,7,1", {1200, Parity::Mark, 7, StopBits::One}},
      {"space parity", "300,S,6,1", {300, Parity::Space, 6, StopBits::One}},
      {"one and a half with five bits", "110,N,5,1.5", {110, Parity::None, 5, StopBits::OneAndHalf}},
      {"lower case parity", "9600,n,8,1", {9600, Parity::None, 8, StopBits::One}},
      {"leading zero in the baud", "09600,N,8,1", {9600, Parity::None, 8, StopBits::One}},
      {"highest baud", "4000000,N,8,1", {kMaxBaud, Parity::None, 8, StopBits::One}},
  };
  for (const ValidRow& row : rows) {
    const auto parsed = ParseLineSettings(row.text);
    ASSERT_TRUE(parsed) << row.name;
    EXPECT_EQ(*parsed, row.expected) << row.name;
  }
}

TEST(LineSettingsTest, RefusesMalformedText) {
  const std::pair<const char*, const char*> rows[] = {
      {"empty", ""},
      {"not a line at all", "abc"},
      {"unknown parity", "19200,X,8,1"},
      {"two parity letters", "19200,NN,8,1"},
      {"zero baud", "0,N,8,1"},
      {"negative baud", "-9600,N,8,1"},
      {"baud with a sign", "+9600,N,8,1"},
      {"baud too high", "4000001,N,8,1"},
      {"baud beyond an int", "99999999999,N,8,1"},
      {"four data bits", "9600,N,4,1"},
      {"nine data bits", "9600,N,9,1"},
      {"three stop bits", "9600,N,8,3"},
      {"one and a half with eight bits", "9600,N,8,1.5"},
      {"blank after a comma", "9600, N,8,1"},
      {"trailing blank", "9600,N,8,1 "},
      {"three fields", "9600,N,8"},
      {"five fields", "9600,N,8,1,1"},
      {"trailing comma", "9600,N,8,1,"},
      {"empty fields", ",,,"},
  };
  for (const auto& [name, text] : rows) EXPECT_FALSE(ParseLineSettings(text)) << name;
}

TEST(LineSettingsTest, TextReadsBackInUpperCase) {
  EXPECT_EQ(LineSettingsText("9600,e,7,1"), "9600,E,7,1");
  EXPECT_EQ(LineSettingsText("19200,N,8,1"), "19200,N,8,1");
}

}  // namespace
}  // namespace vorlink
