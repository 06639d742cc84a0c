// The names of a run's capture files: the UTC minute the run started,
// ddmmyyyy_hhmm, with one extension each:
//   .kss   raw KISS frames
//   .dump  payload characters
//   .hex   payload hexadecimal
//   .pcap  the frames for packet analysers
// The housekeeping recognises captures by the same rule.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "base/clock.h"

namespace vorlink {

inline constexpr std::string_view kKssExtension = ".kss";
inline constexpr std::string_view kDumpExtension = ".dump";
inline constexpr std::string_view kHexExtension = ".hex";
inline constexpr std::string_view kPcapExtension = ".pcap";
inline constexpr std::array<std::string_view, 4> kCaptureExtensions{kKssExtension, kDumpExtension,
                                                                    kHexExtension, kPcapExtension};

// "ddmmyyyy_hhmm" for a UTC date-time.
std::string CaptureStamp(const DateTime& utc);

// "28112010_1403.kss" and the like: a stamp of that form and a capture extension.
bool IsCaptureFileName(std::string_view name);

}  // namespace vorlink
