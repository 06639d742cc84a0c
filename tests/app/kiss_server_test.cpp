#include "app/kiss_server.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_serial_port.h"
#include "fake_status_line.h"
#include "hex.h"

namespace vorlink {
namespace {

using testing::FakeSerialPort;
using testing::FakeStatusLine;
using testing::Hex;

struct RecordingSockets final : KissServerSockets {
  std::vector<KissClientId> woken;
  std::vector<KissClientId> closed;
  void Wake(KissClientId client) override { woken.push_back(client); }
  void Close(KissClientId client) override { closed.push_back(client); }
};

std::vector<std::uint8_t> PendingOf(const KissServer& server, KissClientId client) {
  const auto pending = server.Pending(client);
  return {pending.begin(), pending.end()};
}

class KissServerTest : public ::testing::Test {
 protected:
  KissServerTest() { server.SetSockets(&sockets); }
  FakeStatusLine status;
  FakeSerialPort tnc;
  std::size_t clientCount = 99;
  RecordingSockets sockets;
  KissServer server{status, tnc, clientCount, 64};
};

TEST_F(KissServerTest, ConnectAndDisconnectAreShownAndCounted) {
  EXPECT_EQ(clientCount, 0u);
  const KissClientId a = server.Connect("127.0.0.1:5555");
  const KissClientId b = server.Connect("127.0.0.1:5556");
  EXPECT_NE(a, b);
  EXPECT_EQ(clientCount, 2u);
  server.Disconnect(a);
  server.Disconnect(a);
  EXPECT_EQ(clientCount, 1u);
  EXPECT_EQ(status.texts, (std::vector<std::string>{"KISS server: client 127.0.0.1:5555 connected",
                                                    "KISS server: client 127.0.0.1:5556 connected",
                                                    "KISS server: client 127.0.0.1:5555 disconnected"}));
}

TEST_F(KissServerTest, EveryClientGetsEveryFrameAfterItConnected) {
  const KissClientId early = server.Connect("a:1");
  server.OnReceivedFrame(Hex("C0 00 41 C0"));
  const KissClientId late = server.Connect("b:2");
  server.OnReceivedFrame(Hex("C0 00 DB DC C0"));
  EXPECT_EQ(PendingOf(server, early), Hex("C0 00 41 C0 C0 00 DB DC C0"));
  EXPECT_EQ(PendingOf(server, late), Hex("C0 00 DB DC C0"));
  EXPECT_EQ(sockets.woken, (std::vector<KissClientId>{early, early, late}));
}

TEST_F(KissServerTest, TakenBytesLeaveTheQueueInOrder) {
  const KissClientId c = server.Connect("a:1");
  server.OnReceivedFrame(Hex("C0 00 41 C0"));
  server.Taken(c, 3);
  EXPECT_EQ(PendingOf(server, c), Hex("C0"));
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
    std::size_t count = 0;
    KissServer bounded(rowStatus, tnc, count, 8);
    bounded.SetSockets(&rowSockets);
    const KissClientId slow = bounded.Connect("127.0.0.1:5555");
    const KissClientId fast = bounded.Connect("127.0.0.1:5556");
    bounded.OnReceivedFrame(Hex("C0 00 41 C0"));
    bounded.Taken(fast, 4);
    bounded.OnReceivedFrame(row.second);
    EXPECT_EQ(count, row.dropped ? 1u : 2u);
    EXPECT_EQ(rowSockets.closed, row.dropped ? std::vector<KissClientId>{slow}
                                             : std::vector<KissClientId>{});
    EXPECT_EQ(rowStatus.Current(), row.dropped
                                       ? "KISS server: client 127.0.0.1:5555 dropped, not taking data"
                                       : "KISS server: client 127.0.0.1:5556 connected");
    // The client that keeps up has the frame either way.
    EXPECT_EQ(PendingOf(bounded, fast), row.second);
    // A dropped client is gone: its socket closing later says nothing more.
    bounded.Disconnect(slow);
    EXPECT_EQ(count, 1u);
  }
}

TEST_F(KissServerTest, ReceiveOnlyClientsReachNothing) {
  const KissClientId c = server.Connect("a:1");
  server.FromClient(c, Hex("C0 00 41 42 C0"));
  EXPECT_TRUE(tnc.written.empty());
}

TEST_F(KissServerTest, TransmittingClientsSendWholeDataFramesOnly) {
  struct Row {
    const char* name;
    std::vector<std::vector<std::uint8_t>> chunks;
    std::vector<std::uint8_t> toTnc;
    std::size_t writes;
  } rows[] = {
      {"one frame in one chunk", {Hex("C0 00 41 42 C0")}, Hex("C0 00 41 42 C0"), 1},
      {"one frame cut in three", {Hex("C0 00"), Hex("41"), Hex("42 C0")}, Hex("C0 00 41 42 C0"), 1},
      {"escapes kept", {Hex("C0 00 DB DC C0")}, Hex("C0 00 DB DC C0"), 1},
      {"two frames, one shared FEND", {Hex("C0 00 41 C0 00 42 C0")},
       Hex("C0 00 41 C0 C0 00 42 C0"), 2},
      {"port 1 data frame", {Hex("C0 10 41 C0")}, Hex("C0 10 41 C0"), 1},
      {"parameter command refused", {Hex("C0 01 32 C0")}, {}, 0},
      {"return command refused", {Hex("C0 FF C0")}, {}, 0},
      {"an unfinished frame waits", {Hex("C0 00 41 42")}, {}, 0},
      {"empty frame and stray bytes", {Hex("41 C0 C0 42")}, {}, 0},
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
    std::size_t count = 0;
    KissServer transmitting(status, port, count);
    transmitting.SetClientsTransmit(true);
    const KissClientId c = transmitting.Connect("a:1");
    for (const auto& chunk : row.chunks) transmitting.FromClient(c, chunk);
    EXPECT_EQ(port.written, row.toTnc);
    EXPECT_EQ(port.writes, row.writes);
  }
}

TEST_F(KissServerTest, AnOversizeClientFrameIsDroppedWhole) {
  server.SetClientsTransmit(true);
  const KissClientId c = server.Connect("a:1");
  std::vector<std::uint8_t> huge(kFrameBufferCapacity + 1, 0x41);
  huge.front() = kFend;
  huge[1] = kCommandData;
  server.FromClient(c, huge);
  server.FromClient(c, Hex("C0 C0 00 43 C0"));
  EXPECT_EQ(tnc.written, Hex("C0 00 43 C0"));
}

TEST_F(KissServerTest, AFrameTheTncCannotTakeIsShown) {
  server.SetClientsTransmit(true);
  tnc.open = false;
  const KissClientId c = server.Connect("127.0.0.1:5555");
  server.FromClient(c, Hex("C0 00 41 C0"));
  EXPECT_EQ(status.Current(), "KISS server: client 127.0.0.1:5555 frame not sent to the TNC");
}

}  // namespace
}  // namespace vorlink
