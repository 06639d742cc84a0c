// The time server exchange over a real socket, against a server on 127.0.0.1
// that answers as the test tells it.
#include "time/qt_tcp_client.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "fake_clock.h"
#include "fake_status_line.h"
#include "hex.h"
#include "time/time_server_client.h"

namespace vorlink {
namespace {

using testing::Hex;
using Texts = std::vector<std::string>;

constexpr int kWaitMs = 5000;
// How long nothing more must happen after an exchange has ended.
constexpr int kSettleMs = 200;
constexpr char kHost[] = "127.0.0.1";

void RunEventsFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

bool WaitFor(const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.hasExpired(kWaitMs)) return false;
    RunEventsFor(5);
  }
  return true;
}

QByteArray Bytes(const char* hex) {
  const auto bytes = Hex(hex);
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// Records the calls the exchange makes on the real client, in order.
class RecordingTcpClient final : public TcpClient {
 public:
  explicit RecordingTcpClient(TcpClient& inner) : inner_(inner) {}
  std::vector<std::string> calls;

  void SetHandler(TcpClientHandler* handler) override { inner_.SetHandler(handler); }
  bool IsClosed() const override { return inner_.IsClosed(); }
  void Close() override {
    calls.push_back("Close");
    inner_.Close();
  }
  void Connect(std::string_view host, std::uint16_t port) override {
    calls.push_back("Connect");
    inner_.Connect(host, port);
  }
  std::vector<std::uint8_t> Read(std::size_t maxBytes) override { return inner_.Read(maxBytes); }

 private:
  TcpClient& inner_;
};

class TimeServerOverTcpTest : public ::testing::Test {
 protected:
  TimeServerOverTcpTest() {
    QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
      while (QTcpSocket* peer = server.nextPendingConnection()) {
        peers.push_back(peer);
        if (onPeer) onPeer(*peer);
      }
    });
  }

  std::uint16_t Listen() {
    const bool listening = server.listen(QHostAddress::LocalHost, 0);
    EXPECT_TRUE(listening);
    return listening ? server.serverPort() : 0;
  }

  bool Ended() const {
    const std::string last = status.Current();
    return last.rfind("clock synchronised", 0) == 0 || last.rfind("Time passed", 0) == 0 ||
           last == "sockets closed";
  }

  QTcpServer server;
  std::vector<QTcpSocket*> peers;  // owned by the server
  std::function<void(QTcpSocket&)> onPeer;
  QtTcpClient qtClient;
  RecordingTcpClient tcp{qtClient};
  testing::FakeClock clock;
  testing::FakeStatusLine status;
  TimeServerClient client{tcp, clock, status, Listen()};
};

struct AnswerCase {
  const char* name;
  const char* answer;  // hex, sent at once, then the server closes
  Texts texts;         // after the close
  std::vector<SystemTimeFields> setCalls;
};

