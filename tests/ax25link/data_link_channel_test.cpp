// Two data links over a channel that drops, duplicates and reorders frames
// on a seeded schedule: all data arrives once and in order at both ends,
// and the link ends cleanly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ax25link/data_link.h"
#include "fake_clock.h"
#include "link_channel.h"
#include "link_recorder.h"

namespace vorlink {
namespace {

using std::chrono::milliseconds;
using testing::LinkRecorder;

struct ChannelCase {
  const char* name;
  bool version22;
  std::uint64_t seed;
  int dropPercent;
  int duplicatePercent;
  int reorderPercent;
};

void PrintTo(const ChannelCase& c, std::ostream* os) { *os << c.name; }

std::vector<std::uint8_t> Pattern(std::size_t length, std::uint64_t seed) {
  testing::SeededRandom random(seed);
  std::vector<std::uint8_t> bytes(length);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random.Next());
  return bytes;
}

class DataLinkChannelTest : public ::testing::TestWithParam<ChannelCase> {};

TEST_P(DataLinkChannelTest, EveryByteOnceInOrderBothWays) {
  const ChannelCase& c = GetParam();
  testing::FakeClock clock;
  testing::ChannelSchedule schedule;
  schedule.seed = c.seed;
  schedule.dropPercent = c.dropPercent;
  schedule.duplicatePercent = c.duplicatePercent;
  schedule.reorderPercent = c.reorderPercent;
  schedule.bitsPerSecond = 9600;
  testing::LinkChannel channel(clock, schedule);
  LinkParameters parameters;
  LinkRecorder eventsA;
  LinkRecorder eventsB;
  const Ax25Address a{"AAA", 1, false};
  const Ax25Address b{"BBB", 2, false};
  DataLink linkA({a, b, {}}, parameters, clock, channel.Side(0), eventsA);
  DataLink linkB({b, a, {}}, parameters, clock, channel.Side(1), eventsB);
  channel.SetReceiver(0, [&](auto frame) { testing::FeedLink(linkA, frame); });
  channel.SetReceiver(1, [&](auto frame) { testing::FeedLink(linkB, frame); });
  DataLink* const links[] = {&linkA, &linkB};

  const auto fromA = Pattern(6000, c.seed);
  const auto fromB = Pattern(3500, c.seed + 100);
  linkA.Connect(c.version22);
  ASSERT_TRUE(testing::RunChannel(
      clock, channel, links, [&] { return linkB.State() == LinkState::Connected; },
      milliseconds{600000}));
  // Written in pieces of many sizes, as a terminal would.
  for (std::size_t at = 0, piece = 1; at < fromA.size(); at += piece, piece = piece % 700 + 37) {
    const auto n = std::min(piece, fromA.size() - at);
    ASSERT_TRUE(linkA.Send(std::span(fromA).subspan(at, n)));
  }
  ASSERT_TRUE(linkB.Send(fromB));
  ASSERT_TRUE(testing::RunChannel(
      clock, channel, links,
      [&] {
        return linkA.AllAcknowledged() && linkB.AllAcknowledged() &&
               linkA.State() == LinkState::Connected && linkB.State() == LinkState::Connected;
      },
      milliseconds{3600000}));
  linkA.Disconnect();
  ASSERT_TRUE(testing::RunChannel(
      clock, channel, links,
      [&] {
        return linkA.State() == LinkState::Disconnected &&
               linkB.State() == LinkState::Disconnected;
      },
      milliseconds{600000}));

  EXPECT_EQ(eventsB.data, fromA);
  EXPECT_EQ(eventsA.data, fromB);
  EXPECT_EQ(eventsA.events,
            (std::vector<std::string>{"connected", "disconnected: disconnected"}));
  EXPECT_EQ(eventsB.events, (std::vector<std::string>{
                                "connected", "disconnected: disconnected by the other station"}));
  EXPECT_EQ(linkA.Snapshot().resets + linkB.Snapshot().resets, 0);
  EXPECT_EQ(linkA.Snapshot().modulo128, c.version22);
}

INSTANTIATE_TEST_SUITE_P(
    Schedules, DataLinkChannelTest,
    ::testing::Values(ChannelCase{"V20Clean", false, 1, 0, 0, 0},
                      ChannelCase{"V22Clean", true, 1, 0, 0, 0},
                      ChannelCase{"V20Lossy1", false, 1, 15, 5, 10},
                      ChannelCase{"V20Lossy2", false, 2, 15, 5, 10},
                      ChannelCase{"V20Lossy3", false, 3, 25, 10, 20},
                      ChannelCase{"V22Lossy1", true, 1, 15, 5, 10},
                      ChannelCase{"V22Lossy2", true, 2, 15, 5, 10},
                      ChannelCase{"V22Lossy3", true, 3, 25, 10, 20}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlink
