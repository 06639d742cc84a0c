// Two stations' sessions joined through an in-memory channel: connect,
// lines both ways, disconnect, the text kept and the logs written; an
// incoming connect refused; a log that cannot be written told once; and
// what Terminal > Connect... reads and the state line shows.
#include "app/link_sessions.h"

#include <gtest/gtest.h>

#include "app/link_state_line.h"
#include "fake_clock.h"
#include "fake_status_line.h"
#include "link_channel.h"
#include "temp_folder.h"

namespace vorlink {
namespace {

using namespace std::chrono_literals;

struct Opened final : SessionListener {
  std::vector<SessionNumber> opened;
  int changes = 0;
  void OnSessionOpened(SessionNumber session) override { opened.push_back(session); }
  void OnSessionsChanged() override { ++changes; }
};

class LinkSessionsTest : public ::testing::Test {
 protected:
  explicit LinkSessionsTest(bool bAccepts = true)
      : channel(clock, {}),
        a(LinkParameters{}, clock, channel.Side(0), statusA, folder.path()),
        b(Accepting(bAccepts), clock, channel.Side(1), statusB, folder.path()) {
    a.SetOwnCall(Ax25Address{"AA1AA", 0});
    b.SetOwnCall(Ax25Address{"BB2BB", 5});
    channel.SetReceiver(0, [this](std::span<const std::uint8_t> f) { a.OnAx25Frame(f); });
    channel.SetReceiver(1, [this](std::span<const std::uint8_t> f) { b.OnAx25Frame(f); });
    a.SetListener(&listenerA);
    b.SetListener(&listenerB);
  }
  static LinkParameters Accepting(bool accept) {
    LinkParameters p;
    p.acceptIncoming = accept;
    return p;
  }

  // Moves the clock from event to event until nothing is due any more.
  void Settle() {
    const auto end = clock.monotonic + 600s;
    for (;;) {
      auto next = channel.NextArrival();
      for (const auto d : {a.NextDeadline(), b.NextDeadline()}) {
        if (d && (!next || *d < *next)) next = d;
      }
      if (!next || *next > end) return;
      // T3 idles the link for minutes: stop once the channel is quiet.
      if (channel.Empty() && *next > clock.monotonic + 60s) return;
      clock.monotonic = std::max(clock.monotonic, *next);
      channel.DeliverDue();
      a.Tick();
      b.Tick();
    }
  }

  SessionNumber ConnectToB() {
    std::string problem;
    const auto session = a.Connect({Ax25Address{"BB2BB", 5}, {}, false}, problem);
    EXPECT_TRUE(session) << problem;
    Settle();
    return session.value_or(0);
  }

  static std::vector<std::string> Lines(const LinkSession& s) {
    std::vector<std::string> lines;
    for (const SessionLine& line : s.text.Lines()) lines.push_back(SessionLogLine(line));
    return lines;
  }

