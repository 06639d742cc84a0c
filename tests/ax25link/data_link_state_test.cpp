// The data link's states, one row per (state, event): the frames it sends
// and the state it is left in.
#include "ax25link/data_link.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_clock.h"
#include "link_recorder.h"

namespace vorlink {
namespace {

using std::chrono::milliseconds;
using testing::LinkRecorder;

enum class Start {
  Disconnected,
  AwaitingConnection,
  AwaitingConnection22,
  Connected,
  Connected22,
  ConnectedOneOutstanding,
  ConnectedPeerBusy,
  TimerRecovery,
  AwaitingRelease,
};

enum class Do { Receive, T1, T3, Connect, Connect22, Disconnect, Send, OwnBusy };

struct Peer {
  FrameKind kind = FrameKind::RR;
  bool command = true;
  bool pollFinal = false;
  int nr = 0;
  int ns = 0;
  std::size_t infoLength = 0;
};

struct StateCase {
  const char* name;
  Start start;
  Do event;
  Peer peer;
  std::vector<std::string> sent;
  LinkState next;
};

void PrintTo(const StateCase& c, std::ostream* os) { *os << c.name; }

const Ax25Address kOwn{"N0CALL", 1, false};
const Ax25Address kRemote{"BBS", 0, false};

class LinkUnderTest {
 public:
  LinkUnderTest() : link_({kOwn, kRemote, {}}, parameters_, clock_, recorder_, recorder_) {}

  void Bring(Start start) {
    switch (start) {
      case Start::Disconnected: break;
      case Start::AwaitingConnection: link_.Connect(false); break;
      case Start::AwaitingConnection22: link_.Connect(true); break;
      case Start::Connected:
        link_.Connect(false);
        Receive({FrameKind::UA, false, true});
        break;
      case Start::Connected22:
        link_.Connect(true);
        Receive({FrameKind::UA, false, true});
        break;
      case Start::ConnectedOneOutstanding:
        Bring(Start::Connected);
        SendData(3);
        break;
      case Start::ConnectedPeerBusy:
        Bring(Start::Connected);
        Receive({FrameKind::RNR, false, false});
        break;
      case Start::TimerRecovery:
        Bring(Start::ConnectedOneOutstanding);
        Expire(milliseconds{3000});
        break;
      case Start::AwaitingRelease:
        Bring(Start::Connected);
        link_.Disconnect();
        break;
    }
    recorder_.Clear();
  }

  void Apply(Do event, const Peer& peer) {
    switch (event) {
      case Do::Receive: return Receive(peer);
      case Do::T1: return Expire(link_.Snapshot().t1);
      case Do::T3: return Expire(parameters_.idlePollT3);
      case Do::Connect: return link_.Connect(false);
      case Do::Connect22: return link_.Connect(true);
      case Do::Disconnect: return link_.Disconnect();
      case Do::Send: return SendData(peer.infoLength);
      case Do::OwnBusy: return link_.SetOwnBusy(true);
    }
  }

  void Receive(const Peer& p) {
    LinkFrame f;
    f.kind = p.kind;
    f.command = p.command;
    f.pollFinal = p.pollFinal;
    f.nr = p.nr;
    f.ns = p.ns;
    if (p.kind == FrameKind::I) f.pid = kPidNoLayer3;
    f.info.assign(p.infoLength, 'x');
    const auto bytes = BuildFrame({kRemote, kOwn, {}}, f, link_.Snapshot().modulo128);
    link_.Receive(bytes, *ReadAddresses(bytes));
  }
  void SendData(std::size_t length) {
    const std::vector<std::uint8_t> data(length, 'd');
    link_.Send(data);
  }
  void Expire(milliseconds after) {
    clock_.monotonic += after;
    link_.Tick();
  }

