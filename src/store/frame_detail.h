// One held frame as the lines of a detail tree, the way a packet analyser
// shows a packet: the KISS frame, its AX.25 header, then what its
// information field says in APRS (aprs_detail.h), each a group of labelled
// lines one level deeper:
//
//   KISS                  KISS Frame (without CRC)
//     Command byte        00
//     Port                0
//     Bytes received      42
//   AX.25                 UI
//     Destination         APRS
//     Source              N0CALL-7
//     Digipeater 1        WIDE1-1 (repeated)
//     Control             03
//     PID                 F0 (no layer 3)
//     Payload bytes       25
//   APRS
//     Report              position
//     Latitude            49.058333°
//     ...
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "aprs/aprs_detail.h"
#include "geo/geo_point.h"
#include "store/frame_store.h"

namespace vorlink {

// from: the point distance and bearing are measured from, none to leave them out.
std::vector<AprsDetailLine> FrameDetailLines(const StoredFrame& frame,
                                             std::optional<GeoPoint> from = std::nullopt);

// The lines as text, two blanks a level, label and value apart by a tab.
std::string DetailText(const std::vector<AprsDetailLine>& lines);

// The name of a PID byte, "F0" as "no layer 3"; empty for one not assigned.
std::string_view PidName(std::uint8_t pid);

}  // namespace vorlink
