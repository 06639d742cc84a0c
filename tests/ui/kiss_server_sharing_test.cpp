// The KISS server with real peers on 127.0.0.1: clients of the whole program
// over its pseudo-terminal TNC, and of the server alone where a client that
// never reads is pushed past a small queue.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QPlainTextEdit>
#include <QTcpSocket>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/qt_kiss_server.h"
#include "controller_fixture.h"
#include "fake_clock.h"
#include "fake_serial_port.h"
#include "fake_status_line.h"
#include "link/deframer.h"
#include "ui/statistics_window.h"

namespace vorlink {
namespace {

using namespace std::chrono_literals;
using testing::Hex;
using testing::LetterFrame;
using testing::WaitUntil;

// The frames of a capture, time frames left out, one after the other.
class ReceivedFrames final : public UnitSink {
 public:
  std::vector<std::uint8_t> bytes;
  void OnUnit(std::span<const std::uint8_t> frame) override {
    if (frame.size() > 2 && frame[1] != kCommandTime) bytes.insert(bytes.end(), frame.begin(), frame.end());
  }
  void OnEscape(std::uint8_t) override {}
};

// A client that reads everything the server sends.
class ReadingClient {
 public:
  explicit ReadingClient(std::uint16_t port) {
    QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
      const QByteArray bytes = socket_.readAll();
      received.insert(received.end(), bytes.begin(), bytes.end());
    });
    socket_.connectToHost(QHostAddress::LocalHost, port);
  }
  bool Connected() const { return socket_.state() == QAbstractSocket::ConnectedState; }
  void Send(const std::vector<std::uint8_t>& bytes) {
    socket_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    socket_.flush();
  }
  std::string LocalName() const { return "127.0.0.1:" + std::to_string(socket_.localPort()); }
  std::vector<std::uint8_t> received;

 private:
  QTcpSocket socket_;
};

class KissServerSharingTest : public testing::ControllerTest {
 protected:
  KissServerSharingTest() {
    WriteConfig("false");
    // Port 0: the system picks a free one, the server says which.
    station.kissServerForThisRun = KissTcpAddress{"127.0.0.1", 0};
  }
  std::uint16_t ServerPort() { return Find<QtKissServer>("KissServer")->Port(); }
  // The program started with clients allowed to transmit, its start script
  // read off the TNC's line, and one client connected; nothing on failure.
  std::unique_ptr<ReadingClient> TransmittingClient() {
    station.config.kissServer.clientsTransmit = true;
    Start();
    if (Received(com1) != testing::ToHex(Hex("4B 49 53 53 20 4F 4E 0D"))) return nullptr;
    auto client = std::make_unique<ReadingClient>(ServerPort());
    const bool up = WaitUntil([&] { return client->Connected() && station.kissServerFigures.clients == 1; });
    return up ? std::move(client) : nullptr;
  }
  std::vector<std::uint8_t> CapturedFrames() {
    ReceivedFrames frames;
    Deframer deframer;
    deframer.Feed(testing::ReadBytes(Main().Captures().KssFileName()), frames);
    return frames.bytes;
  }
};

TEST_F(KissServerSharingTest, TwoClientsReceiveTheFramesOfTheRunAsReceived) {
  Start();
  ASSERT_NE(ServerPort(), 0);
  ASSERT_EQ(Received(com1), testing::ToHex(Hex("4B 49 53 53 20 4F 4E 0D")));
  ReadingClient first(ServerPort());
  ReadingClient second(ServerPort());
  ASSERT_TRUE(WaitUntil([&] { return station.kissServerFigures.clients == 2; }));

  // Frames with escapes and one cut over two writes, among an empty frame and
  // stray bytes, which no client gets.
  std::vector<std::uint8_t> escaped = LetterFrame('e');
  escaped[18] = kFesc;
  escaped.insert(escaped.begin() + 19, kTfend);
  std::vector<std::uint8_t> expected;
  for (const auto& frame : {LetterFrame('a'), escaped, LetterFrame('b'), LetterFrame('c')}) {
    expected.insert(expected.end(), frame.begin(), frame.end());
  }
  std::vector<std::uint8_t> line = Hex("41 42");
  line.insert(line.end(), expected.begin(), expected.begin() + 30);
  com1.Write(line);
  ASSERT_TRUE(WaitUntil([&] { return station.counters.BytesReceived == line.size(); }));
  std::vector<std::uint8_t> rest(expected.begin() + 30, expected.end());
  rest.insert(rest.end(), {kFend, kFend});
  com1.Write(rest);

  ASSERT_TRUE(WaitUntil([&] {
    return first.received.size() >= expected.size() && second.received.size() >= expected.size();
  }));
  QTest::qWait(50);
  EXPECT_EQ(first.received, expected);
  EXPECT_EQ(second.received, expected);
  // The same frames as the raw capture, its time frames left out.
  EXPECT_EQ(CapturedFrames(), expected);
  Trigger("MnuStatistics");
  ASSERT_NE(controller->Statistics(), nullptr);
  EXPECT_TRUE(controller->Statistics()->Figures()->toPlainText().contains(
      " empty Frames\n2 KISS server clients\n0 Frames from KISS clients sent to the TNC\n"));
  EXPECT_TRUE(LogHas("KISS server: client " + first.LocalName() + " connected"));
  EXPECT_TRUE(LogHas("KISS server: client " + second.LocalName() + " connected"));
}