  testing::FakeClock clock_;
  LinkParameters parameters_;
  LinkRecorder recorder_;
  DataLink link_;
};

class DataLinkStateTest : public ::testing::TestWithParam<StateCase> {};

TEST_P(DataLinkStateTest, SendsAndMovesOn) {
  const StateCase& c = GetParam();
  LinkUnderTest t;
  t.Bring(c.start);
  t.recorder_.modulo128 = t.link_.Snapshot().modulo128;
  t.Apply(c.event, c.peer);
  EXPECT_EQ(t.recorder_.FrameTexts(), c.sent);
  EXPECT_EQ(LinkStateText(t.link_.State()), LinkStateText(c.next));
}

using K = FrameKind;
using S = LinkState;
constexpr bool C = true;
constexpr bool R = false;

INSTANTIATE_TEST_SUITE_P(
    Rows, DataLinkStateTest,
    ::testing::Values(
        // Disconnected
        StateCase{"DiscSabm", Start::Disconnected, Do::Receive, {K::SABM, C, true}, {"UA R F"},
                  S::Connected},
        StateCase{"DiscSabme", Start::Disconnected, Do::Receive, {K::SABME, C, true}, {"UA R F"},
                  S::Connected},
        StateCase{"DiscDisc", Start::Disconnected, Do::Receive, {K::DISC, C, true}, {"DM R F"},
                  S::Disconnected},
        StateCase{"DiscIWithPoll", Start::Disconnected, Do::Receive, {K::I, C, true}, {"DM R F"},
                  S::Disconnected},
        StateCase{"DiscRrResponse", Start::Disconnected, Do::Receive, {K::RR, R, true}, {},
                  S::Disconnected},
        StateCase{"DiscUa", Start::Disconnected, Do::Receive, {K::UA, R, true}, {},
                  S::Disconnected},
        StateCase{"DiscXid", Start::Disconnected, Do::Receive, {K::XID, C, true}, {"XID R F"},
                  S::Disconnected},
        StateCase{"DiscTest", Start::Disconnected, Do::Receive, {K::TEST, C, true}, {"TEST R F"},
                  S::Disconnected},
        StateCase{"DiscConnect", Start::Disconnected, Do::Connect, {}, {"SABM C P"},
                  S::AwaitingConnection},
        StateCase{"DiscConnect22", Start::Disconnected, Do::Connect22, {}, {"SABME C P"},
                  S::AwaitingConnection22},
        // Awaiting connection (2.0)
        StateCase{"AwaitUa", Start::AwaitingConnection, Do::Receive, {K::UA, R, true}, {},
                  S::Connected},
        StateCase{"AwaitUaNoFinal", Start::AwaitingConnection, Do::Receive, {K::UA, R, false}, {},
                  S::AwaitingConnection},
        StateCase{"AwaitDm", Start::AwaitingConnection, Do::Receive, {K::DM, R, true}, {},
                  S::Disconnected},
        StateCase{"AwaitSabmCollision", Start::AwaitingConnection, Do::Receive, {K::SABM, C, true},
                  {"UA R F"}, S::AwaitingConnection},
        StateCase{"AwaitDisc", Start::AwaitingConnection, Do::Receive, {K::DISC, C, true},
                  {"DM R F"}, S::AwaitingConnection},
        StateCase{"AwaitIIgnored", Start::AwaitingConnection, Do::Receive, {K::I, C, true}, {},
                  S::AwaitingConnection},
        StateCase{"AwaitT1", Start::AwaitingConnection, Do::T1, {}, {"SABM C P"},
                  S::AwaitingConnection},
        StateCase{"AwaitSendQueues", Start::AwaitingConnection, Do::Send, {.infoLength = 5}, {},
                  S::AwaitingConnection},
        // Awaiting connection (2.2)
        StateCase{"Await22Ua", Start::AwaitingConnection22, Do::Receive, {K::UA, R, true}, {},
                  S::Connected},
        StateCase{"Await22DmFallsBack", Start::AwaitingConnection22, Do::Receive, {K::DM, R, true},
                  {"SABM C P"}, S::AwaitingConnection},
        StateCase{"Await22FrmrFallsBack", Start::AwaitingConnection22, Do::Receive,
                  {K::FRMR, R, false}, {"SABM C P"}, S::AwaitingConnection},
        StateCase{"Await22T1", Start::AwaitingConnection22, Do::T1, {}, {"SABME C P"},
                  S::AwaitingConnection22},
        // Connected
        StateCase{"ConnIInSequence", Start::Connected, Do::Receive, {K::I, C, false, 0, 0, 4},
                  {"RR nr=1 R"}, S::Connected},
        StateCase{"ConnIWithPoll", Start::Connected, Do::Receive, {K::I, C, true, 0, 0, 4},
                  {"RR nr=1 R F"}, S::Connected},
        StateCase{"ConnIOutOfSequenceRej", Start::Connected, Do::Receive, {K::I, C, false, 0, 1, 4},
                  {"REJ nr=0 R"}, S::Connected},
        StateCase{"ConnIAsResponseIgnored", Start::Connected, Do::Receive, {K::I, R, false, 0, 0, 4},
                  {}, S::Connected},
        StateCase{"ConnITooLongResets", Start::Connected, Do::Receive, {K::I, C, false, 0, 0, 257},
                  {"SABM C P"}, S::AwaitingConnection},
        StateCase{"ConnIN1Exactly", Start::Connected, Do::Receive, {K::I, C, false, 0, 0, 256},
                  {"RR nr=1 R"}, S::Connected},
        StateCase{"ConnRrPoll", Start::Connected, Do::Receive, {K::RR, C, true}, {"RR nr=0 R F"},
                  S::Connected},
        StateCase{"ConnNrOutOfWindowResets", Start::Connected, Do::Receive, {K::RR, R, false, 3},
                  {"SABM C P"}, S::AwaitingConnection},
        StateCase{"ConnDisc", Start::Connected, Do::Receive, {K::DISC, C, true}, {"UA R F"},
                  S::Disconnected},
        StateCase{"ConnDm", Start::Connected, Do::Receive, {K::DM, R, false}, {}, S::Disconnected},
        StateCase{"ConnFrmrResets", Start::Connected, Do::Receive, {K::FRMR, R, false},
                  {"SABM C P"}, S::AwaitingConnection},
        StateCase{"ConnLateUaDropped", Start::Connected, Do::Receive, {K::UA, R, true}, {},
                  S::Connected},
        StateCase{"ConnSabmReset", Start::Connected, Do::Receive, {K::SABM, C, true}, {"UA R F"},
                  S::Connected},
        StateCase{"ConnSend", Start::Connected, Do::Send, {.infoLength = 3}, {"I ns=0 nr=0 C"},
                  S::Connected},
        StateCase{"ConnSendSplitsAtN1", Start::Connected, Do::Send, {.infoLength = 600},
                  {"I ns=0 nr=0 C", "I ns=1 nr=0 C", "I ns=2 nr=0 C"}, S::Connected},
        StateCase{"ConnSendWindowOfFour", Start::Connected, Do::Send, {.infoLength = 1500},
                  {"I ns=0 nr=0 C", "I ns=1 nr=0 C", "I ns=2 nr=0 C", "I ns=3 nr=0 C"},
                  S::Connected},
        StateCase{"ConnT3Polls", Start::Connected, Do::T3, {}, {"RR nr=0 C P"}, S::TimerRecovery},
        StateCase{"ConnDisconnect", Start::Connected, Do::Disconnect, {}, {"DISC C P"},
                  S::AwaitingRelease},
        StateCase{"ConnOwnBusy", Start::Connected, Do::OwnBusy, {}, {"RNR nr=0 R"}, S::Connected},
        StateCase{"ConnPeerBusyHolds", Start::ConnectedPeerBusy, Do::Send, {.infoLength = 3}, {},
                  S::Connected},
        StateCase{"ConnAcked", Start::ConnectedOneOutstanding, Do::Receive, {K::RR, R, false, 1},
                  {}, S::Connected},
        StateCase{"ConnRejResends", Start::ConnectedOneOutstanding, Do::Receive,
                  {K::REJ, R, false, 0}, {"I ns=0 nr=0 C"}, S::Connected},
        StateCase{"ConnSrejResends", Start::ConnectedOneOutstanding, Do::Receive,
                  {K::SREJ, R, false, 0}, {"I ns=0 nr=0 C"}, S::Connected},
        StateCase{"ConnT1Polls", Start::ConnectedOneOutstanding, Do::T1, {}, {"RR nr=0 C P"},
                  S::TimerRecovery},
        // Connected, modulo 128 with selective reject
        StateCase{"Conn22IInSequence", Start::Connected22, Do::Receive, {K::I, C, false, 0, 0, 4},
                  {"RR nr=1 R"}, S::Connected},
        StateCase{"Conn22IOutOfSequenceSrej", Start::Connected22, Do::Receive,
                  {K::I, C, false, 0, 2, 4}, {"SREJ nr=0 R", "SREJ nr=1 R"}, S::Connected},
        StateCase{"Conn22NrFarOffResets", Start::Connected22, Do::Receive, {K::RR, R, false, 90},
                  {"SABME C P"}, S::AwaitingConnection22},
        // Timer recovery
        StateCase{"RecoveryAnswerAcks", Start::TimerRecovery, Do::Receive, {K::RR, R, true, 1}, {},
                  S::Connected},
        StateCase{"RecoveryAnswerResends", Start::TimerRecovery, Do::Receive, {K::RR, R, true, 0},
                  {"I ns=0 nr=0 C"}, S::Connected},
        StateCase{"RecoveryRnrAnswerHolds", Start::TimerRecovery, Do::Receive,
                  {K::RNR, R, true, 0}, {}, S::Connected},
        StateCase{"RecoveryRejAnswer", Start::TimerRecovery, Do::Receive, {K::REJ, R, true, 0},
                  {"I ns=0 nr=0 C"}, S::Connected},
        StateCase{"RecoveryT1PollsAgain", Start::TimerRecovery, Do::T1, {}, {"RR nr=0 C P"},
                  S::TimerRecovery},
        StateCase{"RecoveryPeerPolls", Start::TimerRecovery, Do::Receive, {K::RR, C, true, 0},
                  {"RR nr=0 R F"}, S::TimerRecovery},
        StateCase{"RecoveryAckWithoutFinalStays", Start::TimerRecovery, Do::Receive,
                  {K::RR, R, false, 1}, {}, S::TimerRecovery},
        StateCase{"RecoveryDisconnect", Start::TimerRecovery, Do::Disconnect, {}, {"DISC C P"},
                  S::AwaitingRelease},
        // Awaiting release
        StateCase{"ReleaseUa", Start::AwaitingRelease, Do::Receive, {K::UA, R, true}, {},
                  S::Disconnected},
        StateCase{"ReleaseDm", Start::AwaitingRelease, Do::Receive, {K::DM, R, true}, {},
                  S::Disconnected},
        StateCase{"ReleaseSabm", Start::AwaitingRelease, Do::Receive, {K::SABM, C, true},
                  {"DM R F"}, S::AwaitingRelease},
        StateCase{"ReleaseDisc", Start::AwaitingRelease, Do::Receive, {K::DISC, C, true},
                  {"UA R F"}, S::AwaitingRelease},
        StateCase{"ReleaseIPoll", Start::AwaitingRelease, Do::Receive, {K::I, C, true}, {"DM R F"},
                  S::AwaitingRelease},
        StateCase{"ReleaseT1", Start::AwaitingRelease, Do::T1, {}, {"DISC C P"},
                  S::AwaitingRelease}),
    [](const auto& info) { return std::string(info.param.name); });

struct GiveUpCase {
  const char* name;
  Start start;
  std::string lastFrame;  // "" when none goes out at the end
  std::string event;
};

TEST(DataLinkGiveUpTest, AfterN2RetriesTheLinkEnds) {
  const GiveUpCase cases[] = {
      {"Connect", Start::AwaitingConnection, "SABM C P", "disconnected: no answer (retries used up)"},
      {"Poll", Start::TimerRecovery, "DM R", "disconnected: link failed (polls unanswered)"},
      {"Release", Start::AwaitingRelease, "DISC C P", "disconnected: disconnected"},
  };
  for (const auto& c : cases) {
    LinkUnderTest t;
    t.Bring(c.start);
    for (int i = 0; i < 11 && t.link_.State() != LinkState::Disconnected; ++i) t.Apply(Do::T1, {});
    EXPECT_EQ(t.link_.State(), LinkState::Disconnected) << c.name;
    ASSERT_FALSE(t.recorder_.frames.empty()) << c.name;
    EXPECT_EQ(t.recorder_.FrameTexts().back(), c.lastFrame) << c.name;
    ASSERT_FALSE(t.recorder_.events.empty()) << c.name;
    EXPECT_EQ(t.recorder_.events.back(), c.event) << c.name;
  }
}

TEST(DataLinkRefusalTest, IncomingOffAnswersDm) {
  LinkUnderTest t;
  t.link_.SetAcceptIncoming(false);
  t.Receive({FrameKind::SABM, true, true});
  EXPECT_EQ(t.recorder_.FrameTexts(), std::vector<std::string>{"DM R F"});
  EXPECT_EQ(t.link_.State(), LinkState::Disconnected);
}

TEST(DataLinkQueueTest, SendRefusesPastItsBound) {
  LinkUnderTest t;
  t.parameters_.sendQueueBytes = 1000;
  DataLink link({kOwn, kRemote, {}}, t.parameters_, t.clock_, t.recorder_, t.recorder_);
  const std::vector<std::uint8_t> chunk(1000, 'a');
  EXPECT_FALSE(link.Send(chunk));  // not connected
  link.Connect(false);
  EXPECT_TRUE(link.Send(chunk));
  EXPECT_FALSE(link.Send(std::vector<std::uint8_t>(1, 'b')));
  EXPECT_EQ(link.Snapshot().queuedBytes, 1000U);
}

TEST(DataLinkTimerTest, T1FollowsTheMeasuredRoundTrip) {
  LinkUnderTest t;
  t.Bring(Start::Connected);
  // The UA came at once: SRTT = 7/8 of 1.5 s = 1312 ms, T1 twice that.
  EXPECT_EQ(t.link_.Snapshot().t1, milliseconds{2624});
  t.SendData(3);
  t.clock_.monotonic += milliseconds{400};
  t.Receive({FrameKind::RR, false, false, 1});
  // SRTT = (7 * 1312 + 400) / 8 = 1198; T1 = 2 * SRTT.
  EXPECT_EQ(t.link_.Snapshot().srtt, milliseconds{1198});
  EXPECT_EQ(t.link_.Snapshot().t1, milliseconds{2396});
}

}  // namespace
}  // namespace vorlink
