#include "app/kiss_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake_clock.h"
#include "fake_serial_port.h"
#include "fake_status_line.h"
#include "hex.h"
#include "link/kiss.h"

namespace vorlink {
namespace {

using testing::FakeClock;
using testing::FakeSerialPort;
using testing::FakeStatusLine;
using testing::Hex;

// A KISS data frame on port 0 with a whole AX.25 header (16 bytes) and the
// payload given in hex.
std::vector<std::uint8_t> DataFrame(const std::string& payload) {
  return Hex("C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0 " + payload + " C0");
}

struct RecordingSockets final : KissServerSockets {
  std::vector<KissClientId> woken;
  std::vector<KissClientId> closed;
  void Wake(KissClientId client) override { woken.push_back(client); }
  void Close(KissClientId client) override { closed.push_back(client); }
};

// Everything queued for the client, read a front at a time as the adapter does.
std::vector<std::uint8_t> PendingOf(const KissServer& server, KissClientId client) {
  auto& reading = const_cast<KissServer&>(server);
  std::vector<std::uint8_t> all;
  for (auto front = reading.Pending(client); !front.empty(); front = reading.Pending(client)) {
    all.insert(all.end(), front.begin(), front.end());
    reading.Taken(client, front.size());
  }
  return all;
}

std::size_t Count(const std::vector<std::string>& texts, const std::string& text) {
  return static_cast<std::size_t>(std::count(texts.begin(), texts.end(), text));
}

class KissServerTest : public ::testing::Test {
 protected:
  KissServerTest() { server.SetSockets(&sockets); }
  KissClientId Connect(KissServer& to, const std::string& name) { return to.Connect(name).value(); }
  FakeStatusLine status;
  FakeSerialPort tnc;
  FakeClock clock;
  KissServerFigures figures{99};
  RecordingSockets sockets;
  KissServer server{status, tnc, clock, figures, {}, 64};
};

TEST_F(KissServerTest, ConnectAndDisconnectAreShownAndCounted) {
  EXPECT_EQ(figures.clients, 0u);
  const KissClientId a = Connect(server, "127.0.0.1:5555");
  const KissClientId b = Connect(server, "127.0.0.1:5556");
  EXPECT_NE(a, b);
  EXPECT_EQ(figures.clients, 2u);
  server.Disconnect(a);
  server.Disconnect(a);
  EXPECT_EQ(figures.clients, 1u);
  EXPECT_EQ(status.texts, (std::vector<std::string>{"KISS server: client 127.0.0.1:5555 connected",
                                                    "KISS server: client 127.0.0.1:5556 connected",
                                                    "KISS server: client 127.0.0.1:5555 disconnected"}));
}

TEST_F(KissServerTest, EveryClientGetsEveryFrameAfterItConnected) {
  const KissClientId early = Connect(server, "a:1");
  server.OnReceivedFrame(Hex("C0 00 41 C0"));
  const KissClientId late = Connect(server, "b:2");
  server.OnReceivedFrame(Hex("C0 00 DB DC C0"));
  EXPECT_EQ(PendingOf(server, early), Hex("C0 00 41 C0 C0 00 DB DC C0"));
  EXPECT_EQ(PendingOf(server, late), Hex("C0 00 DB DC C0"));
  EXPECT_EQ(sockets.woken, (std::vector<KissClientId>{early, early, late}));
}

TEST_F(KissServerTest, TakenBytesLeaveTheQueueInOrder) {
  const KissClientId c = Connect(server, "a:1");
  server.OnReceivedFrame(Hex("C0 00 41 C0"));
  server.Taken(c, 3);
  server.OnReceivedFrame(Hex("C0 00 42 C0"));
  EXPECT_EQ(PendingOf(server, c), Hex("C0 C0 00 42 C0"));
  server.Taken(c, 100);
  EXPECT_TRUE(server.Pending(c).empty());
}

// The limit is 8 bytes here: up to it is kept, one byte over drops the client.
TEST_F(KissServerTest, QueueBoundAtExactlyTheLimitAndOneOver) {
  struct Row {
    const char* name;
    std::vector<std::uint8_t> second;
    bool dropped;
  } rows[] = {
      {"exactly the limit", Hex("C0 00 42 C0"), false},
      {"one byte over", Hex("C0 00 42 43 C0"), true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeStatusLine rowStatus;
    RecordingSockets rowSockets;
    KissServerFigures rowFigures;
    KissServer bounded(rowStatus, tnc, clock, rowFigures, {}, 8);
    bounded.SetSockets(&rowSockets);
    const KissClientId slow = Connect(bounded, "127.0.0.1:5555");
    const KissClientId fast = Connect(bounded, "127.0.0.1:5556");
    bounded.OnReceivedFrame(Hex("C0 00 41 C0"));
    bounded.Taken(fast, 4);
    bounded.OnReceivedFrame(row.second);
    EXPECT_EQ(rowFigures.clients, row.dropped ? 1u : 2u);
    EXPECT_EQ(rowFigures.clientsDropped, row.dropped ? 1u : 0u);
    EXPECT_EQ(rowSockets.closed, row.dropped ? std::vector<KissClientId>{slow}
                                             : std::vector<KissClientId>{});
    EXPECT_EQ(rowStatus.Current(), row.dropped
                                       ? "KISS server: client 127.0.0.1:5555 dropped, not taking data"
                                       : "KISS server: client 127.0.0.1:5556 connected");
    // The client that keeps up has the frame either way.
    EXPECT_EQ(PendingOf(bounded, fast), row.second);
    // A dropped client is gone: its socket closing later says nothing more.
    bounded.Disconnect(slow);
    EXPECT_EQ(rowFigures.clients, 1u);
  }
}

// Past the most clients, newcomers are refused with one message until a
// client goes; a slot freed takes the next one.
TEST_F(KissServerTest, ClientsPastTheMostAreRefusedWithOneMessagePerCrowd) {
  KissServerFigures rowFigures;
  KissServer few(status, tnc, clock, rowFigures, {3, kDefaultKissServerBudget});
  std::vector<KissClientId> in;
  for (int i = 0; i < 3; ++i) in.push_back(Connect(few, "a:" + std::to_string(i)));
  for (int i = 0; i < 50; ++i) EXPECT_FALSE(few.Connect("b:" + std::to_string(i)));
  EXPECT_EQ(rowFigures.clients, 3u);
  EXPECT_EQ(rowFigures.clientsRefused, 50u);
  EXPECT_EQ(Count(status.texts, "KISS server: client b:0 refused, too many clients"), 1u);
  EXPECT_EQ(status.texts.size(), 4u);
  few.Disconnect(in[0]);
  EXPECT_TRUE(few.Connect("c:1"));
  EXPECT_FALSE(few.Connect("c:2"));
  EXPECT_EQ(status.Current(), "KISS server: client c:2 refused, too many clients");
}

// 100 clients that never read: whatever arrives, the queues together hold
// no more than their budget; those furthest behind make room, and every
// chunk goes back when they are gone.
TEST_F(KissServerTest, IdleClientsCostAtMostTheirBudget) {
  constexpr std::size_t kBudget = 256 * 1024;
  struct Row {
    const char* name;
    std::size_t frameSize;
    std::size_t frames;
  } rows[] = {
      {"small frames", 20, 100000},
      {"largest frames", kFrameBufferCapacity, 20000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    KissServerFigures rowFigures;
    RecordingSockets rowSockets;
    KissServer idle(status, tnc, clock, rowFigures, {100, kBudget});
    idle.SetSockets(&rowSockets);
    std::vector<KissClientId> ids;
    for (int i = 0; i < 100; ++i) ids.push_back(Connect(idle, "idle:" + std::to_string(i)));
    std::vector<std::uint8_t> frame(row.frameSize, 0x41);
    frame.front() = frame.back() = kFend;
    std::size_t most = 0;
    for (std::size_t i = 0; i < row.frames; ++i) {
      idle.OnReceivedFrame(frame);
      most = std::max(most, idle.QueueBytesHeld());
    }
    EXPECT_LE(most, kBudget + kChunkReserve * kChunkSize);
    EXPECT_GT(rowFigures.clientsDropped, 0u);
    EXPECT_EQ(rowFigures.clients + rowFigures.clientsDropped, 100u);
    for (const KissClientId id : ids) idle.Disconnect(id);
    EXPECT_LE(idle.QueueBytesHeld(), kChunkReserve * kChunkSize);
  }
}

TEST_F(KissServerTest, ReceiveOnlyClientsReachNothing) {
  const KissClientId c = Connect(server, "a:1");
  server.FromClient(c, DataFrame("41"));
  EXPECT_TRUE(tnc.written.empty());
}

TEST_F(KissServerTest, TransmittingClientsSendWholeWellFormedDataFramesOnly) {
  const auto two = [](const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    std::vector<std::uint8_t> both = a;
    both.insert(both.end(), b.begin(), b.end());
    return both;
  };
  const auto frame = DataFrame("41 42");
  struct Row {
    const char* name;
    std::vector<std::vector<std::uint8_t>> chunks;
    std::vector<std::uint8_t> toTnc;
    std::size_t writes;
    std::uint64_t malformed;
  } rows[] = {
      {"one frame in one chunk", {frame}, frame, 1, 0},
      {"one frame cut in three",
       {{frame.begin(), frame.begin() + 2}, {frame.begin() + 2, frame.begin() + 9}, {frame.begin() + 9, frame.end()}},
       frame, 1, 0},
      {"escapes kept", {DataFrame("DB DC DB DD")}, DataFrame("DB DC DB DD"), 1, 0},
      {"two frames", {two(DataFrame("41"), DataFrame("42"))}, two(DataFrame("41"), DataFrame("42")), 2, 0},
      {"port 1 data frame", {Hex("C0 10 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 C0")},
       Hex("C0 10 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 C0"), 1, 0},
      {"exactly an AX.25 header", {Hex("C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 C0")},
       Hex("C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 C0"), 1, 0},
      {"one byte short of a header", {Hex("C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F C0")}, {}, 0, 1},
      {"short once unescaped", {Hex("C0 00 DB DC DB DC DB DC DB DC DB DC DB DC DB DC DB DC C0")}, {}, 0, 1},
      {"bad escape", {DataFrame("DB 41")}, {}, 0, 1},
      {"FESC before the closing FEND", {DataFrame("41 DB")}, {}, 0, 1},
      {"bad then good", {DataFrame("DB DB"), frame}, frame, 1, 1},
      {"parameter command ignored", {Hex("C0 01 32 C0")}, {}, 0, 0},
      {"return command ignored", {Hex("C0 FF C0")}, {}, 0, 0},
      {"an unfinished frame waits", {Hex("C0 00 41 42")}, {}, 0, 0},
      {"empty frame and stray bytes", {Hex("41 C0 C0 42")}, {}, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    struct CountingPort final : SerialPort {
      std::vector<std::uint8_t> written;
      std::size_t writes = 0;
      std::int16_t CommPort() const override { return 1; }
      bool PortOpen() const override { return true; }
      std::span<const std::uint8_t> Input() override { return {}; }
      void DiscardInput() override {}
      bool Output(std::span<const std::uint8_t> bytes) override {
        ++writes;
        written.insert(written.end(), bytes.begin(), bytes.end());
        return true;
      }
      using SerialPort::Output;
      std::size_t BytesToWrite() const override { return 0; }
    } port;
    FakeStatusLine rowStatus;
    KissServerFigures rowFigures;
    KissServer transmitting(rowStatus, port, clock, rowFigures);
    transmitting.SetClientsTransmit(true);
    const KissClientId c = Connect(transmitting, "a:1");
    for (const auto& chunk : row.chunks) transmitting.FromClient(c, chunk);
    EXPECT_EQ(port.written, row.toTnc);
    EXPECT_EQ(port.writes, row.writes);
    EXPECT_EQ(rowFigures.framesToTnc, row.writes);
    EXPECT_EQ(rowFigures.framesMalformed, row.malformed);
    EXPECT_EQ(Count(rowStatus.texts, "KISS server: client a:1 frame refused, not well-formed"),
              row.malformed == 0 ? 0u : 1u);
  }
}

TEST_F(KissServerTest, AnOversizeClientFrameIsDroppedWhole) {
  server.SetClientsTransmit(true);
  const KissClientId c = Connect(server, "a:1");
  std::vector<std::uint8_t> huge(kFrameBufferCapacity + 1, 0x41);
  huge.front() = kFend;
  huge[1] = kCommandData;
  server.FromClient(c, huge);
  server.FromClient(c, Hex("C0"));
  server.FromClient(c, DataFrame("43"));
  EXPECT_EQ(tnc.written, DataFrame("43"));
}

// A client floods 100 MiB at a TNC that takes nothing: the port's queue stays
// under its bound, the trouble is shown once, and every frame is counted.
TEST_F(KissServerTest, AStalledTncHoldsAtMostItsBoundAndSaysSoOnce) {
  const auto frame = DataFrame(std::string(300, '5'));
  constexpr std::size_t kFlood = std::size_t{100} << 20;
  const std::size_t frames = kFlood / frame.size();
  std::vector<std::uint8_t> burst;
  constexpr std::size_t kPerBurst = 200;
  for (std::size_t i = 0; i < kPerBurst; ++i) burst.insert(burst.end(), frame.begin(), frame.end());
  struct Row {
    const char* name;
    bool takesData;
    bool open;
    const char* message;
    std::uint64_t KissServerFigures::*counted;
  } rows[] = {
      {"queue never drains", false, true,
       "COM 2: frames from KISS clients dropped, TNC not taking data",
       &KissServerFigures::framesTncStalled},
      {"port refuses writes", true, false, "KISS server: client 127.0.0.1:5555 frame not sent to the TNC",
       &KissServerFigures::framesNotSent},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeSerialPort stalled;
    stalled.takesData = row.takesData;
    stalled.open = row.open;
    FakeStatusLine rowStatus;
    KissServerFigures rowFigures;
    KissServer transmitting(rowStatus, stalled, clock, rowFigures);
    transmitting.SetClientsTransmit(true);
    const std::size_t limit = TncQueueLimit("9600,N,8,1");
    transmitting.SetTncQueueLimit(limit);
    const KissClientId c = Connect(transmitting, "127.0.0.1:5555");
    for (std::size_t sent = 0; sent < frames; sent += kPerBurst) transmitting.FromClient(c, burst);
    EXPECT_LE(stalled.queued, limit);
    EXPECT_EQ(Count(rowStatus.texts, row.message), 1u);
    EXPECT_EQ(rowStatus.texts.size(), 2u);
    const std::uint64_t accepted = stalled.written.size() / frame.size();
    EXPECT_EQ(rowFigures.*row.counted + accepted, (frames + kPerBurst - 1) / kPerBurst * kPerBurst);
    EXPECT_EQ(rowFigures.framesToTnc, accepted);
  }
}

// A stall ends once the port has emptied its queue with nothing refused for
// a few seconds; a queue emptied sooner is the same stall.
TEST_F(KissServerTest, EachStallIsShownOnce) {
  server.SetClientsTransmit(true);
  server.SetTncQueueLimit(kFrameBufferCapacity);
  tnc.takesData = false;
  const KissClientId c = Connect(server, "a:1");
  // Two fit the bound, the third does not.
  const auto frame = DataFrame(std::string(1000, '5'));
  for (const auto quiet : {std::chrono::seconds(0), std::chrono::seconds(3), std::chrono::seconds(4)}) {
    clock.monotonic += quiet;
    tnc.queued = 0;
    for (int i = 0; i < 3; ++i) server.FromClient(c, frame);
  }
  EXPECT_EQ(Count(status.texts, "COM 2: frames from KISS clients dropped, TNC not taking data"), 2u);
  EXPECT_EQ(figures.framesTncStalled, 3u);
  EXPECT_EQ(figures.framesToTnc, 6u);
}

TEST(TncQueueLimitTest, AFewSecondsAtTheBaudRateWithinOneFrameAnd256KiB) {
  struct Row {
    std::optional<std::string_view> settings;
    std::size_t limit;
  } rows[] = {
      {"9600,N,8,1", 3840},   {"19200,E,7,2", 7680}, {"1200,N,8,1", kFrameBufferCapacity},
      {"115200,N,8,1", 46080}, {"4000000,N,8,1", kTncQueueMost}, {std::nullopt, kTncQueueMost},
      {"not a setting", kTncQueueMost},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.settings.value_or("none"));
    EXPECT_EQ(TncQueueLimit(row.settings), row.limit);
  }
}

}  // namespace
}  // namespace vorlink
