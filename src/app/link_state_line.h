// The state line of a session window, which lays the link open: its state
// and version, V(S) and V(R), I frames outstanding, retries of the current
// frame, T1 and the smoothed round trip, REJ and SREJ sent and received,
// and who is busy.
#pragma once

#include <string>

#include "ax25link/link_output.h"

namespace vorlink {

// "connected 2.0 | V(S) 3 V(R) 5 | outstanding 1 | retries 0 | T1 3.0 s,
// round trip 1.2 s | REJ 0/1 SREJ 0/0" (sent/received), on one line.
std::string LinkStateLine(const LinkSnapshot& snapshot);

}  // namespace vorlink