TEST_F(KissServerSharingTest, ClientsAreReceiveOnlyUnlessAllowedToTransmit) {
  struct Row {
    const char* name;
    bool transmit;
  } rows[] = {{"receive-only", false}, {"allowed to transmit", true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    station.config.kissServer.clientsTransmit = row.transmit;
    Start();
    ASSERT_EQ(Received(com1), testing::ToHex(Hex("4B 49 53 53 20 4F 4E 0D")));
    ReadingClient client(ServerPort());
    ASSERT_TRUE(WaitUntil([&] { return client.Connected() && station.kissServerFigures.clients == 1; }));
    // Cut in two with a pause between: the TNC still gets it in one piece.
    const auto frame = LetterFrame('t');
    client.Send({frame.begin(), frame.begin() + 7});
    QTest::qWait(100);
    EXPECT_EQ(Received(com1, 100ms), "");
    client.Send({frame.begin() + 7, frame.end()});
    EXPECT_EQ(Received(com1, 500ms), row.transmit ? testing::ToHex(frame) : "");
    Main().Unload();
    controller.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Received(com1, 200ms);  // the exit script
  }
}

// Frames a client sends with a bad escape or too short for an AX.25 header
// never reach the TNC's line; the well-formed one among them does.
TEST_F(KissServerSharingTest, MalformedClientFramesNeverReachTheTnc) {
  const auto connected = TransmittingClient();
  ASSERT_TRUE(connected);
  ReadingClient& client = *connected;
  auto badEscape = LetterFrame('x');
  badEscape[18] = kFesc;
  auto fescLast = LetterFrame('y');
  fescLast.insert(fescLast.end() - 1, kFesc);
  const auto good = LetterFrame('g');
  for (const auto& frame : {badEscape, Hex("C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 C0"),
                            fescLast, good, Hex("C0 00 DB DC DB DC DB DC DB DC DB DC DB DC DB DC C0")}) {
    client.Send(frame);
  }
  EXPECT_EQ(Received(com1, 500ms), testing::ToHex(good));
  EXPECT_EQ(station.kissServerFigures.framesMalformed, 4u);
  EXPECT_EQ(station.kissServerFigures.framesToTnc, 1u);
  EXPECT_TRUE(LogHas("KISS server: client " + client.LocalName() + " frame refused, not well-formed"));
}

// Nobody reads the TNC's line: a client's flood fills the port's queue to its
// bound, and the rest is refused with one message.
TEST_F(KissServerSharingTest, AFloodAtAStalledTncIsRefusedWithOneMessage) {
  const auto connected = TransmittingClient();
  ASSERT_TRUE(connected);
  ReadingClient& client = *connected;
  const auto frame = LetterFrame('f');
  std::vector<std::uint8_t> burst;
  for (int i = 0; i < 1000; ++i) burst.insert(burst.end(), frame.begin(), frame.end());
  constexpr int kBursts = 100;  // 2 MB
  for (int i = 0; i < kBursts; ++i) client.Send(burst);
  const std::uint64_t sent = 1000 * kBursts;
  const auto& figures = station.kissServerFigures;
  ASSERT_TRUE(WaitUntil([&] { return figures.framesToTnc + figures.framesTncStalled == sent; }, 20000ms));
  EXPECT_GT(figures.framesTncStalled, 0u);
  // The port's queue and what the line itself buffers: far below the flood.
  EXPECT_LT(figures.framesToTnc * frame.size(), std::size_t{256} << 10);
  const std::string stall = "COM 1: frames from KISS clients dropped, TNC not taking data";
  const auto& lines = station.messages.Lines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [&](const std::string& line) { return line.find(stall) != std::string::npos; }),
            1);
}

