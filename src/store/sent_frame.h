// A frame VORLINK sent, kept in the frame store beside those received: its
// block drawn once to count its lines (marker included), then stored marked
// as sent, so the pane and the lists of stations heard pass over it while
// the frame browser can show it.
#pragma once

#include <cstdint>
#include <span>

#include "base/clock.h"
#include "decode/display_options.h"
#include "store/frame_store.h"

namespace vorlink {

// kissFrame: as sent to the TNC, both FENDs; sentAt in UTC.
void AppendSentFrame(FrameStore& store, std::span<const std::uint8_t> kissFrame,
                     const DateTime& sentAt, const DisplayOptions& options);

}  // namespace vorlink
