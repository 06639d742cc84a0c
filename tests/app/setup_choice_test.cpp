#include "app/setup_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlink {
namespace {

std::vector<std::string> Entries(SetupColumn column) {
  const auto entries = SetupEntries(column);
  return {entries.begin(), entries.end()};
}

TEST(SetupChoiceTest, BoxesOfferTheirEntriesInListOrder) {
  std::vector<std::string> ports;
  for (int n = 1; n <= 16; ++n) ports.push_back(n < 10 ? "COM0" + std::to_string(n) : "COM" + std::to_string(n));
  EXPECT_EQ(Entries(SetupColumn::Port), ports);
  EXPECT_EQ(Entries(SetupColumn::Baud),
            (std::vector<std::string>{"115200", "57600", "38400", "19200", "9600", "4800", "1200"}));
  EXPECT_EQ(Entries(SetupColumn::Data), (std::vector<std::string>{"8", "7"}));
  EXPECT_EQ(Entries(SetupColumn::Parity), (std::vector<std::string>{"N", "E", "O"}));
  EXPECT_EQ(Entries(SetupColumn::Stop), (std::vector<std::string>{"1", "2"}));
}

TEST(SetupChoiceTest, PreselectionGivesCom01AndCom02At19200Baud8N1) {
  for (SetupFrame frame : {SetupFrame::Incoming, SetupFrame::Outgoing}) {
    std::array<std::string, kSetupColumns> values;
    for (std::size_t i = 0; i < kSetupColumns; ++i) {
      const SetupColumn column = kSetupColumnOrder[i];
      values[i] = SetupEntries(column)[static_cast<std::size_t>(PreselectedEntry(frame, column))];
    }
    EXPECT_EQ(BuildPortLine(values),
              frame == SetupFrame::Incoming ? "01,19200,N,8,1" : "02,19200,N,8,1");
  }
}

TEST(SetupChoiceTest, ParityComesBeforeDataBitsInTheLine) {
  EXPECT_EQ(BuildPortLine({"COM07", "9600", "7", "E", "2"}), "07,9600,E,7,2");
  EXPECT_EQ(BuildPortLine({"COM16", "115200", "8", "O", "1"}), "16,115200,O,8,1");
}

TEST(SetupChoiceTest, SamePortForBothFramesIsNotRefused) {
  EXPECT_EQ(PortLineFromBoxes(SetupFrame::Incoming, {"COM03", "1200", "8", "N", "1"}),
            PortLineFromBoxes(SetupFrame::Outgoing, {"COM03", "1200", "8", "N", "1"}));
}

struct BoxCase {
  const char* name;
  SetupFrame frame;
  SetupColumn column;
  const char* shown;
  const char* value;
};

class SetupBoxValueTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(SetupBoxValueTest, GivesTheEntryTheTypedTextOrThePreselection) {
  EXPECT_EQ(SetupBoxValue(GetParam().frame, GetParam().column, GetParam().shown),
            GetParam().value);
}

constexpr SetupFrame kIn = SetupFrame::Incoming;
constexpr SetupFrame kOut = SetupFrame::Outgoing;

INSTANTIATE_TEST_SUITE_P(
    Boxes, SetupBoxValueTest,
    ::testing::Values(
        BoxCase{"ListEntry", kIn, SetupColumn::Port, "COM12", "COM12"},
        BoxCase{"EntryInSmallLetters", kIn, SetupColumn::Port, "com05", "COM05"},
        BoxCase{"EntryWithBlanks", kIn, SetupColumn::Baud, " 9600 ", "9600"},
        BoxCase{"PortWithoutLeadingZero", kIn, SetupColumn::Port, "COM7", "COM07"},
        BoxCase{"BarePortNumber", kIn, SetupColumn::Port, "7", "COM07"},
        BoxCase{"PortBeyondTheList", kIn, SetupColumn::Port, "com42", "COM42"},
        BoxCase{"HighestTwoDigitPort", kIn, SetupColumn::Port, "99", "COM99"},
        BoxCase{"PortTooHighForTwoDigits", kIn, SetupColumn::Port, "COM100", "COM01"},
        BoxCase{"PortZero", kOut, SetupColumn::Port, "COM0", "COM02"},
        BoxCase{"DeviceNameIsNoPort", kOut, SetupColumn::Port, "/dev/ttyUSB0", "COM02"},
        BoxCase{"EmptyPort", kOut, SetupColumn::Port, "", "COM02"},
        BoxCase{"BaudNotInTheList", kIn, SetupColumn::Baud, "2400", "2400"},
        BoxCase{"BaudWithLeadingZero", kIn, SetupColumn::Baud, "0300", "300"},
        BoxCase{"BaudZero", kIn, SetupColumn::Baud, "0", "19200"},
        BoxCase{"BaudNegative", kIn, SetupColumn::Baud, "-9600", "19200"},
        BoxCase{"BaudWithLetters", kIn, SetupColumn::Baud, "96OO", "19200"},
        BoxCase{"BaudBeyondAnyDriver", kIn, SetupColumn::Baud, "40000000", "19200"},
        BoxCase{"FiveDataBits", kIn, SetupColumn::Data, "5", "5"},
        BoxCase{"NineDataBits", kIn, SetupColumn::Data, "9", "8"},
        BoxCase{"MarkParity", kIn, SetupColumn::Parity, "m", "M"},
        BoxCase{"EvenParityTyped", kIn, SetupColumn::Parity, "e", "E"},
        BoxCase{"ParityWord", kIn, SetupColumn::Parity, "None", "N"},
        BoxCase{"OneAndHalfStopBits", kIn, SetupColumn::Stop, "1.5", "1.5"},
        BoxCase{"ThreeStopBits", kOut, SetupColumn::Stop, "3", "1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SetupChoiceTest, TypedTextMakesItsWayIntoTheLine) {
  EXPECT_EQ(PortLineFromBoxes(kIn, {"com7", "2400", "7", "e", "1.5"}), "07,2400,E,7,1.5");
  EXPECT_EQ(PortLineFromBoxes(kOut, {"nonsense", "fast", "", "?", "x"}), "02,19200,N,8,1");
}

struct KissTcpChoiceCase {
  const char* name;
  bool on;
  const char* host;
  const char* port;
  LinkChoice choice;
};

class KissTcpChoiceTest : public ::testing::TestWithParam<KissTcpChoiceCase> {};

TEST_P(KissTcpChoiceTest, FromTheDialog) {
  const KissTcpChoiceCase& c = GetParam();
  EXPECT_EQ(KissTcpChoice(c.on, c.host, c.port), c.choice);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, KissTcpChoiceTest,
    ::testing::Values(
        KissTcpChoiceCase{"Off", false, "127.0.0.1", "8001", LinkChoice{}},
        KissTcpChoiceCase{"OnAsGiven", true, " tnc.local ", "8100", LinkChoice{true, {"tnc.local", 8100}}},
        KissTcpChoiceCase{"OffKeepsTheFields", false, "h", "9000", LinkChoice{false, {"h", 9000}}},
        KissTcpChoiceCase{"BlankHost", true, "  ", "8001", LinkChoice{true, {"127.0.0.1", 8001}}},
        KissTcpChoiceCase{"PortNotANumber", true, "h", "80a", LinkChoice{true, {"h", 8001}}},
        KissTcpChoiceCase{"PortZero", true, "h", "0", LinkChoice{true, {"h", 8001}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SharingChoiceTest, FromTheDialog) {
  struct Row {
    const char* name;
    bool on;
    const char* host;
    const char* port;
    bool transmit;
    KissServerChoice choice;
  } rows[] = {
      {"off", false, "127.0.0.1", "8100", false, KissServerChoice{}},
      {"on as given", true, " 0.0.0.0 ", "8200", true, KissServerChoice{true, {"0.0.0.0", 8200}, true}},
      {"blank host", true, " ", "8100", false, KissServerChoice{true, {"127.0.0.1", 8100}, false}},
      {"port not a number", true, "h", "81x", false, KissServerChoice{true, {"h", 8100}, false}},
      {"port too large", true, "h", "65536", false, KissServerChoice{true, {"h", 8100}, false}},
      {"off keeps the fields", false, "h", "9000", true, KissServerChoice{false, {"h", 9000}, true}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(SharingChoice(row.on, row.host, row.port, row.transmit), row.choice);
  }
}

}  // namespace
}  // namespace vorlink
