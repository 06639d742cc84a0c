// Where a frame goes after the frame display has shown it: a store that
// keeps it to draw it again, a heard list, a view that follows the newest.
#pragma once

#include <cstdint>
#include <span>

#include "base/clock.h"
#include "decode/display_options.h"
#include "decode/frame_text.h"

namespace vorlink {

// Valid for the call only: the views point into the display's buffers.
struct ArrivedFrame {
  std::span<const std::uint8_t> bytes;  // as received, both FENDs
  DateTime arrival;                     // UTC with milliseconds, as the header shows it
  DisplayOptions options;               // in force when it arrived
  Leftovers leftovers;                  // what its block read of earlier frames
  int lines = 0;                        // lines of its block
};

class ArrivedFrameSink {
 public:
  virtual ~ArrivedFrameSink() = default;
  virtual void OnFrame(const ArrivedFrame& frame) = 0;
};

}  // namespace vorlink
