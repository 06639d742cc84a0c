#include "app/link_keeper.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_clock.h"
#include "fake_port_component.h"
#include "fake_retry_timer.h"

namespace vorlink {
namespace {

using namespace std::chrono_literals;

class RecordingWatcher final : public LinkWatcher {
 public:
  std::vector<std::string> texts;
  void OnLinkLost(LinkKeeper&, std::string_view text) override { texts.emplace_back(text); }
  void OnLinkBack(LinkKeeper&, std::string_view text) override { texts.emplace_back(text); }
};

struct DelayCase {
  const char* name;
  RetryPolicy policy;
  std::vector<std::chrono::milliseconds> delays;  // tries 0, 1, 2, ...
};

class RetryDelayTest : public ::testing::TestWithParam<DelayCase> {};

TEST_P(RetryDelayTest, DelaysOfSuccessiveTries) {
  const DelayCase& c = GetParam();
  for (std::size_t i = 0; i < c.delays.size(); ++i) {
    EXPECT_EQ(RetryDelay(c.policy, static_cast<int>(i)), c.delays[i]) << "try " << i;
  }
  // However long the link stays away, the wait never grows past the longest.
  EXPECT_EQ(RetryDelay(c.policy, 1000000), c.policy.longest);
}

INSTANTIATE_TEST_SUITE_P(
    Policies, RetryDelayTest,
    ::testing::Values(DelayCase{"SerialEverySecond", kSerialRetry, {1s, 1s, 1s, 1s}},
                      DelayCase{"TcpBacksOffToTen", kTcpRetry, {1s, 2s, 4s, 8s, 10s, 10s}}),
    [](const auto& info) { return std::string(info.param.name); });

class LinkKeeperTest : public ::testing::Test {
 protected:
  LinkKeeperTest() {
    port.port = 1;
    port.open = false;
    clock.local = {2026, 12, 6, 10, 0, 5, 0};
    keeper.Keep("COM 1", kSerialRetry);
  }
  // The timer fires after the seconds it was started with.
  void Fire() {
    clock.monotonic += timer.starts.back();
    clock.local.second += static_cast<int>(
        std::chrono::duration_cast<std::chrono::seconds>(timer.starts.back()).count());
    timer.running = false;
    keeper.OnRetryTimer();
  }

  testing::FakeClock clock;
  testing::FakePortComponent port;
  testing::FakeRetryTimer timer;
  RecordingWatcher watcher;
  LinkKeeper keeper{port, clock, timer, watcher};
};

TEST_F(LinkKeeperTest, LossIsToldOnceAndTriedUntilTheDeviceIsBack) {
  keeper.OnLost();
  keeper.OnLost();  // a second report of the same loss
  EXPECT_TRUE(keeper.IsLost());
  EXPECT_EQ(watcher.texts, std::vector<std::string>{"COM 1 lost at 10:00:05 UTC"});
  port.openFails = true;
  Fire();
  Fire();
  EXPECT_EQ(timer.starts, (std::vector<std::chrono::milliseconds>{1s, 1s, 1s}));
  EXPECT_EQ(keeper.Attempts(), 2);
  port.openFails = false;
  Fire();
  EXPECT_FALSE(keeper.IsLost());
  EXPECT_TRUE(port.open);
  EXPECT_FALSE(timer.running);
  EXPECT_EQ(watcher.texts.back(), "COM 1 back at 10:00:08 UTC after 3 s");
}

TEST_F(LinkKeeperTest, PeerIsTriedWithBackOff) {
  keeper.Keep("KISS TCP 127.0.0.1:8001", kTcpRetry);
  port.openFails = true;
  keeper.OnLost();
  for (int i = 0; i < 6; ++i) Fire();
  EXPECT_EQ(timer.starts, (std::vector<std::chrono::milliseconds>{1s, 2s, 4s, 8s, 10s, 10s, 10s}));
  port.openFails = false;
  Fire();
  EXPECT_EQ(watcher.texts.back(), "KISS TCP 127.0.0.1:8001 back at 10:00:50 UTC after 45 s");
  // The next loss starts again from one second.
  keeper.OnLost();
  EXPECT_EQ(timer.starts.back(), 1s);
}

TEST_F(LinkKeeperTest, StoppedKeeperTriesNoMore) {
  keeper.OnLost();
  keeper.Stop();
  EXPECT_FALSE(timer.running);
  keeper.OnRetryTimer();  // a shot already on its way
  EXPECT_FALSE(port.open);
  EXPECT_EQ(watcher.texts.size(), 1u);
}

TEST_F(LinkKeeperTest, PortOpenedMeanwhileCountsAsBack) {
  keeper.OnLost();
  port.open = true;  // e.g. the mirror switched on again
  Fire();
  EXPECT_FALSE(keeper.IsLost());
  EXPECT_EQ(watcher.texts.back(), "COM 1 back at 10:00:06 UTC after 1 s");
}

}  // namespace
}  // namespace vorlink
