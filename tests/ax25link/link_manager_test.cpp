#include "ax25link/link_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_clock.h"
#include "link_recorder.h"

namespace vorlink {
namespace {

using testing::LinkRecorder;

const Ax25Address kManagerOwn{"N0CALL", 0, false};

std::vector<std::uint8_t> FrameFrom(const Ax25Address& from, const Ax25Address& to, FrameKind kind,
                                    std::vector<Ax25Address> via = {}) {
  LinkFrame f;
  f.kind = kind;
  f.command = true;
  f.pollFinal = true;
  for (auto& d : via) d.repeated = true;
  auto bytes = BuildFrame({from, to, via}, f, false);
  // BuildFrame clears H bits; a frame heard after its digipeaters has them.
  for (std::size_t i = 0; i < via.size(); ++i) bytes[14 + 7 * i + 6] |= 0x80;
  return bytes;
}

struct ManagerCase {
  const char* name;
  bool accept;
  Ax25Address to;
  FrameKind kind;
  std::vector<std::string> sent;
  std::size_t links;
};

TEST(LinkManagerTest, IncomingFramesByAddress) {
  const ManagerCase cases[] = {
      {"SabmAccepted", true, kManagerOwn, FrameKind::SABM, {"UA R F"}, 1},
      {"SabmeAccepted", true, kManagerOwn, FrameKind::SABME, {"UA R F"}, 1},
      {"SabmRefused", false, kManagerOwn, FrameKind::SABM, {"DM R F"}, 0},
      {"NotOurCall", true, {"OTHER", 0, false}, FrameKind::SABM, {}, 0},
      {"DiscWithoutLink", true, kManagerOwn, FrameKind::DISC, {"DM R F"}, 0},
      {"RrPollWithoutLink", true, kManagerOwn, FrameKind::RR, {"DM R F"}, 0},
  };
  for (const auto& c : cases) {
    testing::FakeClock clock;
    LinkRecorder recorder;
    LinkManager manager({}, clock, recorder, recorder);
    manager.SetOwnCalls({kManagerOwn});
    manager.SetAcceptIncoming(c.accept);
    manager.Receive(FrameFrom({"BBS", 0, false}, c.to, c.kind));
    EXPECT_EQ(recorder.FrameTexts(), c.sent) << c.name;
    EXPECT_EQ(manager.LinkCount(), c.links) << c.name;
  }
}

TEST(LinkManagerTest, AnswersAlongTheReversedPath) {
  testing::FakeClock clock;
  LinkRecorder recorder;
  LinkManager manager({}, clock, recorder, recorder);
  manager.SetOwnCalls({kManagerOwn});
  const Ax25Address d1{"DIGI", 1, false};
  const Ax25Address d2{"DIGI", 2, false};
  // Not yet through its digipeaters: ignored.
  auto early = FrameFrom({"BBS", 0, false}, kManagerOwn, FrameKind::SABM, {d1, d2});
  early[14 + 7 + 6] &= 0x7F;
  manager.Receive(early);
  EXPECT_TRUE(recorder.frames.empty());
  manager.Receive(FrameFrom({"BBS", 0, false}, kManagerOwn, FrameKind::SABM, {d1, d2}));
  ASSERT_EQ(recorder.frames.size(), 1U);
  const auto back = ReadAddresses(recorder.frames[0]);
  ASSERT_TRUE(back.has_value());
  ASSERT_EQ(back->digipeaters.size(), 2U);
  EXPECT_EQ(back->digipeaters[0].ssid, 2);
  EXPECT_EQ(back->digipeaters[1].ssid, 1);
  EXPECT_FALSE(back->digipeaters[0].repeated);
}

TEST(LinkManagerTest, TableOfLinksIsBounded) {
  testing::FakeClock clock;
  LinkRecorder recorder;
  LinkManager manager({}, clock, recorder, recorder);
  manager.SetOwnCalls({kManagerOwn});
  for (std::size_t i = 0; i < LinkManager::kMaxLinks + 5; ++i) {
    manager.Receive(FrameFrom({"C" + std::to_string(i), 0, false}, kManagerOwn, FrameKind::SABM));
  }
  EXPECT_EQ(manager.LinkCount(), LinkManager::kMaxLinks);
  EXPECT_EQ(recorder.FrameTexts().back(), "DM R F");
}

TEST(LinkManagerTest, ConnectsAndRefusesABadPath) {
  testing::FakeClock clock;
  LinkRecorder recorder;
  LinkManager manager({}, clock, recorder, recorder);
  const LinkRoute route{kManagerOwn, {"BBS", 0, false}, {}};
  EXPECT_TRUE(manager.Connect(route, true));
  EXPECT_FALSE(manager.Connect(route, true));  // already under way
  EXPECT_EQ(recorder.FrameTexts(), std::vector<std::string>{"SABME C P"});
  LinkRoute far{kManagerOwn, {"FAR", 0, false}, std::vector<Ax25Address>(9, {"D", 0, false})};
  EXPECT_FALSE(manager.Connect(far, false));
  EXPECT_EQ(manager.Snapshot({route.own, route.remote})->state, LinkState::AwaitingConnection22);
}

}  // namespace
}  // namespace vorlink
