#include "tnc/tnc_script.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "fake_serial_port.h"
#include "fake_status_line.h"
#include "hex.h"
#include "temp_folder.h"

namespace vorlink {
namespace {

using testing::FakeSerialPort;
using testing::FakeStatusLine;
using testing::ToHex;

using Texts = std::vector<std::string>;
const Texts kInitTexts{"read tnc_init.txt", "done"};

class TncScriptTest : public ::testing::Test {
 protected:
  void WriteScript(std::string_view name, const std::string& content) {
    std::ofstream(folder.path() / name, std::ios::binary) << content;
  }
  void Send(std::string_view name = kStartScript) {
    SendTncScript(folder.path(), name, port, status);
  }

  testing::TempFolder folder;
  FakeSerialPort port;
  FakeStatusLine status;
};

struct ScriptCase {
  const char* name;
  std::string content;
  const char* sent;  // hex
};

class ScriptBytesTest : public TncScriptTest, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(ScriptBytesTest, SendsExactlyTheseBytes) {
  WriteScript(kStartScript, GetParam().content);
  Send();
  EXPECT_EQ(ToHex(port.written), GetParam().sent);
  EXPECT_EQ(status.texts, kInitTexts);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptBytesTest,
    ::testing::Values(
        ScriptCase{"PlainText", "KISS ON\r\n", "4B 49 53 53 20 4F 4E 0D"},
        ScriptCase{"Dollar", "$\r\n", "C0 FF C0 0D"},
        ScriptCase{"CaretK", "^K\r\n", "1B 4B 0D"},
        ScriptCase{"CaretAlone", "^\r\n", "1B 0D"},
        ScriptCase{"Comment", "# KISS ON\r\n", ""},
        ScriptCase{"BlankBeforeHash", " #x\r\n", "20 23 78 0D"},
        ScriptCase{"DollarInside", "a$b\r\n", "61 C0 FF C0 62 0D"},
        ScriptCase{"HashLaterIsSent", "a#\r\n", "61 23 0D"},
        ScriptCase{"TabKept", "\tX\r\n", "09 58 0D"},
        ScriptCase{"HighByte", "\xE9\r\n", "E9 0D"},
        ScriptCase{"EmptyLinesSendNothing", "\r\n\r\n", ""},
        ScriptCase{"OnlyCommentsAndEmpty", "# one\r\n\r\n#two\r\n\r\n", ""},
        ScriptCase{"EmptyFile", "", ""},
        ScriptCase{"LastLineWithoutEnd", "A\r\nKISS", "41 0D 4B 49 53 53 0D"},
        ScriptCase{"LfEnds", "A\n#c\n\nB\n", "41 0D 42 0D"},
        ScriptCase{"CrEnds", "A\rB", "41 0D 42 0D"},
        ScriptCase{"Sequence", "^K\r\n# note\r\n$\r\nKISS ON\r\n",
                   "1B 4B 0D C0 FF C0 0D 4B 49 53 53 20 4F 4E 0D"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TncScriptTest, ExitScriptHasItsOwnText) {
  WriteScript(kExitScript, "^K\r\n");
  Send(kExitScript);
  EXPECT_EQ(ToHex(port.written), "1B 4B 0D");
  EXPECT_EQ(status.texts, (Texts{"read tnc_exit.txt", "done"}));
}

// A script of lines "AB" filling the file to the given size, the last one cut.
std::string LinesOfSize(std::size_t size) {
  std::string text;
  while (text.size() < size) text += "AB\r\n";
  text.resize(size);
  return text;
}

struct ScriptFileCase {
  const char* name;
  // Puts the script in place, or whatever stands in its place.
  void (*place)(const std::filesystem::path& script);
  std::size_t sentLines;
  Texts texts;
};

void PrintTo(const ScriptFileCase& c, std::ostream* os) { *os << c.name; }

class ScriptFileTest : public TncScriptTest, public ::testing::WithParamInterface<ScriptFileCase> {};

TEST_P(ScriptFileTest, SendsWhatReadsAndSaysWhatWasNot) {
  GetParam().place(folder.path() / kStartScript);
  Send();
  EXPECT_EQ(port.written.size(), GetParam().sentLines * 3);
  EXPECT_EQ(status.texts, GetParam().texts);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ScriptFileTest,
    ::testing::Values(
        ScriptFileCase{"Missing", [](const std::filesystem::path&) {}, 0, kInitTexts},
        ScriptFileCase{"FolderInItsPlace",
                       [](const std::filesystem::path& script) { std::filesystem::create_directory(script); },
                       0, Texts{"read tnc_init.txt", "tnc_init.txt: Is a directory"}},
        // The line the limit cuts is not sent half.
        ScriptFileCase{"LargerThanTheLimit",
                       [](const std::filesystem::path& script) {
                         std::ofstream(script, std::ios::binary) << LinesOfSize(kMostScriptBytes + 2);
                       },
                       kMostScriptBytes / 4,
                       Texts{"read tnc_init.txt", "done",
                             "tnc_init.txt is larger than 64 KiB: the rest of it is not sent"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TncScriptTest, ClosedPortSendsNothingAndEndsWithDone) {
  WriteScript(kStartScript, "KISS ON\r\n$\r\n");
  port.open = false;
  Send();
  EXPECT_TRUE(port.written.empty());
  EXPECT_EQ(status.texts, kInitTexts);
}

TEST_F(TncScriptTest, LongLineIsSentWhole) {
  const std::string line(40000, 'x');
  WriteScript(kStartScript, line + "\r\n");
  Send();
  ASSERT_EQ(port.written.size(), line.size() + 1);
  EXPECT_EQ(port.written.back(), 0x0D);
  EXPECT_EQ(port.written[32767], 'x');
}

// A port that goes away after its first write, as when the TNC is unplugged.
class ClosingPort final : public SerialPort {
 public:
  mutable int openQueries = 0;
  std::vector<std::uint8_t> written;
  bool PortOpen() const override {
    ++openQueries;
    return written.empty();
  }
  std::int16_t CommPort() const override { return 1; }
  std::span<const std::uint8_t> Input() override { return {}; }
  void DiscardInput() override {}
  std::size_t BytesToWrite() const override { return 0; }
  bool Output(std::span<const std::uint8_t> bytes) override {
    if (!written.empty()) return false;
    written.assign(bytes.begin(), bytes.end());
    return true;
  }
  using SerialPort::Output;
};

TEST_F(TncScriptTest, PortClosingMidwayDropsTheRestAndAsksOncePerSentLine) {
  WriteScript(kStartScript, "A\r\n# note\r\n\r\nB\r\nC\r\n");
  ClosingPort closing;
  SendTncScript(folder.path(), kStartScript, closing, status);
  EXPECT_EQ(ToHex(closing.written), "41 0D");
  EXPECT_EQ(closing.openQueries, 3);
  EXPECT_EQ(status.texts, kInitTexts);
}

}  // namespace
}  // namespace vorlink
