#include "app/message_log.h"

#include <gtest/gtest.h>

#include <string>

#include "temp_folder.h"

namespace vorlink {
namespace {

namespace fs = std::filesystem;

constexpr DateTime kAt{2026, 12, 6, 10, 0, 5, 678};

struct KeepCase {
  const char* name;
  const char* text;
  bool kept;
};

class WorthKeepingTest : public ::testing::TestWithParam<KeepCase> {};

TEST_P(WorthKeepingTest, StatusTexts) { EXPECT_EQ(WorthKeeping(GetParam().text), GetParam().kept); }

INSTANTIATE_TEST_SUITE_P(
    Texts, WorthKeepingTest,
    ::testing::Values(KeepCase{"Empty", "", false},
                      KeepCase{"SecondsSincePacket", "12 sec since last packet [3]", false},
                      KeepCase{"SecondsWhilePaused", "5 sec since last packet [0] [capture paused]",
                               false},
                      KeepCase{"PortProblem", "COM 1: No such file or directory", true},
                      KeepCase{"Lost", "COM 1 lost at 10:00:05 UTC", true},
                      KeepCase{"TimeServer", "   winsock connection made", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessageLogTest, LinesCarryTheUtcTimeAndGoToTheFile) {
  testing::TempFolder folder;
  MessageLog log;
  log.SetFile(folder.path() / kMessageFileName);
  std::vector<std::string> heard;
  log.SetListener([&](const MessageLog::Line& line) { heard.push_back(line); });
  log.Add(kAt, "COM 1 lost at 10:00:05 UTC");
  log.Add(kAt, "done");
  EXPECT_EQ(log.Lines(), (std::deque<std::string>{"2026-12-06 10:00:05 COM 1 lost at 10:00:05 UTC",
                                                  "2026-12-06 10:00:05 done"}));
  EXPECT_EQ(heard.size(), 2u);
  EXPECT_EQ(testing::ReadText(folder.path() / "vorlink.log"),
            "2026-12-06 10:00:05 COM 1 lost at 10:00:05 UTC\r\n2026-12-06 10:00:05 done\r\n");
}

TEST(MessageLogTest, KeepsTheNewestTenThousand) {
  MessageLog log;
  for (std::size_t i = 0; i <= kMessagesKept; ++i) log.Add(kAt, std::to_string(i));
  ASSERT_EQ(log.Lines().size(), kMessagesKept);
  EXPECT_EQ(log.Lines().front(), "2026-12-06 10:00:05 1");
  EXPECT_EQ(log.Lines().back(), "2026-12-06 10:00:05 10000");
}

TEST(MessageLogTest, FileRotatesAtOneMebibyte) {
  testing::TempFolder folder;
  const fs::path file = folder.path() / "vorlink.log";
  MessageLog log;
  log.SetFile(file);
  // 20 + 98 + 2 = 120 bytes a line.
  const std::string text(98, 'x');
  const std::uintmax_t lineSize = 120;
  const std::uintmax_t fit = kMessageFileLimit / lineSize;
  for (std::uintmax_t i = 0; i < fit; ++i) log.Add(kAt, text);
  EXPECT_EQ(fs::file_size(file), fit * lineSize);
  EXPECT_FALSE(fs::exists(folder.path() / "vorlink.log.1"));
  log.Add(kAt, "the one too many");
  EXPECT_EQ(fs::file_size(folder.path() / "vorlink.log.1"), fit * lineSize);
  EXPECT_EQ(testing::ReadText(file), "2026-12-06 10:00:05 the one too many\r\n");
  // The next rotation replaces the older one.
  for (std::uintmax_t i = 0; i < fit; ++i) log.Add(kAt, text);
  EXPECT_LE(fs::file_size(file), kMessageFileLimit);
  EXPECT_LE(fs::file_size(folder.path() / "vorlink.log.1"), kMessageFileLimit);
  EXPECT_FALSE(fs::exists(folder.path() / "vorlink.log.2"));
}

TEST(MessageLogTest, FileThatCannotBeWrittenLeavesTheWindowList) {
  testing::TempFolder folder;
  MessageLog log;
  log.SetFile(folder.path() / "missing" / "vorlink.log");
  log.Add(kAt, "done");
  EXPECT_EQ(log.Lines().size(), 1u);
}

}  // namespace
}  // namespace vorlink