class TimeServerAnswerTest : public TimeServerOverTcpTest,
                             public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(TimeServerAnswerTest, ConvertsOnceAfterTheClose) {
  onPeer = [](QTcpSocket& peer) {
    peer.write(Bytes(GetParam().answer));
    peer.disconnectFromHost();
  };
  client.ConnectTimeServer(kHost);
  ASSERT_TRUE(WaitFor([this] { return Ended(); })) << status.Current();
  RunEventsFor(kSettleMs);

  Texts expected{"opening connection to TIMESERVER [127.0.0.1]", "   winsock connection made"};
  if (*GetParam().answer) {
    expected.push_back("data received: " + std::string(GetParam().answer) + "  (" +
                       std::to_string(Hex(GetParam().answer).size()) + " bytes)");
  }
  expected.insert(expected.end(), {"   closing connection", "   sockets closed"});
  expected.insert(expected.end(), GetParam().texts.begin(), GetParam().texts.end());
  EXPECT_EQ(status.texts, expected);
  EXPECT_EQ(clock.setCalls, GetParam().setCalls);
  EXPECT_TRUE(qtClient.IsClosed());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, TimeServerAnswerTest,
    ::testing::Values(
        AnswerCase{"TenOClock",
                   "EE BF B0 A0",
                   {"   beginning system clock synchronization",
                    "clock synchronised succesfully with NTP server 127.0.0.1"},
                   {{2026, 12, 0, 6, 10, 0, 0, 0}}},
        AnswerCase{"EightSecondsBefore",
                   "EE BF B0 20",
                   {"   beginning system clock synchronization",
                    "clock synchronised succesfully with NTP server 127.0.0.1"},
                   {{2026, 12, 0, 6, 9, 57, 52, 0}}},
        AnswerCase{"FiveBytes", "EE BF B0 A0 00", {"Time passed not valid. Clock not synchronised"}, {}},
        AnswerCase{"NoData", "", {"Time passed not valid. Clock not synchronised"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TimeServerOverTcpTest, AnswerInTwoPartsSetsTheClockOnceAfterTheClose) {
  client.ConnectTimeServer(kHost);
  ASSERT_TRUE(WaitFor([this] { return peers.size() == 1; }));
  peers[0]->write(Bytes("EE BF"));
  ASSERT_TRUE(WaitFor([this] { return status.Current() == "data received: EE BF  (2 bytes)"; }));
  EXPECT_TRUE(clock.setCalls.empty());
  peers[0]->write(Bytes("B0 A0"));
  peers[0]->disconnectFromHost();
  ASSERT_TRUE(WaitFor([this] { return Ended(); })) << status.Current();
  RunEventsFor(kSettleMs);

  EXPECT_EQ(status.texts, (Texts{"opening connection to TIMESERVER [127.0.0.1]",
                                 "   winsock connection made",
                                 "data received: EE BF  (2 bytes)",
                                 "data received: B0 A0  (2 bytes)",
                                 "   closing connection",
                                 "   sockets closed",
                                 "   beginning system clock synchronization",
                                 "clock synchronised succesfully with NTP server 127.0.0.1"}));
  EXPECT_EQ(clock.setCalls, (std::vector<SystemTimeFields>{{2026, 12, 0, 6, 10, 0, 0, 0}}));
}

TEST_F(TimeServerOverTcpTest, RefusedConnectionShowsBothErrorTextsThenSocketsClosed) {
  // A port that was free a moment ago refuses connections.
  QTcpServer gone;
  ASSERT_TRUE(gone.listen(QHostAddress::LocalHost, 0));
  const std::uint16_t port = gone.serverPort();
  gone.close();
  TimeServerClient refused(tcp, clock, status, port);

  refused.ConnectTimeServer(kHost);
  ASSERT_TRUE(WaitFor([this] { return Ended(); })) << status.Current();
  RunEventsFor(kSettleMs);

  EXPECT_EQ(status.texts, (Texts{"opening connection to TIMESERVER [127.0.0.1]",
                                 "   error received: Connection refused",
                                 "   error received: " + std::to_string(ECONNREFUSED),
                                 "sockets closed"}));
  EXPECT_TRUE(clock.setCalls.empty());
  EXPECT_TRUE(qtClient.IsClosed());
}

TEST_F(TimeServerOverTcpTest, ServerKeepingTheConnectionLeavesTheClockUntilTheNextConnect) {
  client.ConnectTimeServer(kHost);
  ASSERT_TRUE(WaitFor([this] { return peers.size() == 1; }));
  peers[0]->write(Bytes("EE BF B0 A0"));
  ASSERT_TRUE(WaitFor([this] { return status.Current() == "data received: EE BF B0 A0  (4 bytes)"; }));
  RunEventsFor(kSettleMs);
  EXPECT_TRUE(clock.setCalls.empty());
  EXPECT_FALSE(qtClient.IsClosed());

  // The next load of the window: the old socket goes first, and the exchange
  // starts over without converting what the old one brought.
  onPeer = [](QTcpSocket& peer) {
    peer.write(Bytes("EE BF B0 20"));
    peer.disconnectFromHost();
  };
  status.texts.clear();
  client.ConnectTimeServer(kHost);
  EXPECT_EQ(tcp.calls, (Texts{"Connect", "Close", "Connect"}));
  EXPECT_TRUE(client.TimeServerData().empty());
  ASSERT_TRUE(WaitFor([this] { return peers[0]->state() == QAbstractSocket::UnconnectedState; }));
  ASSERT_TRUE(WaitFor([this] { return Ended(); })) << status.Current();
  RunEventsFor(kSettleMs);

  EXPECT_EQ(status.texts, (Texts{"opening connection to TIMESERVER [127.0.0.1]",
                                 "   winsock connection made",
                                 "data received: EE BF B0 20  (4 bytes)",
                                 "   closing connection",
                                 "   sockets closed",
                                 "   beginning system clock synchronization",
                                 "clock synchronised succesfully with NTP server 127.0.0.1"}));
  EXPECT_EQ(clock.setCalls, (std::vector<SystemTimeFields>{{2026, 12, 0, 6, 9, 57, 52, 0}}));
}

TEST_F(TimeServerOverTcpTest, ServerSendingAMebibyteIsCutOffAtTheLimit) {
  constexpr qsizetype kMebibyte = 1024 * 1024;
  onPeer = [](QTcpSocket& peer) {
    peer.write(QByteArray(kMebibyte, '\x5A'));
    peer.disconnectFromHost();
  };
  client.ConnectTimeServer(kHost);
  ASSERT_TRUE(WaitFor([this] { return Ended(); })) << status.Current();
  RunEventsFor(kSettleMs);

  EXPECT_EQ(client.TimeServerData().size(), kTimeServerDataLimit);
  EXPECT_EQ(status.Current(), "Time passed not valid. Clock not synchronised");
  EXPECT_EQ(tcp.calls, (Texts{"Connect", "Close"}));
  EXPECT_TRUE(clock.setCalls.empty());
  EXPECT_TRUE(qtClient.IsClosed());
  std::size_t listed = 0;
  for (const std::string& text : status.texts) {
    EXPECT_NE(text, "   closing connection");
    if (text.rfind("data received: ", 0) == 0) {
      ++listed;
      EXPECT_LE(text.size(), std::string("data received: ").size() + 16 * 3 + 24) << text;
    }
  }
  EXPECT_GT(listed, 1u);
}

TEST_F(TimeServerOverTcpTest, ServerHoldingTheLineGetsItsTimePlusTheTimeHeld) {
  client.ConnectTimeServer(kHost);
  ASSERT_TRUE(WaitFor([this] { return peers.size() == 1; }));
  peers[0]->write(Bytes("EE BF B0 A0"));
  ASSERT_TRUE(WaitFor([this] { return status.Current() == "data received: EE BF B0 A0  (4 bytes)"; }));
  clock.monotonic += std::chrono::seconds(25);
  peers[0]->disconnectFromHost();
  ASSERT_TRUE(WaitFor([this] { return Ended(); })) << status.Current();

  EXPECT_EQ(clock.setCalls, (std::vector<SystemTimeFields>{{2026, 12, 0, 6, 10, 0, 25, 0}}));
  EXPECT_EQ(status.Current(), "clock synchronised succesfully with NTP server 127.0.0.1");
}

// Notes the events and reads nothing.
class IdleHandler final : public TcpClientHandler {
 public:
  int arrivals = 0;
  void OnConnected() override {}
  void OnDataArrival() override { ++arrivals; }
  void OnClose() override {}
  void OnError(int, std::string_view) override {}
};

TEST(QtTcpClientTest, BytesNobodyReadsStayBoundedInTheSocket) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  QObject::connect(&server, &QTcpServer::newConnection, &server, [&server] {
    server.nextPendingConnection()->write(QByteArray(1024 * 1024, '\x5A'));
  });
  QtTcpClient qtClient;
  IdleHandler handler;
  qtClient.SetHandler(&handler);
  qtClient.Connect(kHost, server.serverPort());
  ASSERT_TRUE(WaitFor([&handler] { return handler.arrivals > 0; }));
  RunEventsFor(kSettleMs);

  EXPECT_EQ(qtClient.Read(SIZE_MAX).size(), static_cast<std::size_t>(kTcpReadBufferSize));
  qtClient.SetHandler(nullptr);
}

struct ErrorNumberCase {
  const char* name;
  QAbstractSocket::SocketError error;
  int number;
};

class SocketErrorNumberTest : public ::testing::TestWithParam<ErrorNumberCase> {};

TEST_P(SocketErrorNumberTest, FixedNumber) {
  EXPECT_EQ(SocketErrorNumber(GetParam().error), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, SocketErrorNumberTest,
    ::testing::Values(
        ErrorNumberCase{"Refused", QAbstractSocket::ConnectionRefusedError, ECONNREFUSED},
        ErrorNumberCase{"HostNotFound", QAbstractSocket::HostNotFoundError, ENXIO},
        ErrorNumberCase{"TimedOut", QAbstractSocket::SocketTimeoutError, ETIMEDOUT},
        ErrorNumberCase{"Unreachable", QAbstractSocket::NetworkError, ENETUNREACH},
        ErrorNumberCase{"Unknown", QAbstractSocket::UnknownSocketError, EIO}),
    [](const auto& info) { return std::string(info.param.name); });

// Only a positive number makes the exchange close the socket.
TEST(SocketErrorNumberTest, EveryErrorIsPositive) {
  for (int e = QAbstractSocket::UnknownSocketError; e <= QAbstractSocket::TemporaryError; ++e) {
    EXPECT_GT(SocketErrorNumber(static_cast<QAbstractSocket::SocketError>(e)), 0) << e;
  }
}

}  // namespace
}  // namespace vorlink
