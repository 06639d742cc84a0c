#include "app/status_timer.h"

#include "base/utc.h"

namespace vorlink {
namespace {

// Repeated every second, so a paused capture is not forgotten when its own
// report has been overwritten.
constexpr const char* kCapturePausedSuffix = " [capture paused]";

}  // namespace

PortLamps Lamps(const StatusInputs& inputs) {
  const auto state = [](bool open) { return open ? LampState::kOpen : LampState::kClosed; };
  // The OUT lamp means nothing while mirroring is off.
  return {state(inputs.incomingOpen),
          inputs.mirrorOn ? state(inputs.outgoingOpen) : LampState::kHidden};
}

void StatusUpdateTick(StatusUpdateState& state, const DateTime& lastPacketTime, Clock& clock,
                      const StatusInputs& inputs, StatusView& view, StatusLine& status) {
  view.ShowLamps(Lamps(inputs));
  const DateTime now = UtcNow(clock);
  char stamp[kTimestampLength];
  FormatTimestamp(now, stamp);
  view.ShowClock(std::string_view(stamp + 11, 8));

  state.SecondsSinceLastPacket = ToEpochSeconds(now) - ToEpochSeconds(lastPacketTime);
  if (state.SecondsSinceLastPacket != 0) {
    status.SetSimpleText(std::to_string(state.SecondsSinceLastPacket) +
                         " sec since last packet [" + std::to_string(state.LastPacketGap) + "]" +
                         (inputs.capturePaused ? kCapturePausedSuffix : ""));
    state.LastShownSeconds = state.SecondsSinceLastPacket;
  } else {
    state.LastPacketGap = state.LastShownSeconds;
  }
}

}  // namespace vorlink
