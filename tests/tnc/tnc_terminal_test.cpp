#include "tnc/tnc_terminal.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "fake_serial_port.h"
#include "fake_status_line.h"
#include "hex.h"
#include "temp_folder.h"
#include "tnc/tnc_script.h"

namespace vorlink {
namespace {

using testing::ToHex;
using Texts = std::vector<std::string>;

class TncTerminalTest : public ::testing::Test {
 protected:
  testing::TempFolder folder;
  testing::FakeSerialPort port;
  testing::FakeStatusLine status;
  TncTerminal terminal{folder.path(), port, status};
};

struct KeyCase {
  const char* name;
  int code;
  TextBoxAction action;
  const char* sent;
};

class TerminalKeyTest : public TncTerminalTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(TerminalKeyTest, SendsTheKeyAndTellsTheBox) {
  EXPECT_EQ(terminal.KeyPress(GetParam().code), GetParam().action);
  EXPECT_EQ(ToHex(port.written), GetParam().sent);
  EXPECT_TRUE(status.texts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TerminalKeyTest,
    ::testing::Values(KeyCase{"Letter", 'K', TextBoxAction::kLeave, "4B"},
                      KeyCase{"Escape", 27, TextBoxAction::kShowEsc, "1B"},
                      KeyCase{"Enter", 13, TextBoxAction::kClear, "0D"},
                      KeyCase{"CtrlC", 3, TextBoxAction::kLeave, "03"},
                      KeyCase{"Backspace", 8, TextBoxAction::kLeave, "08"},
                      KeyCase{"Nul", 0, TextBoxAction::kLeave, "00"},
                      KeyCase{"HighestByte", 255, TextBoxAction::kLeave, "FF"},
                      KeyCase{"NoSingleByte", 256, TextBoxAction::kLeave, ""},
                      KeyCase{"NoCode", -1, TextBoxAction::kLeave, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TncTerminalTest, KeysGoOutOneByteEachWithoutLineFeed) {
  terminal.KeyPress('K');
  terminal.KeyPress('I');
  EXPECT_EQ(terminal.KeyPress(13), TextBoxAction::kClear);
  EXPECT_EQ(ToHex(port.written), "4B 49 0D");
}

TEST_F(TncTerminalTest, KeysWhilePortClosedAreDroppedAndSayItOncePerRun) {
  port.open = false;
  EXPECT_EQ(terminal.KeyPress(27), TextBoxAction::kShowEsc);
  EXPECT_EQ(terminal.KeyPress(13), TextBoxAction::kClear);
  EXPECT_TRUE(port.written.empty());
  EXPECT_EQ(status.texts, Texts{"COM 2 not open"});
  port.open = true;
  terminal.KeyPress('A');
  EXPECT_EQ(ToHex(port.written), "41");
  port.open = false;
  terminal.KeyPress('B');
  EXPECT_EQ(status.texts, (Texts{"COM 2 not open", "COM 2 not open"}));
}

TEST_F(TncTerminalTest, CmdModeSendsReturnCommandEachTime) {
  terminal.SetTncInCmdMode();
  terminal.SetTncInCmdMode();
  EXPECT_EQ(ToHex(port.written), "C0 FF C0 C0 FF C0");
  EXPECT_EQ(status.texts, (Texts{"set TNC in CMD mode", "set TNC in CMD mode"}));
}

TEST_F(TncTerminalTest, CmdModeWithPortClosedDoesNothing) {
  port.open = false;
  terminal.SetTncInCmdMode();
  EXPECT_TRUE(port.written.empty());
  EXPECT_TRUE(status.texts.empty());
}

TEST_F(TncTerminalTest, TncInitSendsTheStartScript) {
  std::ofstream(folder.path() / kStartScript, std::ios::binary) << "^K\r\n$\r\n";
  std::ofstream(folder.path() / kExitScript, std::ios::binary) << "EXIT\r\n";
  terminal.TncInit();
  EXPECT_EQ(ToHex(port.written), "1B 4B 0D C0 FF C0 0D");
  EXPECT_EQ(status.texts, (Texts{"read tnc_init.txt", "done"}));
  // With nothing to send to, it says so and is not "done".
  port.open = false;
  status.texts.clear();
  terminal.TncInit();
  EXPECT_EQ(status.texts, Texts{"COM 2 not open"});
}

}  // namespace
}  // namespace vorlink
