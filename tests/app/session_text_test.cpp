// The text of a session: line ends, UTF-8 or Latin-1, control bytes, the
// bounds of a line and of the lines kept, and the log file's name and lines.
#include "app/session_text.h"

#include <gtest/gtest.h>

#include "app/session_log.h"
#include "temp_folder.h"

namespace vorlink {
namespace {

std::vector<std::uint8_t> TextBytes(std::string_view text) { return {text.begin(), text.end()}; }

struct TextCase {
  const char* name;
  std::vector<std::string> chunks;  // as the I frames brought them
  std::vector<std::string> lines;
  std::string pending;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class SessionTextCases : public ::testing::TestWithParam<TextCase> {};

TEST_P(SessionTextCases, GiveTheirLines) {
  SessionText text;
  std::vector<SessionLine> completed;
  for (const std::string& chunk : GetParam().chunks) text.AddReceived(TextBytes(chunk), completed);
  std::vector<std::string> lines;
  for (const SessionLine& line : text.Lines()) {
    EXPECT_EQ(line.role, SessionRole::Received);
    lines.push_back(line.text);
  }
  EXPECT_EQ(lines, GetParam().lines);
  EXPECT_EQ(completed.size(), lines.size());
  EXPECT_EQ(text.PendingText(), GetParam().pending);
}

INSTANTIATE_TEST_SUITE_P(
    Received, SessionTextCases,
    ::testing::Values(
        TextCase{"CrEndsALine", {"ab\rcd\r"}, {"ab", "cd"}, ""},
        TextCase{"CrLfIsOneLineEnd", {"ab\r\ncd\r\n"}, {"ab", "cd"}, ""},
        TextCase{"CrLfSplitOverFrames", {"ab\r", "\ncd\r"}, {"ab", "cd"}, ""},
        TextCase{"LoneLfEndsALine", {"ab\ncd"}, {"ab"}, "cd"},
        TextCase{"TwoCrMakeAnEmptyLine", {"a\r\rb\r"}, {"a", "", "b"}, ""},
        TextCase{"PromptWaitsWithoutCr", {"=> "}, {}, "=> "},
        TextCase{"Utf8AsSent", {"Gr\xC3\xBC\xC3\x9F\r"}, {"Gr\xC3\xBC\xC3\x9F"}, ""},
        TextCase{"Utf8SplitOverFrames", {"Gr\xC3", "\xBC\r"}, {"Gr\xC3\xBC"}, ""},
        TextCase{"Latin1WhenNotUtf8", {"Gr\xFC\xDF\r"}, {"Gr\xC3\xBC\xC3\x9F"}, ""},
        TextCase{"OverlongUtf8IsLatin1", {"\xC0\xAF\r"}, {"\xC3\x80\xC2\xAF"}, ""},
        TextCase{"SurrogateIsLatin1", {"\xED\xA0\x80\r"}, {"\xC3\xAD\xC2\xA0."}, ""},
        TextCase{"FourByteUtf8", {"\xF0\x9F\x93\xBB\r"}, {"\xF0\x9F\x93\xBB"}, ""},
        TextCase{"ControlBytesAsDotsTabKept", {"a\x07" "b\tc\x7F\r"}, {"a.b\tc."}, ""},
        TextCase{"C1ControlsOfLatin1AsDots", {"\x85\xE9\r"}, {".\xC3\xA9"}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SessionTextTest, ALineOfExactlyTheBoundEndsThereAndOneMoreByteStartsTheNext) {
  SessionText text;
  std::vector<SessionLine> completed;
  const std::string full(kSessionLineBytes, 'x');
  text.AddReceived(TextBytes(full), completed);
  ASSERT_EQ(text.Lines().size(), 1u);
  EXPECT_EQ(text.Lines().back().text, full);
  EXPECT_EQ(text.PendingText(), "");
  text.AddReceived(TextBytes(full + "y"), completed);
  EXPECT_EQ(text.Lines().size(), 2u);
  EXPECT_EQ(text.PendingText(), "y");
}

TEST(SessionTextTest, KeepsTheLastLinesAndNumbersThemFromTheStart) {
  SessionText text;
  std::vector<SessionLine> completed;
  for (std::size_t k = 0; k < kSessionLinesKept; ++k) text.AddReceived(TextBytes("l\r"), completed);
  EXPECT_EQ(text.Lines().size(), kSessionLinesKept);
  EXPECT_EQ(text.FirstNumber(), 0u);
  text.AddReceived(TextBytes("last\r"), completed);
  EXPECT_EQ(text.Lines().size(), kSessionLinesKept);
  EXPECT_EQ(text.FirstNumber(), 1u);
  EXPECT_EQ(text.EndNumber(), kSessionLinesKept + 1);
  EXPECT_EQ(text.Lines().back().text, "last");
}

TEST(SessionTextTest, AnOwnLineEndsTheWaitingPromptFirst) {
  SessionText text;
  std::vector<SessionLine> completed;
  text.AddReceived(TextBytes("=> "), completed);
  text.AddLine(SessionRole::Sent, "L", completed);
  EXPECT_EQ(completed, (std::vector<SessionLine>{{SessionRole::Received, "=> "},
                                                 {SessionRole::Sent, "L"}}));
  EXPECT_EQ(text.PendingText(), "");
}

struct NameCase {
  const char* name;
  Ax25Address remote;
  DateTime utc;
  std::string file;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class SessionLogNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(SessionLogNames, AreTheRemoteAndTheMinute) {
  EXPECT_EQ(SessionLogName(GetParam().remote, GetParam().utc), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SessionLogNames,
    ::testing::Values(NameCase{"SsidZero", {"DB0ABC", 0}, {2026, 12, 6, 9, 58, 20}, "DB0ABC_06122026_0958.log"},
                      NameCase{"WithSsid", {"N0CALL", 7}, {2027, 1, 31, 23, 5, 59}, "N0CALL-7_31012027_2305.log"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SessionLogTest, AppendsEachLineWithItsMark) {
  testing::TempFolder folder;
  const auto file = folder.path() / "N0CALL_06122026_0958.log";
  std::filesystem::path existing = file;
  { std::ofstream(existing) << "before\n"; }
  SessionLog log(file);
  EXPECT_FALSE(log.Append({SessionRole::Note, "connected to N0CALL"}));
  EXPECT_FALSE(log.Append({SessionRole::Received, "Hello"}));
  EXPECT_FALSE(log.Append({SessionRole::Sent, "B"}));
  EXPECT_EQ(testing::ReadText(file), "before\n*** connected to N0CALL\nHello\n> B\n");
}

TEST(SessionLogTest, AFolderThatIsNotThereIsAnError) {
  testing::TempFolder folder;
  SessionLog log(folder.path() / "missing" / "N0CALL_06122026_0958.log");
  EXPECT_EQ(log.Append({SessionRole::Received, "x"}), std::errc::no_such_file_or_directory);
}

}  // namespace
}  // namespace vorlink
