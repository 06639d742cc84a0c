// The KISS-over-TCP source against real sockets on 127.0.0.1: connecting
// never waits, its end comes as an event, and reads are paced as a serial
// port's are.
#include "link/qt_kiss_tcp_source.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <array>
#include <ostream>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace vorlink {
namespace {

using namespace std::chrono_literals;

constexpr auto kShortBound = 200ms;

bool SpinUntil(const std::function<bool()>& done, std::chrono::milliseconds bound = 3000ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < bound.count()) {
    QEventLoop loop;
    QTimer::singleShot(5, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return done();
}

// A listening socket whose backlog is full: the system drops every further
// SYN, so a connect to it never completes, as with a peer that never answers.
class FullBacklog {
 public:
  FullBacklog() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 0) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      return;
    }
    port_ = ntohs(address.sin_port);
    // Never accepted: the first fills the queue, the second waits behind it.
    for (int& filler : fillers_) {
      filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
      ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
  }
  ~FullBacklog() {
    for (int filler : fillers_) ::close(filler);
    ::close(listener_);
  }
  FullBacklog(const FullBacklog&) = delete;
  FullBacklog& operator=(const FullBacklog&) = delete;

  std::uint16_t Port() const { return port_; }

 private:
  int listener_ = -1;
  std::array<int, 2> fillers_{-1, -1};
  std::uint16_t port_ = 0;
};

// A port nothing listens on: taken, and given back.
std::uint16_t ClosedPort() {
  QTcpServer server;
  server.listen(QHostAddress::LocalHost, 0);
  const std::uint16_t port = server.serverPort();
  server.close();
  return port;
}

class QtKissTcpSourceTest : public ::testing::Test {
 protected:
  void Watch(QtKissTcpSource& source) {
    QObject::connect(&source, &QtKissTcpSource::Connected, [this] { ends.push_back("connected"); });
    QObject::connect(&source, &QtKissTcpSource::ConnectFailed, [this] { ends.push_back("failed"); });
  }
  std::vector<std::string> ends;
};

struct FailedConnectCase {
  const char* name;
  std::function<std::uint16_t()> port;  // of the peer; called once the peer is there
  const char* error;                    // empty: whatever the system says
};

void PrintTo(const FailedConnectCase& c, std::ostream* os) { *os << c.name; }

class FailedConnectTest : public QtKissTcpSourceTest,
                          public ::testing::WithParamInterface<FailedConnectCase> {};

TEST_P(FailedConnectTest, ReportedAsAnEventOrAtOnce) {
  const FailedConnectCase& c = GetParam();
  FullBacklog silent;
  const std::uint16_t port = c.port ? c.port() : silent.Port();
  ASSERT_NE(port, 0);
  QtKissTcpSource source(KissTcpAddress{"127.0.0.1", port}, nullptr, kShortBound);
  Watch(source);
  const bool opened = source.SetPortOpen(true);
  ASSERT_FALSE(opened);
  // Either it failed at once, or it goes on and ends in one event.
  if (source.Opening()) {
    EXPECT_TRUE(source.OpenError().empty());
    ASSERT_TRUE(SpinUntil([&] { return !ends.empty(); }));
    EXPECT_EQ(ends, std::vector<std::string>{"failed"});
  }
  EXPECT_FALSE(source.Opening());
  EXPECT_FALSE(source.PortOpen());
  if (*c.error == '\0') {
    EXPECT_FALSE(source.OpenError().empty());
  } else {
    EXPECT_EQ(source.OpenError(), c.error);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedConnectTest,
    ::testing::Values(FailedConnectCase{"NeverAnswers", nullptr, "no answer"},
                      FailedConnectCase{"Refused", ClosedPort, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QtKissTcpSourceTest, ConnectGivenUpEndsWithoutAnEvent) {
  FullBacklog silent;
  QtKissTcpSource source(KissTcpAddress{"127.0.0.1", silent.Port()}, nullptr, kShortBound);
  Watch(source);
  EXPECT_FALSE(source.SetPortOpen(true));
  EXPECT_FALSE(source.SetPortOpen(true));  // the one under way goes on
  ASSERT_TRUE(source.Opening());
  EXPECT_TRUE(source.SetPortOpen(false));
  EXPECT_FALSE(source.Opening());
  SpinUntil([] { return false; }, 2 * kShortBound);
  EXPECT_TRUE(ends.empty());
}

TEST_F(QtKissTcpSourceTest, PeerThatAnswersIsReadPaced) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  QtKissTcpSource source(KissTcpAddress{"127.0.0.1", server.serverPort()});
  Watch(source);
  std::vector<std::uint8_t> received;
  int reads = 0;
  QObject::connect(&source, &QtKissTcpSource::OnComm, [&](int code) {
    ASSERT_EQ(code, kCommEvReceive);
    const auto bytes = source.Input();
    received.insert(received.end(), bytes.begin(), bytes.end());
    ++reads;
  });
  if (!source.SetPortOpen(true)) {
    ASSERT_TRUE(source.Opening());
    ASSERT_TRUE(SpinUntil([&] { return !ends.empty(); }));
    EXPECT_EQ(ends, std::vector<std::string>{"connected"});
  }
  EXPECT_TRUE(source.PortOpen());
  ASSERT_TRUE(SpinUntil([&] { return server.hasPendingConnections(); }));
  QTcpSocket* peer = server.nextPendingConnection();

  // A byte at a time, each sent on its own, a few milliseconds apart: read
  // together, each read rests.
  constexpr int kBytes = 100;
  for (int i = 0; i < kBytes; ++i) {
    const char byte = static_cast<char>(i);
    peer->write(&byte, 1);
    peer->flush();
    SpinUntil([] { return false; }, 1ms);
  }
  ASSERT_TRUE(SpinUntil([&] { return received.size() >= kBytes; }));
  EXPECT_LT(reads, kBytes / 3);
  EXPECT_EQ(source.ReadRests(), static_cast<std::size_t>(reads));
}

}  // namespace
}  // namespace vorlink
