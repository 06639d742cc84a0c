// The pieces the APRS decoder is built from, one file per report kind; the
// entry point is DecodeAprs in aprs_decoder.h.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <utility>

#include "aprs/aprs_reader.h"
#include "aprs/aprs_report.h"

namespace vorlink::aprs {

inline constexpr double kFeetToMetres = 0.3048;
inline constexpr double kMphToMetresPerSecond = 0.44704;
inline constexpr double kKnotsToMetresPerSecond = 1852.0 / 3600.0;

// Runs cut out of a comment; what is left becomes an AprsComment.
class Cuts {
 public:
  static constexpr int kMax = 6;
  // Overlapping or surplus cuts are ignored.
  void Add(std::size_t from, std::size_t length);
  AprsComment Apply(std::string_view text) const;

 private:
  std::array<std::pair<std::size_t, std::size_t>, kMax> runs_{};
  int count_ = 0;
};

// A report saying it cannot be parsed, and why.
AprsReport Invalid(std::string_view reason);

// A position at `at`, uncompressed (19 characters) or compressed (13, with
// its cs and T bytes read into ext). Returns the characters read, 0 with a
// reason when there is no valid position.
std::size_t ReadPosition(const Reader& r, std::size_t at, AprsPosition& pos, AprsExtensions& ext,
                         std::string_view& reason);
// Uncompressed latitude "DDMM.hhN" (blanks for ambiguity) and longitude
// "DDDMM.hhW" blurred to the same ambiguity.
bool ReadLatitude(std::string_view text, double& latitude, int& ambiguity);
bool ReadLongitude(std::string_view text, int ambiguity, double& longitude);
// CSE/SPD, PHG, RNG or DFS at the start of text; the characters it used.
std::size_t ReadDataExtension(std::string_view text, AprsExtensions& ext);
// /A= altitude, !DAO! and |base-91 telemetry| anywhere in the comment.
void ReadCommentExtensions(std::string_view text, AprsPosition& pos, AprsExtensions& ext,
                           Cuts& cuts);
// A Mic-E or position comment's altitude "xxx}" (base 91, metres above -10 km).
void ReadBase91Altitude(std::string_view text, AprsExtensions& ext, Cuts& cuts);

// Weather fields (c s g t r p P h b L l # and snowfall) from the start of
// text, in any order; the characters used. windSeen: a DIR/SPD extension
// already gave the wind, so "s" is snowfall.
std::size_t ReadWeatherFields(std::string_view text, AprsWeather& wx, bool windSeen);
// "ddd/sss" wind of a weather position, mph (dots or blanks: not sent).
bool ReadWindExtension(std::string_view text, AprsWeather& wx);

AprsReport DecodePositionReport(const Reader& r);
AprsReport DecodePositionlessWeather(const Reader& r);
AprsReport DecodeMicE(const Reader& r, std::string_view destination);
AprsReport DecodeMessage(const Reader& r);

}  // namespace vorlink::aprs
