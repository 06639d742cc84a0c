// vorlink-decode --aprs: one JSON object per line for each data frame, its
// header fields, then what its information field says (aprs_fields.h walks
// the report; this writes the walk as JSON). Any byte may arrive: the text
// is UTF-8 with bytes of 0x80 and above as Latin-1 code points and control
// bytes as \u00XX.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "aprs/aprs_report.h"
#include "decode/ax25_decoder.h"
#include "geo/geo_point.h"
#include "store/frame_store.h"
#include "store/heard_list.h"

namespace vorlink {

// One line, its newline included. time: UTC milliseconds since 1970, or
// kNoArrivalTime.
void AppendAprsJson(std::string& out, std::uint64_t id, const Ax25Decoder& frame,
                    std::int64_t time, const AprsReport& report);

// vorlink-decode --heard --json: one station a line, its counts, then what
// its APRS reports said last (keys as --aprs names them, those not sent
// left out); distance and bearing only with a point to measure from.
void AppendHeardJson(std::string& out, const HeardStation& station, std::optional<GeoPoint> from);

// A JSON string literal of the bytes, quotes included.
void AppendJsonString(std::string& out, std::string_view bytes);

}  // namespace vorlink
