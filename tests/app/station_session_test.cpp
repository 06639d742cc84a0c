#include "app/station_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/config_file.h"
#include "fake_clock.h"
#include "fake_port_component.h"
#include "fake_retry_timer.h"
#include "fake_status_line.h"
#include "fake_tcp_client.h"
#include "hex.h"
#include "recording_pane.h"
#include "temp_folder.h"

namespace vorlink {
namespace {

using testing::ReadText;
using testing::ToHex;
using namespace std::string_literals;

class RecordingView final : public StationView {
 public:
  explicit RecordingView(testing::FakeStatusLine& status) : status_(status) {}
  std::vector<std::string> events;
  PortLamps lamps;
  void SetSimpleText(std::string_view text) override { status_.SetSimpleText(text); }
  void ShowReceived(std::string_view) override {}
  void ShowMirrored(std::string_view) override {}
  void ShowLamps(const PortLamps& shown) override { lamps = shown; }
  void ShowClock(std::string_view) override {}
  void ShowMirrorCheck(bool checked) override { events.push_back(checked ? "check" : "uncheck"); }
  void ShowMirrorIndicators(bool visible) override {
    events.push_back(visible ? "indicators shown" : "indicators hidden");
  }
  void OpenSetupDialog() override { events.push_back("setup dialog"); }
  void ShowIncomingPort(std::string_view text) override {
    events.push_back("Label2 " + std::string(text));
  }
  void ShowMirrorPort(std::string_view text) override {
    events.push_back("Label8 " + std::string(text));
  }
  void OpenSetupDialogWithFocus() override { events.push_back("setup dialog"); }
  void ShowLinkEvent(std::string_view text) override {
    events.push_back("pane " + std::string(text));
  }

 private:
  testing::FakeStatusLine& status_;
};

void WriteFile(const std::filesystem::path& file, std::string_view text) {
  std::ofstream(file, std::ios::binary) << text;
}

// A station session over fakes, in a station folder.
class StationSessionTest : public ::testing::Test {
 protected:
  StationSessionTest() {
    station.programFolder = folder.path();
    station.workingFolder = folder.path();
    clock.local = {2010, 11, 28, 14, 3, 12, 345};
    WriteFile(folder.path() / "tnc_init.txt", "KISS ON\r\n");
    WriteFile(folder.path() / "tnc_exit.txt", "^K\r\n");
  }
  void WriteConfig(std::string_view text) { WriteFile(folder.path() / "vorlink.ini", text); }

  testing::TempFolder folder;
  Station station;
  testing::FakeClock clock;
  testing::FakePortComponent incoming;
  testing::FakePortComponent outgoing;
  testing::FakeStatusLine status;
  testing::FakeTcpClient tcp;
  testing::FakeRetryTimer incomingRetry;
  testing::FakeRetryTimer outgoingRetry;
  testing::RecordingPane pane;
  RecordingView view{status};
  std::unique_ptr<StationSession> session = NewSession();

