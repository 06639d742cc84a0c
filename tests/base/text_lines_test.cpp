#include "base/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_folder.h"

namespace vorlink {
namespace {

using Lines = std::vector<std::string>;

struct SplitCase {
  const char* name;
  std::string text;
  Lines lines;
};

class SplitTextLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTextLinesTest, Lines) { EXPECT_EQ(SplitTextLines(GetParam().text), GetParam().lines); }

INSTANTIATE_TEST_SUITE_P(
    LineEnds, SplitTextLinesTest,
    ::testing::Values(SplitCase{"Empty", "", {}},
                      SplitCase{"OneLineNoEnd", "abc", {"abc"}},
                      SplitCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
                      SplitCase{"LoneLf", "a\nb\n", {"a", "b"}},
                      SplitCase{"LoneCr", "a\rb\r", {"a", "b"}},
                      SplitCase{"LastWithoutEnd", "a\r\nb", {"a", "b"}},
                      SplitCase{"EmptyLinesKept", "\r\n\r\nx\n\ny", {"", "", "x", "", "y"}},
                      // LF CR is two line ends; CR CR LF is a CR and a CR LF.
                      SplitCase{"LfCr", "a\n\rb", {"a", "", "b"}},
                      SplitCase{"CrCrLf", "a\r\r\nb", {"a", "", "b"}},
                      SplitCase{"OtherBytesKept", std::string("\t#\0\xE9", 4), {std::string("\t#\0\xE9", 4)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadTextLinesTest, MissingFileGivesNothing) {
  testing::TempFolder folder;
  EXPECT_FALSE(ReadTextLines(folder.path() / "absent.txt").has_value());
}

}  // namespace
}  // namespace vorlink
