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

// Which lamp images show: green and red of the incoming (IN) and outgoing (OUT) port.
struct LampImages {
  bool Image2 = false;  // IN open
  bool Image3 = false;  // IN closed
  bool Image4 = false;  // OUT open
  bool Image5 = false;  // OUT closed
  friend bool operator==(const LampImages&, const LampImages&) = default;
};

class StatusView {
 public:
  virtual ~StatusView() = default;
  virtual void ShowLamps(const LampImages& lamps) = 0;
  virtual void SetClockText(std::string_view text) = 0;  // Label1
};

struct StatusInputs {
  bool incomingOpen = false;
  bool outgoingOpen = false;
  bool mirrorOn = false;
  bool capturePaused = false;  // a capture file is not being written
};

LampImages Lamps(const StatusInputs& inputs);

// One tick of Timer1.
void StatusUpdateTick(StatusUpdateState& state, const DateTime& lastPacketTime, Clock& clock,
                      const StatusInputs& inputs, StatusView& view, StatusLine& status);

}  // namespace vorlink
