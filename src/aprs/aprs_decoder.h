// APRS: what the information field of a UI frame says. The first byte names
// the kind of report (the data type); each kind has its own file beside this
// one. Everything is read through aprs::Reader, inside the field.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "aprs/aprs_report.h"
#include "decode/ax25_decoder.h"

namespace vorlink {

// The information field of a UI frame; Mic-E needs the frame's destination
// callsign as shown (an SSID is ignored). The report views into both.
AprsReport DecodeAprs(std::span<const std::uint8_t> info, std::string_view destination);
AprsReport DecodeAprs(std::string_view info, std::string_view destination);

// A decoded frame: "not APRS" unless it is a UI frame with its whole header.
AprsReport DecodeAprsFrame(const Ax25Decoder& frame);

// The packet a third-party report carries.
AprsReport DecodeInner(const AprsThirdParty& thirdParty);

}  // namespace vorlink
