// The once-a-second refresh of the main window: the port lamps, the UTC
// clock and "sec since last packet [gap]", with " [capture paused]" while a
// capture file is paused.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/status_line.h"
#include "base/clock.h"

namespace vorlink {

// Lives for the whole process, like LastPacketTime.
struct StatusUpdateState {
  std::int64_t SecondsSinceLastPacket = 0;
  std::int64_t LastShownSeconds = 0;  // the last count that was not 0
  std::int64_t LastPacketGap = 0;     // shown in brackets
};

// A port's lamp: green while the port is open, red while it is closed.
enum class LampState { kHidden, kOpen, kClosed };

// The IN lamp of the incoming port and the OUT lamp of the mirror port.
struct PortLamps {
  LampState incoming = LampState::kHidden;
  LampState mirror = LampState::kHidden;
  friend bool operator==(const PortLamps&, const PortLamps&) = default;
};

class StatusView {
 public:
  virtual ~StatusView() = default;
  virtual void ShowLamps(const PortLamps& lamps) = 0;
  virtual void ShowClock(std::string_view text) = 0;  // hh:mm:ss UTC
};

struct StatusInputs {
  bool incomingOpen = false;
  bool outgoingOpen = false;
  bool mirrorOn = false;
  bool capturePaused = false;  // a capture file is not being written
};

PortLamps Lamps(const StatusInputs& inputs);

// One tick of the status timer.
void StatusUpdateTick(StatusUpdateState& state, const DateTime& lastPacketTime, Clock& clock,
                      const StatusInputs& inputs, StatusView& view, StatusLine& status);

}  // namespace vorlink