  // A new load, as the setup dialog's OK makes one.
  std::unique_ptr<StationSession> NewSession() {
    return std::make_unique<StationSession>(
        station, clock, StationPorts{incoming, outgoing, tcp, &incomingRetry, &outgoingRetry},
        &pane, view);
  }
};

TEST_F(StationSessionTest, StartUpRunsEveryStepInOrder) {
  WriteConfig("01,19200,n,8,1\r\nclock.example\r\n02,9600,N,8,1\r\nfalse\r\n");
  session->Load();
  EXPECT_EQ(incoming.calls, (std::vector<std::string>{"port:1", "settings:19200,N,8,1", "open"}));
  EXPECT_EQ(view.events, (std::vector<std::string>{"Label2 COM 1, 19200,N,8,1 initialized ",
                                                   "Label8 COM 2, 9600,N,8,1 initialized ",
                                                   "indicators hidden"}));
  // Opened with the others, then closed again since mirroring is off.
  EXPECT_EQ(outgoing.calls.back(), "close");
  EXPECT_FALSE(outgoing.open);
  EXPECT_EQ(tcp.calls, std::vector<std::string>{"Connect clock.example:37"});
  EXPECT_EQ(status.texts,
            (std::vector<std::string>{"opening connection to TIMESERVER [clock.example]",
                                      "read tnc_init.txt", "done"}));
  EXPECT_EQ(ToHex(incoming.written), "4B 49 53 53 20 4F 4E 0D");
  EXPECT_EQ(station.LastPacketTime, (DateTime{2010, 11, 28, 14, 3, 12, 0}));
  EXPECT_EQ(session->Captures().KssFileName(), folder.path() / "28112010_1403.kss");
  EXPECT_TRUE(std::filesystem::exists(session->Captures().HexFileName()));
}

TEST_F(StationSessionTest, FirstStartWithoutConfigurationFile) {
  session->Load();
  EXPECT_EQ(view.events.front(), "setup dialog");
  EXPECT_FALSE(incoming.open);
  // The empty settings text is refused and the port keeps its previous one.
  EXPECT_EQ(view.events[1], "Label2 COM 0, 9600,N,8,1 not available ");
  EXPECT_EQ(station.settings.TimeServerHost, "time.nist.gov");
  EXPECT_EQ(tcp.calls, std::vector<std::string>{"Connect time.nist.gov:37"});
  EXPECT_FALSE(outgoing.open);
  EXPECT_TRUE(incoming.written.empty());

  EXPECT_EQ(status.texts.back(), kNoTncPortChosen);

  session->Unload();
  EXPECT_EQ(ReadText(folder.path() / "vorlink.ini"), "\r\ntime.nist.gov\r\n\r\n\r\n");
}

TEST_F(StationSessionTest, NoIncomingPortOpensTheDialogAndSaysWhereToChooseOne) {
  // What a Cancel at the first start leaves, and a port 0 written by hand.
  for (const char* line : {"", "00,19200,N,8,1"}) {
    SCOPED_TRACE(line);
    session.reset();
    WriteConfig(line + "\r\nclock.example\r\n02,9600,N,8,1\r\nfalse\r\n"s);
    view.events.clear();
    status.texts.clear();
    session = NewSession();
    session->Load();
    EXPECT_EQ(view.events.front(), "setup dialog");
    EXPECT_EQ(status.texts.back(), kNoTncPortChosen);
    EXPECT_EQ(std::count(status.texts.begin(), status.texts.end(), "COM 0: No such device"), 0);
    // Nothing to wait for either.
    EXPECT_FALSE(incomingRetry.running);
  }
}

// The TNC's port is tried the same way; the widget tests plug one in late.
// COM B is waited for whether mirroring was on at start or switched on later.
class MirrorPortMissingTest : public StationSessionTest,
                              public ::testing::WithParamInterface<bool> {};

TEST_P(MirrorPortMissingTest, OpensWhenItsDeviceComes) {
  const bool atStart = GetParam();
  WriteConfig("01,19200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\n"s + (atStart ? "true" : "false") +
              "\r\n");
  outgoing.openFails = true;
  session->Load();
  EXPECT_FALSE(incomingRetry.running);
  if (!atStart) session->ToggleMirror();
  EXPECT_TRUE(outgoingRetry.running);
  outgoing.openFails = false;
  clock.local.second += 2;
  session->Links().OnOutgoingRetry();
  EXPECT_EQ(view.lamps.mirror, LampState::kOpen);
  EXPECT_EQ(view.events.back(), "pane --- COM 2 appeared at 14:03:14 UTC ---");
  EXPECT_EQ(status.texts.back(), "COM 2 appeared at 14:03:14 UTC");
}
INSTANTIATE_TEST_SUITE_P(Mirroring, MirrorPortMissingTest, ::testing::Values(true, false),
                         [](const auto& info) {
                           return info.param ? "AtStart" : "SwitchedOnLater";
                         });

struct PortProblemCase {
  const char* name;
  const char* incomingLine;  // line 1
  const char* outgoingLine;  // line 3
  const char* mirrorFlag;    // line 4
  bool incomingFails;
  bool outgoingFails;
  const char* label2;
  const char* label8;
  std::vector<std::string> problems;  // after the start script's texts
};

void PrintTo(const PortProblemCase& c, std::ostream* os) { *os << c.name; }

class PortProblemTest : public StationSessionTest,
                        public ::testing::WithParamInterface<PortProblemCase> {};

TEST_P(PortProblemTest, LabelsAndStatusTell) {
  const PortProblemCase& c = GetParam();
  WriteConfig(c.incomingLine + "\r\nclock.example\r\n"s + c.outgoingLine + "\r\n" + c.mirrorFlag +
              "\r\n");
  incoming.openFails = c.incomingFails;
  outgoing.openFails = c.outgoingFails;
  outgoing.openError = "Permission denied";
  session->Load();
  EXPECT_EQ(view.events[0], "Label2 "s + c.label2);
  EXPECT_EQ(view.events[1], "Label8 "s + c.label8);
  std::vector<std::string> texts = {"opening connection to TIMESERVER [clock.example]",
                                    "read tnc_init.txt", "done"};
  texts.insert(texts.end(), c.problems.begin(), c.problems.end());
  EXPECT_EQ(status.texts, texts);
}

INSTANTIATE_TEST_SUITE_P(Cases, PortProblemTest,
                         ::testing::Values(
                             // The TNC's port is told last, so that it is the one left standing.
                             PortProblemCase{
                                 "NeitherOpens",
                                 "01,19200,N,8,1",
                                 "02,9600,N,8,1",
                                 "true",
                                 true,
                                 true,
                                 "COM 1, 19200,N,8,1 not available ",
                                 "COM 2, 9600,N,8,1 not available ",
                                 {"COM 2: Permission denied", "COM 1: No such file or directory"}},
                             // Nobody uses the mirror port while mirroring is off.
                             PortProblemCase{"NeitherOpensWithoutMirroring",
                                             "01,19200,N,8,1",
                                             "02,9600,N,8,1",
                                             "false",
                                             true,
                                             true,
                                             "COM 1, 19200,N,8,1 not available ",
                                             "COM 2, 9600,N,8,1 not available ",
                                             {"COM 1: No such file or directory"}},
                             // The refused settings fall back to the port's previous ones.
                             PortProblemCase{"FieldsNotUnderstood",
                                             "01,abc,N,8,1",
                                             "02,9600,N,8",
                                             "false",
                                             false,
                                             false,
                                             "COM 1, 9600,N,8,1 initialized ",
                                             "COM 2, 9600,N,8,1 initialized ",
                                             {"vorlink.ini line 3: stop bits missing",
                                              "vorlink.ini line 1: baud rate abc not understood"}},
                             PortProblemCase{"HandWrittenOneDigitPorts",
                                             "1,4800,e,7,2",
                                             "2,9600,N,8,1",
                                             "false",
                                             false,
                                             false,
                                             "COM 1, 4800,E,7,2 initialized ",
                                             "COM 2, 9600,N,8,1 initialized ",
                                             {}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct UnreadableCase {
  const char* name;
  const char* file;  // a folder stands in its place
  bool doneSaid;
};

void PrintTo(const UnreadableCase& c, std::ostream* os) { *os << c.name; }

class UnreadableFileTest : public StationSessionTest,
                           public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableFileTest, IsNamedWithTheReasonAndNothingElseChanges) {
  WriteConfig("01,19200,N,8,1\r\nclock.example\r\n02,9600,N,8,1\r\nfalse\r\n");
  // What an earlier load read stays in force when the file no longer reads.
  station.settings = {"01,19200,N,8,1", "clock.example", "02,9600,N,8,1", "false"};
  std::filesystem::remove(folder.path() / GetParam().file);
  std::filesystem::create_directory(folder.path() / GetParam().file);
  session->Load();
  const std::string problem = GetParam().file + ": Is a directory"s;
  EXPECT_EQ(status.texts.back(), problem);
  EXPECT_EQ(std::count(status.texts.begin(), status.texts.end(), "done"), GetParam().doneSaid);
  EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "setup dialog"), 0);
  EXPECT_EQ(view.events[0], "Label2 COM 1, 19200,N,8,1 initialized ");
  EXPECT_EQ(ToHex(incoming.written), GetParam().doneSaid ? "4B 49 53 53 20 4F 4E 0D" : "");
}

TEST_F(StationSessionTest, AVorlinkConfTooBigToReadIsNamed) {
  WriteConfig("01,19200,N,8,1\r\nclock.example\r\n02,9600,N,8,1\r\nfalse\r\n");
  std::ofstream(folder.path() / "vorlink.conf") << std::string(kMostStationConfigBytes + 1, '#');
  session->Load();
  EXPECT_EQ(status.texts.back(), "vorlink.conf: File too large");
}

INSTANTIATE_TEST_SUITE_P(Files, UnreadableFileTest,
                         ::testing::Values(UnreadableCase{"Settings", "vorlink.ini", true},
                                           UnreadableCase{"MoreSettings", "vorlink.conf", true},
                                           UnreadableCase{"StartScript", "tnc_init.txt", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StationSessionTest, SavedMirrorFlagWithAnOutgoingPortThatCannotOpen) {
  WriteConfig("01,19200,N,8,1\r\n\r\n02,19200,N,8,1\r\ntrue\r\n");
  outgoing.openFails = true;
  session->Load();
  session->OnStatusTimer();
  EXPECT_EQ(view.lamps.mirror, LampState::kClosed);
  EXPECT_EQ(view.events[2], "check");
  EXPECT_EQ(view.events[3], "indicators shown");
  EXPECT_FALSE(outgoing.open);
  EXPECT_EQ(station.settings.MirrorFlag, "true");
}

TEST_F(StationSessionTest, ShutDownClosesCapturesSendsTheExitScriptClosesAndSaves) {
  WriteConfig("01,19200,N,8,1\r\nclock.example\r\n02,19200,N,8,1\r\ntrue\r\nextra line\r\n");
  session->Load();
  const auto kss = session->Captures().KssFileName();
  incoming.written.clear();
  session->Unload();
  // Nothing was received, so the empty captures are gone.
  EXPECT_FALSE(std::filesystem::exists(kss));
  EXPECT_EQ(ToHex(incoming.written), "1B 4B 0D");
  EXPECT_EQ(incoming.calls.back(), "close");
  EXPECT_EQ(outgoing.calls.back(), "close");
  EXPECT_EQ(ReadText(folder.path() / "vorlink.ini"),
            "01,19200,N,8,1\r\nclock.example\r\n02,19200,N,8,1\r\ntrue\r\n");
}

TEST_F(StationSessionTest, CapturesWithContentStayAndASecondLoadKeepsTheCounters) {
  WriteConfig("01,19200,N,8,1\r\nclock.example\r\n02,19200,N,8,1\r\nfalse\r\n");
  session->Load();
  incoming.pending = testing::Hex("C0 00 41 C0");
  session->OnIncomingPortEvent(kCommEvReceive);
  const auto kss = session->Captures().KssFileName();
  session->Unload();
  EXPECT_EQ(ReadText(kss),
            "\xC0\x09\x41\xF0"
            "asy: 2010-11-28 14:03:12.345 UTC\xC0\xC0\x00\x41\xC0"s);

  clock.local.minute = 4;
  session.reset();
  session = NewSession();
  session->Load();
  EXPECT_EQ(station.counters.BytesReceived, 4u);
  EXPECT_EQ(station.counters.FrameCount, 1);
  EXPECT_EQ(session->Captures().KssFileName(), folder.path() / "28112010_1404.kss");
  EXPECT_TRUE(incoming.open);
  EXPECT_EQ(tcp.calls.back(), "Connect clock.example:37");
}

TEST_F(StationSessionTest, LostSerialLinkComesBackWithTheStartScript) {
  WriteConfig("01,19200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\nfalse\r\n");
  session->Load();
  view.events.clear();
  // Half a frame before the loss.
  incoming.pending = testing::Hex("C0 00 82 84");
  session->OnIncomingPortEvent(kCommEvReceive);
  incoming.open = false;
  session->Links().OnIncomingLost();
  EXPECT_EQ(view.events, (std::vector<std::string>{"Label2 COM 1, 19200,N,8,1 lost ",
                                                   "pane --- COM 1 lost at 14:03:12 UTC ---"}));
  EXPECT_EQ(view.lamps.incoming, LampState::kClosed);
  EXPECT_EQ(status.texts.back(), "COM 1 lost at 14:03:12 UTC");
  EXPECT_EQ(incomingRetry.starts.back(), std::chrono::seconds(1));

  incoming.written.clear();
  clock.local.second += 4;
  clock.monotonic += std::chrono::seconds(4);
  session->Links().OnIncomingRetry();
  EXPECT_EQ(view.lamps.incoming, LampState::kOpen);
  EXPECT_EQ(view.events.back(), "pane --- COM 1 back at 14:03:16 UTC after 4 s ---");
  EXPECT_EQ(view.events[view.events.size() - 2], "Label2 COM 1, 19200,N,8,1 initialized ");
  EXPECT_EQ(ToHex(incoming.written), "4B 49 53 53 20 4F 4E 0D");
  EXPECT_EQ(status.texts.back(), "COM 1 back at 14:03:16 UTC after 4 s");
  // The deframer starts clean: the first frame after the return is whole.
  session->Options().timeFrames = false;
  incoming.pending = testing::Hex("C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0 68 C0");
  session->OnIncomingPortEvent(kCommEvReceive);
  EXPECT_EQ(ToHex(testing::ReadBytes(session->Captures().KssFileName())),
            "C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0 68 C0");
}

TEST_F(StationSessionTest, LostMirrorIsTriedOnlyWhileMirroring) {
  WriteConfig("01,19200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\ntrue\r\n");
  session->Load();
  outgoing.open = false;
  session->Links().OnOutgoingLost();
  EXPECT_EQ(view.events.back(), "pane --- COM 2 lost at 14:03:12 UTC ---");
  EXPECT_EQ(view.events[view.events.size() - 2], "Label8 COM 2, 19200,N,8,1 lost ");
  session->ToggleMirror();  // off
  session->Links().OnOutgoingRetry();
  EXPECT_FALSE(outgoing.open);
  EXPECT_FALSE(outgoingRetry.running);
  EXPECT_EQ(view.events.back(), "Label8 COM 2, 19200,N,8,1 not available ");
}

TEST_F(StationSessionTest, KissTcpPeerGetsNoScripts) {
  WriteConfig("01,19200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\nfalse\r\n");
  station.kissTcpForThisRun = KissTcpAddress{"127.0.0.1", 8001};
  incoming.port = 1;  // the fake opens only a numbered port
  session->Load();
  EXPECT_EQ(incoming.calls, std::vector<std::string>{"open"});
  EXPECT_EQ(view.events.front(), "Label2 KISS TCP 127.0.0.1:8001 connected ");
  session->Unload();
  EXPECT_TRUE(incoming.written.empty());
  // The peer is for this run only: vorlink.ini keeps its serial line.
  EXPECT_EQ(ReadText(folder.path() / "vorlink.ini"),
            "01,19200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\nfalse\r\n");
}

TEST_F(StationSessionTest, KissTcpPeerNotThereAtStartIsTriedAgain) {
  WriteConfig("01,19200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\nfalse\r\n");
  station.config.link = LinkChoice{true, {"localhost", 8100}};
  incoming.port = 1;
  incoming.openFails = true;
  incoming.openError = "Connection refused";
  session->Load();
  EXPECT_EQ(view.events.front(), "Label2 KISS TCP localhost:8100 lost ");
  EXPECT_EQ(status.texts.back(), "KISS TCP localhost:8100: Connection refused");
  incoming.openFails = false;
  session->Links().OnIncomingRetry();
  EXPECT_TRUE(incoming.open);
  EXPECT_TRUE(incoming.written.empty());
  EXPECT_EQ(status.texts.back(), "KISS TCP localhost:8100 back at 14:03:12 UTC after 0 s");
}

// The start-up's connect to a peer goes on in the background; its end comes
// later as an event and shows then.
struct PeerConnectCase {
  const char* name;
  bool opened;
  const char* label2;
  const char* status;  // the last status text; nothing new when empty
  bool retrying;
};

void PrintTo(const PeerConnectCase& c, std::ostream* os) { *os << c.name; }

class PeerConnectTest : public StationSessionTest,
                        public ::testing::WithParamInterface<PeerConnectCase> {};

TEST_P(PeerConnectTest, EndOfTheStartUpConnectShows) {
  const PeerConnectCase& c = GetParam();
  WriteConfig("01,19200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\nfalse\r\n");
  station.kissTcpForThisRun = KissTcpAddress{"127.0.0.1", 8001};
  incoming.opensLater = true;
  incoming.openError = "no answer";
  session->Load();
  EXPECT_EQ(view.events.front(), "Label2 KISS TCP 127.0.0.1:8001 not available ");
  EXPECT_FALSE(incomingRetry.running);
  const std::size_t texts = status.texts.size();

  incoming.EndOpening(c.opened);
  if (c.opened) {
    session->Links().OnIncomingConnected();
  } else {
    session->Links().OnIncomingConnectFailed();
  }
  EXPECT_EQ(view.events[view.events.size() - (c.opened ? 1 : 2)], "Label2 "s + c.label2);
  EXPECT_EQ(view.lamps.incoming, c.opened ? LampState::kOpen : LampState::kClosed);
  if (*c.status == '\0') {
    EXPECT_EQ(status.texts.size(), texts);
  } else {
    EXPECT_EQ(status.texts.back(), c.status);
  }
  EXPECT_EQ(incomingRetry.running, c.retrying);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PeerConnectTest,
    ::testing::Values(PeerConnectCase{"Answers", true, "KISS TCP 127.0.0.1:8001 connected ", "",
                                      false},
                      PeerConnectCase{"NeverAnswers", false, "KISS TCP 127.0.0.1:8001 lost ",
                                      "KISS TCP 127.0.0.1:8001: no answer", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlink
