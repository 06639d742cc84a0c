#include "base/text_lines.h"

#include <gtest/gtest.h>

#include <fstream>
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

struct ReadCase {
  const char* name;
  const char* content;  // nullptr: no file; "/": a folder in its place
  std::size_t limit;
  std::vector<std::string> lines;
  bool cut;
  std::string problem;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ReadTextFileTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadTextFileTest, GivesTheLinesUpToTheLimit) {
  const ReadCase& c = GetParam();
  testing::TempFolder folder;
  const auto file = folder.path() / "script.txt";
  if (c.content != nullptr && std::string(c.content) == "/") {
    std::filesystem::create_directory(file);
  } else if (c.content != nullptr) {
    std::ofstream(file, std::ios::binary) << c.content;
  }
  const TextFile read = ReadTextFile(file, c.limit);
  EXPECT_EQ(read.lines, c.lines);
  EXPECT_EQ(read.cut, c.cut);
  EXPECT_EQ(ReadProblem("script.txt", read.error), c.problem);
  EXPECT_EQ(bool(read.error), c.content == nullptr || !c.problem.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadTextFileTest,
    ::testing::Values(ReadCase{"Missing", nullptr, 10, {}, false, ""},
                      ReadCase{"Folder", "/", 10, {}, false, "script.txt: Is a directory"},
                      ReadCase{"ExactlyTheLimit", "ab\r\ncd", 6, {"ab", "cd"}, false, ""},
                      // The line the limit cuts is not half sent.
                      ReadCase{"OneByteMore", "ab\r\ncde", 6, {"ab"}, true, ""},
                      ReadCase{"NoLineEndBeforeTheLimit", "abcdefgh\r\n", 6, {}, true, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlink
