// The statistics window's content: a blue title, an empty line, then one
// black line per counter, broken with line feeds:
//
//   Statistics
//
//   60 Bytes received
//   3 Frames decoded
//   0 TFESC received
//   0 TFEND received
#pragma once

#include "decode/text_pane.h"
#include "app/receive_counters.h"

namespace vorlink {

// Appends the counters as they stand now; the pane is not updated later.
void AppendStatistics(const ReceiveCounters& counters, TextPane& pane);

}  // namespace vorlink
