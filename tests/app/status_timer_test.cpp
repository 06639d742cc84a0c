#include "app/status_timer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_clock.h"
#include "fake_status_line.h"

namespace vorlink {
namespace {

class RecordingStatusView final : public StatusView {
 public:
  PortLamps lamps;
  std::string clockText;
  void ShowLamps(const PortLamps& l) override { lamps = l; }
  void ShowClock(std::string_view text) override { clockText = text; }
};

TEST(StatusUpdateTest, SecondsSinceLastPacketAndTheGapBeforeIt) {
  testing::FakeClock clock;
  testing::FakeStatusLine status;
  RecordingStatusView view;
  StatusUpdateState state;
  DateTime lastPacket{2026, 12, 6, 10, 0, 0, 0};
  std::vector<std::string> shown;
  auto tickAt = [&](int second) {
    clock.local = {2026, 12, 6, 10, 0, second, 0};
    status.texts.clear();
    StatusUpdateTick(state, lastPacket, clock, {}, view, status);
    shown.push_back(status.texts.empty() ? "(unchanged)" : status.texts.back());
  };
  for (int s = 1; s <= 6; ++s) tickAt(s);
  lastPacket = {2026, 12, 6, 10, 0, 7, 0};
  tickAt(7);
  tickAt(8);
  tickAt(9);
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "1 sec since last packet [0]", "2 sec since last packet [0]",
                       "3 sec since last packet [0]", "4 sec since last packet [0]",
                       "5 sec since last packet [0]", "6 sec since last packet [0]", "(unchanged)",
                       "1 sec since last packet [6]", "2 sec since last packet [6]"}));
  EXPECT_EQ(view.clockText, "10:00:09");
}

TEST(StatusUpdateTest, ClockSetBackShowsANegativeCount) {
  testing::FakeClock clock;
  clock.local = {2026, 12, 6, 9, 59, 55, 0};
  clock.offsetMinutes = 0;
  testing::FakeStatusLine status;
  RecordingStatusView view;
  StatusUpdateState state;
  StatusUpdateTick(state, {2026, 12, 6, 10, 0, 0, 0}, clock, {}, view, status);
  EXPECT_EQ(status.Current(), "-5 sec since last packet [0]");
  EXPECT_EQ(view.clockText, "09:59:55");
}

TEST(StatusUpdateTest, APausedCaptureIsRecalledAfterTheCount) {
  testing::FakeClock clock;
  testing::FakeStatusLine status;
  RecordingStatusView view;
  StatusUpdateState state;
  clock.local = {2026, 12, 6, 10, 0, 3, 0};
  StatusInputs inputs;
  inputs.capturePaused = true;
  StatusUpdateTick(state, {2026, 12, 6, 10, 0, 0, 0}, clock, inputs, view, status);
  EXPECT_EQ(status.Current(), "3 sec since last packet [0] [capture paused]");
  inputs.capturePaused = false;
  StatusUpdateTick(state, {2026, 12, 6, 10, 0, 0, 0}, clock, inputs, view, status);
  EXPECT_EQ(status.Current(), "3 sec since last packet [0]");
}

TEST(StatusUpdateTest, LampsFollowThePortsAndTheOutLampOnlyWhileMirroring) {
  struct Case {
    StatusInputs in;
    PortLamps lamps;
  };
  constexpr auto kOpen = LampState::kOpen;
  constexpr auto kClosed = LampState::kClosed;
  constexpr auto kHidden = LampState::kHidden;
  const Case cases[] = {
      {{true, true, true}, {kOpen, kOpen}},
      {{false, false, true}, {kClosed, kClosed}},
      {{true, true, false}, {kOpen, kHidden}},
      {{false, false, false}, {kClosed, kHidden}},
  };
  for (const Case& c : cases) EXPECT_EQ(Lamps(c.in), c.lamps);
}

}  // namespace
}  // namespace vorlink