TEST_F(KissServerSharingTest, ClosingTheWindowDisconnectsTheClients) {
  Start();
  ReadingClient client(ServerPort());
  ASSERT_TRUE(WaitUntil([&] { return station.kissServerFigures.clients == 1; }));
  const std::string name = client.LocalName();
  Main().Unload();
  EXPECT_EQ(station.kissServerFigures.clients, 0u);
  EXPECT_TRUE(LogHas("KISS server: client " + name + " disconnected"));
  EXPECT_TRUE(WaitUntil([&] { return !client.Connected(); }));
}

// The server alone: a client that never reads, with a receive buffer as
// small as the system allows, beside one that reads.
TEST(KissServerSlowClientTest, AClientThatNeverReadsIsDroppedAndTheOthersGetEverything) {
  testing::FakeStatusLine status;
  testing::FakeSerialPort tnc;
  KissServerFigures figures;
  const std::size_t& clients = figures.clients;
  constexpr std::size_t kSmallQueue = 64 * 1024;
  testing::FakeClock clock;
  KissServer core(status, tnc, clock, figures, {}, kSmallQueue);
  QtKissServer server(core, status);
  ASSERT_TRUE(server.Start(KissTcpAddress{"127.0.0.1", 0}));
  EXPECT_EQ(status.Current(), "KISS server: listening on 127.0.0.1:" + std::to_string(server.Port()));

  const int stuck = ::socket(AF_INET, SOCK_STREAM, 0);
  const int smallest = 1;
  setsockopt(stuck, SOL_SOCKET, SO_RCVBUF, &smallest, sizeof smallest);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(server.Port());
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::connect(stuck, reinterpret_cast<const sockaddr*>(&to), sizeof to), 0);
  ReadingClient reading(server.Port());
  ASSERT_TRUE(WaitUntil([&] { return clients == 2 && reading.Connected(); }));

  // Large frames, fed as fast as reception would; the event loop runs
  // between them as it does between receive events.
  std::vector<std::uint8_t> frame(1000, 0x41);
  frame.front() = kFend;
  frame[1] = kCommandData;
  frame.back() = kFend;
  std::size_t sent = 0;
  constexpr std::size_t kMostFrames = 100000;
  while (clients == 2 && sent < kMostFrames) {
    core.OnReceivedFrame(frame);
    ++sent;
    if (sent % 16 == 0) QCoreApplication::processEvents();
  }
  ASSERT_EQ(clients, 1u);
  EXPECT_NE(std::find(status.texts.begin(), status.texts.end(),
                      "KISS server: client 127.0.0.1:" + std::to_string([&] {
                        sockaddr_in local{};
                        socklen_t size = sizeof local;
                        getsockname(stuck, reinterpret_cast<sockaddr*>(&local), &size);
                        return ntohs(local.sin_port);
                      }()) + " dropped, not taking data"),
            status.texts.end());
  ASSERT_TRUE(WaitUntil([&] { return reading.received.size() == sent * frame.size(); }, 10000ms));
  EXPECT_TRUE(std::all_of(reading.received.begin(), reading.received.end(),
                          [](std::uint8_t b) { return b == 0x41 || b == kFend || b == 0; }));
  ::close(stuck);
  server.Stop();
  EXPECT_EQ(clients, 0u);
}

TEST(KissServerRestartTest, AServerStartedAgainAfterAStopSendsToItsClients) {
  testing::FakeStatusLine status;
  testing::FakeSerialPort tnc;
  KissServerFigures figures;
  const std::size_t& clients = figures.clients;
  testing::FakeClock clock;
  KissServer core(status, tnc, clock, figures);
  QtKissServer server(core, status);
  ASSERT_TRUE(server.Start(KissTcpAddress{"127.0.0.1", 0}));
  server.Stop();
  ASSERT_TRUE(server.Start(KissTcpAddress{"127.0.0.1", 0}));
  ReadingClient reading(server.Port());
  ASSERT_TRUE(WaitUntil([&] { return clients == 1 && reading.Connected(); }));
  const auto frame = LetterFrame('r');
  core.OnReceivedFrame(frame);
  EXPECT_TRUE(WaitUntil([&] { return reading.received == frame; }));
  EXPECT_EQ(clients, 1u);
}

}  // namespace
}  // namespace vorlink