  testing::TempFolder folder;
  testing::FakeClock clock;
  testing::LinkChannel channel;
  testing::FakeStatusLine statusA;
  testing::FakeStatusLine statusB;
  LinkSessions a;
  LinkSessions b;
  Opened listenerA;
  Opened listenerB;
};

TEST_F(LinkSessionsTest, ASessionConnectsCarriesLinesBothWaysAndEndsInBothLogs) {
  const SessionNumber atA = ConnectToB();
  ASSERT_EQ(listenerB.opened.size(), 1u);
  const SessionNumber atB = listenerB.opened[0];
  EXPECT_EQ(a.Find(atA)->snapshot.state, LinkState::Connected);
  EXPECT_TRUE(b.Find(atB)->incoming);

  EXPECT_EQ(a.SendLine(atA, "hello"), LineOutcome::Sent);
  Settle();
  EXPECT_EQ(b.SendLine(atB, "Gr\xC3\xBC\xC3\x9F dich"), LineOutcome::Sent);
  Settle();
  EXPECT_EQ(a.Find(atA)->snapshot.vs, 1);
  EXPECT_EQ(a.Find(atA)->snapshot.vr, 1);
  a.Disconnect(atA);
  Settle();

  EXPECT_FALSE(a.Find(atA)->live);
  EXPECT_FALSE(b.Find(atB)->live);
  EXPECT_EQ(a.SendLine(atA, "late"), LineOutcome::NotConnected);
  const std::vector<std::string> atALines{"*** connecting to BB2BB-5 (2.0)", "*** connected to BB2BB-5",
                                          "> hello", "Gr\xC3\xBC\xC3\x9F dich", "*** disconnected"};
  EXPECT_EQ(Lines(*a.Find(atA)), atALines);
  EXPECT_EQ(testing::ReadText(folder.path() / "BB2BB-5_06122026_0958.log"),
            "*** connecting to BB2BB-5 (2.0)\n*** connected to BB2BB-5\n> hello\n"
            "Gr\xC3\xBC\xC3\x9F dich\n*** disconnected\n");
  EXPECT_EQ(testing::ReadText(folder.path() / "AA1AA_06122026_0958.log"),
            "*** AA1AA connected\nhello\n> Gr\xC3\xBC\xC3\x9F dich\n"
            "*** disconnected by the other station\n");
  EXPECT_TRUE(statusA.texts.empty());
  EXPECT_GT(listenerA.changes, 0);
}

TEST_F(LinkSessionsTest, AReceivedLineNotEndedIsLoggedWhenTheLinkGoes) {
  const SessionNumber atA = ConnectToB();
  const SessionNumber atB = listenerB.opened.at(0);
  ASSERT_EQ(b.SendLine(atB, "x"), LineOutcome::Sent);
  Settle();
  a.Disconnect(atA);
  Settle();
  const auto log = testing::ReadText(folder.path() / "BB2BB-5_06122026_0958.log");
  EXPECT_NE(log.find("\nx\n*** disconnected\n"), std::string::npos) << log;
}

TEST_F(LinkSessionsTest, ASecondConnectToTheSameStationIsRefusedWhileTheFirstRuns) {
  ConnectToB();
  std::string problem;
  EXPECT_FALSE(a.Connect({Ax25Address{"BB2BB", 5}, {}, true}, problem));
  EXPECT_EQ(problem, "a link to BB2BB-5 is open already");
}

TEST_F(LinkSessionsTest, WithoutAnOwnCallNoLinkIsMade) {
  a.SetOwnCall(std::nullopt);
  std::string problem;
  EXPECT_FALSE(a.Connect({Ax25Address{"BB2BB", 5}, {}, false}, problem));
  EXPECT_EQ(problem, "no own callsign (Options > Station...)");
  EXPECT_EQ(a.SessionCount(), 0u);
}

TEST_F(LinkSessionsTest, ClosingTheWindowLetsTheLinkGo) {
  const SessionNumber atA = ConnectToB();
  const SessionNumber atB = listenerB.opened.at(0);
  a.Forget(atA);
  Settle();
  EXPECT_EQ(a.Find(atA), nullptr);
  EXPECT_FALSE(b.Find(atB)->live);
}

class RefusingLinkSessionsTest : public LinkSessionsTest {
 protected:
  RefusingLinkSessionsTest() : LinkSessionsTest(false) {}
};

TEST_F(RefusingLinkSessionsTest, AnIncomingConnectRefusedWithDmOpensNoSession) {
  const SessionNumber atA = ConnectToB();
  EXPECT_TRUE(listenerB.opened.empty());
  EXPECT_EQ(b.SessionCount(), 0u);
  EXPECT_FALSE(a.Find(atA)->live);
  EXPECT_EQ(Lines(*a.Find(atA)).back(), "*** refused (DM)");
}

TEST(LinkSessionsLogTest, ALogThatCannotBeWrittenIsToldOnce) {
  testing::TempFolder folder;
  testing::FakeClock clock;
  testing::FakeStatusLine status;
  struct Dropping final : FrameSink {
    void SendFrame(std::span<const std::uint8_t>, bool) override {}
  } sink;
  LinkSessions sessions(LinkParameters{}, clock, sink, status, folder.path() / "gone");
  sessions.SetOwnCall(Ax25Address{"AA1AA", 0});
  std::string problem;
  const auto session = sessions.Connect({Ax25Address{"BB2BB", 0}, {}, false}, problem);
  ASSERT_TRUE(session);
  sessions.Disconnect(*session);
  EXPECT_EQ(status.texts, (std::vector<std::string>{
                              "cannot write BB2BB_06122026_0958.log: No such file or directory"}));
  EXPECT_EQ(sessions.Find(*session)->text.Lines().size(), 1u);
}

struct RequestCase {
  const char* name;
  std::string call;
  std::string path;
  std::string problem;
  std::vector<std::string> digipeaters;
};

void PrintTo(const RequestCase& c, std::ostream* os) { *os << c.name; }

class ConnectRequests : public ::testing::TestWithParam<RequestCase> {};

TEST_P(ConnectRequests, AreReadOrRefusedWithTheirReason) {
  const RequestCase& c = GetParam();
  std::string problem;
  const auto request = ReadConnectRequest(c.call, c.path, true, problem);
  EXPECT_EQ(problem, c.problem);
  ASSERT_EQ(request.has_value(), c.problem.empty());
  if (!request) return;
  std::vector<std::string> path;
  for (const auto& d : request->path) path.push_back(CallsignText(d));
  EXPECT_EQ(path, c.digipeaters);
  EXPECT_TRUE(request->version22);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, ConnectRequests,
    ::testing::Values(
        RequestCase{"Direct", " db0abc-3 ", "", "", {}},
        RequestCase{"PathByCommasAndBlanks", "DB0ABC", "WIDE1-1, db0xyz  DB0UVW", "", {"WIDE1-1", "DB0XYZ", "DB0UVW"}},
        RequestCase{"EightDigipeaters", "DB0ABC", "D1,D2,D3,D4,D5,D6,D7,D8", "",
                    {"D1", "D2", "D3", "D4", "D5", "D6", "D7", "D8"}},
        RequestCase{"NineDigipeaters", "DB0ABC", "D1,D2,D3,D4,D5,D6,D7,D8,D9", "At most 8 digipeaters", {}},
        RequestCase{"NoCall", "  ", "", "Give the callsign to connect to", {}},
        RequestCase{"BadCall", "DB0ABCDE", "", "\"DB0ABCDE\" is no callsign", {}},
        RequestCase{"BadSsid", "DB0ABC-16", "", "\"DB0ABC-16\" is no callsign", {}},
        RequestCase{"BadDigipeater", "DB0ABC", "WIDE1-1,WI*DE", "Digipeater \"WI*DE\" is no callsign", {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BlockerCase {
  const char* name;
  std::string callsign;
  bool transmit;
  std::string why;
};

void PrintTo(const BlockerCase& c, std::ostream* os) { *os << c.name; }

class SendBlockers : public ::testing::TestWithParam<BlockerCase> {};

TEST_P(SendBlockers, SayWhyNothingCanBeSent) {
  OwnStation station;
  station.callsign = GetParam().callsign;
  EXPECT_EQ(SendBlocker(station, GetParam().transmit), GetParam().why);
}

INSTANTIATE_TEST_SUITE_P(
    Blockers, SendBlockers,
    ::testing::Values(
        BlockerCase{"Ready", "N0CALL-7", true, ""},
        BlockerCase{"NoCallsign", "", true, "Nothing can be sent: no own callsign (Options > Station...)"},
        BlockerCase{"NoUsableCallsign", "N0CALL-99", true,
                    "Nothing can be sent: no own callsign (Options > Station...)"},
        BlockerCase{"TransmitOff", "N0CALL", false,
                    "Nothing can be sent: \"Transmit\" is off (Options > Station...)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LinkStateLineTest, LaysTheLinkOpen) {
  LinkSnapshot s;
  s.state = LinkState::TimerRecovery;
  s.modulo128 = true;
  s.vs = 17;
  s.vr = 101;
  s.outstanding = 3;
  s.retries = 2;
  s.t1 = 4250ms;
  s.srtt = 1949ms;
  s.rejSent = 1;
  s.srejReceived = 4;
  s.peerBusy = true;
  EXPECT_EQ(LinkStateLine(s),
            "timer recovery 2.2 | V(S) 17 V(R) 101 | outstanding 3 | retries 2 | T1 4.3 s, "
            "round trip 1.9 s | REJ 1/0 SREJ 0/4 | peer busy");
  EXPECT_EQ(LinkStateLine(LinkSnapshot{}),
            "disconnected | V(S) 0 V(R) 0 | outstanding 0 | retries 0 | T1 0.0 s, round trip 0.0 s"
            " | REJ 0/0 SREJ 0/0");
}

}  // namespace
}  // namespace vorlink
