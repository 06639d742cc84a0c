// The statistics window's content: a blue title, an empty line, then one
// black line per counter, broken with line feeds:
//
//   Statistics
//
//   60 Bytes received
//   3 Frames decoded
//   0 TFESC received
//   0 TFEND received
//
// Below it, the link health figures, under their own blue title: frames by
// KISS command and by KISS port (only those that occurred), then the fixed
// lines:
//
//   Link health
//   3 Frames with KISS command 0
//   3 Frames on KISS port 0
//   0 SMACK Frames with good CRC
//   0 SMACK Frames with bad CRC
//   0 bad escapes (FESC not followed by TFEND or TFESC)
//   0 Frames dropped as oversize
//   0 stray Bytes
//   0 empty Frames
//
// While the KISS server is on, the clients connected when the window was made
// and what became of the clients and of their frames:
//
//   2 KISS server clients
//   5 Frames from KISS clients sent to the TNC
//   0 Frames from KISS clients dropped, TNC not taking data
//   0 Frames from KISS clients not sent to the TNC
//   0 malformed Frames from KISS clients refused
//   0 KISS clients refused, too many clients
//   0 KISS clients dropped, not taking data
#pragma once

#include <cstddef>

#include "decode/text_pane.h"
#include "app/kiss_server_figures.h"
#include "app/receive_counters.h"

namespace vorlink {

// Appends the counters as they stand now; the pane is not updated later.
void AppendStatistics(const ReceiveCounters& counters, TextPane& pane);
// The link health part: an empty line, its title, one line per figure.
void AppendLinkHealth(const LinkHealth& health, TextPane& pane);
// "2 KISS server clients" and the server's counts, below the link health,
// while sharing.
void AppendKissServerFigures(const KissServerFigures& figures, TextPane& pane);

}  // namespace vorlink
