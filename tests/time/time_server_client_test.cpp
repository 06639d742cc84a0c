#include "time/time_server_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "fake_clock.h"
#include "fake_status_line.h"
#include "fake_tcp_client.h"
#include "hex.h"

namespace vorlink {
namespace {

using testing::Hex;
using Texts = std::vector<std::string>;

class TimeServerClientTest : public ::testing::Test {
 protected:
  testing::FakeTcpClient tcp;
  testing::FakeClock clock;
  testing::FakeStatusLine status;
  TimeServerClient client{tcp, clock, status};
};

TEST_F(TimeServerClientTest, RegistersAndUnregistersAsHandler) {
  testing::FakeTcpClient other;
  {
    TimeServerClient scoped(other, clock, status);
    EXPECT_NE(other.handler, nullptr);
  }
  EXPECT_EQ(other.handler, nullptr);
}

TEST_F(TimeServerClientTest, ConnectsToPort37OfTheHost) {
  client.ConnectTimeServer("time.example");
  EXPECT_EQ(tcp.calls, (Texts{"Connect time.example:37"}));
  EXPECT_EQ(status.texts, (Texts{"opening connection to TIMESERVER [time.example]"}));
}

TEST_F(TimeServerClientTest, WholeExchangeInOrder) {
  client.ConnectTimeServer("time.example");
  tcp.handler->OnConnected();
  tcp.Arrive("EE BF B0 A0");
  tcp.handler->OnClose();
  EXPECT_EQ(status.texts, (Texts{"opening connection to TIMESERVER [time.example]",
                                 "   winsock connection made",
                                 "data received: EE BF B0 A0  (4 bytes)",
                                 "   closing connection",
                                 "   sockets closed",
                                 "   beginning system clock synchronization",
                                 "clock synchronised succesfully with NTP server time.example"}));
  EXPECT_EQ(tcp.calls, (Texts{"Connect time.example:37", "Close"}));
  EXPECT_EQ(clock.setCalls, (std::vector<SystemTimeFields>{{2026, 12, 0, 6, 10, 0, 0, 0}}));
}

TEST_F(TimeServerClientTest, DataReceivedListsEachArrivalAndSmallBytesWithZero) {
  client.ConnectTimeServer("h");
  tcp.Arrive("00 0A");
  EXPECT_EQ(status.Current(), "data received: 00 0A  (2 bytes)");
  tcp.Arrive("FF");
  EXPECT_EQ(status.Current(), "data received: FF  (1 bytes)");
  EXPECT_EQ(client.TimeServerData(), Hex("00 0A FF"));
}

std::vector<std::uint8_t> Counting(std::size_t n) {
  std::vector<std::uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i);
  return bytes;
}

struct ListedCase {
  const char* name;
  std::size_t size;
  const char* text;
};

class DataReceivedTextTest : public TimeServerClientTest,
                             public ::testing::WithParamInterface<ListedCase> {};

TEST_P(DataReceivedTextTest, ListsAtMostSixteenBytes) {
  client.ConnectTimeServer("h");
  tcp.Arrive(Counting(GetParam().size));
  EXPECT_EQ(status.Current(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Arrivals, DataReceivedTextTest,
    ::testing::Values(
        ListedCase{"Sixteen", 16,
                   "data received: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F  (16 bytes)"},
        ListedCase{"Seventeen", 17,
                   "data received: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F  ... (17 bytes)"},
        ListedCase{"Hundred", 100,
                   "data received: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F  ... (100 bytes)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TimeServerClientTest, ExactlyTheLimitIsKeptAndJudgedAtTheClose) {
  client.ConnectTimeServer("h");
  tcp.Arrive(Counting(kTimeServerDataLimit - 1));
  tcp.Arrive("FF");
  EXPECT_EQ(client.TimeServerData().size(), kTimeServerDataLimit);
  EXPECT_EQ(tcp.calls, (Texts{"Connect h:37"}));
  tcp.handler->OnClose();
  EXPECT_EQ(status.Current(), "Time passed not valid. Clock not synchronised");
  EXPECT_TRUE(clock.setCalls.empty());
}

TEST_F(TimeServerClientTest, OneByteOverTheLimitEndsTheExchange) {
  client.ConnectTimeServer("h");
  tcp.Arrive(Counting(kTimeServerDataLimit));
  status.texts.clear();
  tcp.Arrive(Counting(4096));
  EXPECT_EQ(client.TimeServerData().size(), kTimeServerDataLimit);
  EXPECT_EQ(tcp.calls, (Texts{"Connect h:37", "Close"}));
  EXPECT_EQ(status.texts,
            (Texts{"data received: 00  (1 bytes)", "Time passed not valid. Clock not synchronised"}));
  EXPECT_TRUE(clock.setCalls.empty());
}

TEST_F(TimeServerClientTest, ReadsNoMoreThanTheRoomLeftAndOneByte) {
  client.ConnectTimeServer("h");
  tcp.Arrive(Counting(kTimeServerDataLimit + 1000));
  EXPECT_EQ(status.texts[1], "data received: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F  ... (" +
                                 std::to_string(kTimeServerDataLimit + 1) + " bytes)");
  EXPECT_EQ(status.Current(), "Time passed not valid. Clock not synchronised");
  EXPECT_EQ(tcp.waiting.size(), 999u);
}

TEST_F(TimeServerClientTest, HeldConnectionAddsTheTimeSinceTheFourthByte) {
  client.ConnectTimeServer("time.example");
  tcp.Arrive("EE BF");
  clock.monotonic += std::chrono::seconds(7);
  tcp.Arrive("B0 A0");
  clock.monotonic += std::chrono::seconds(25);
  tcp.handler->OnClose();
  EXPECT_EQ(clock.setCalls, (std::vector<SystemTimeFields>{{2026, 12, 0, 6, 10, 0, 25, 0}}));
}

TEST_F(TimeServerClientTest, ReconnectClosesOpenSocketFirstAndForgetsData) {
  client.ConnectTimeServer("h");
  tcp.Arrive("EE BF");
  client.ConnectTimeServer("h");
  EXPECT_EQ(tcp.calls, (Texts{"Connect h:37", "Close", "Connect h:37"}));
  EXPECT_TRUE(client.TimeServerData().empty());
  EXPECT_TRUE(clock.setCalls.empty());
}

TEST_F(TimeServerClientTest, PositiveErrorClosesAndReports) {
  client.ConnectTimeServer("h");
  tcp.handler->OnError(111, "Connection refused");
  EXPECT_EQ(status.texts, (Texts{"opening connection to TIMESERVER [h]",
                                 "   error received: Connection refused",
                                 "   error received: 111", "sockets closed"}));
  EXPECT_EQ(tcp.calls, (Texts{"Connect h:37", "Close"}));
}

TEST_F(TimeServerClientTest, PositiveErrorOnClosedSocketDoesNotCloseAgain) {
  tcp.handler->OnError(6, "Host not found");
  EXPECT_TRUE(tcp.calls.empty());
  EXPECT_EQ(status.Current(), "sockets closed");
}

TEST_F(TimeServerClientTest, ErrorOfZeroOrLessOnlyShowsTheTwoTexts) {
  for (int number : {0, -1}) {
    tcp.closed = false;
    status.texts.clear();
    tcp.handler->OnError(number, "odd");
    EXPECT_EQ(status.texts, (Texts{"   error received: odd",
                                   "   error received: " + std::to_string(number)}));
  }
  EXPECT_TRUE(tcp.calls.empty());
}

}  // namespace
}  // namespace vorlink
