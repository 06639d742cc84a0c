#include "aprs/station_call.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vorlink {
namespace {

struct CallRow {
  std::string text;
  std::optional<std::string> shown;  // CallsignText of the result
};

TEST(StationCallTest, OneToSixLettersAndDigitsWithADigitAndAnSsidUpTo15) {
  const std::vector<CallRow> rows = {
      {"N0CALL", "N0CALL"},     {"n0call-7", "N0CALL-7"}, {" DL1ABC-15 ", "DL1ABC-15"},
      {"K1A", "K1A"},           {"2E0XYZ", "2E0XYZ"},     {"N0CALL-0", "N0CALL"},
      {"APRS", std::nullopt},   {"WIDE", std::nullopt},   {"N0CALL-16", std::nullopt},
      {"N0CALLX", std::nullopt}, {"", std::nullopt},      {"N0CALL-", std::nullopt},
      {"N0-CALL", std::nullopt}, {"N0CAL!", std::nullopt}, {"1", "1"},
  };
  for (const CallRow& row : rows) {
    SCOPED_TRACE(row.text);
    const auto call = ParseStationCallsign(row.text);
    ASSERT_EQ(call.has_value(), row.shown.has_value());
    if (call) EXPECT_EQ(CallsignText(*call), *row.shown);
  }
}

struct PathRow {
  std::string text;
  std::optional<std::string> shown;  // PathText of the result
};

TEST(StationCallTest, APathOfUpToEightValidHops) {
  const std::vector<PathRow> rows = {
      {"WIDE1-1,WIDE2-1", "WIDE1-1,WIDE2-1"},
      {" wide2-2 , RELAY ", "WIDE2-2,RELAY"},
      {"", ""},
      {"A,B,C,D,E,F,G,H", "A,B,C,D,E,F,G,H"},
      {"A,B,C,D,E,F,G,H,I", std::nullopt},
      {"WIDE1-1,", std::nullopt},
      {"WIDE1-16", std::nullopt},
      {"WIDE1-1,,WIDE2-1", std::nullopt},
      {"TOOLONGX", std::nullopt},
  };
  for (const PathRow& row : rows) {
    SCOPED_TRACE(row.text);
    const auto path = ParsePath(row.text);
    ASSERT_EQ(path.has_value(), row.shown.has_value());
    if (path) EXPECT_EQ(PathText(*path), *row.shown);
  }
  EXPECT_EQ(PathText(*ParsePath(kDefaultPath)), kDefaultPath);
}

}  // namespace
}  // namespace vorlink
