// The pieces the APRS decoder is built from, one file per report kind; the
// entry point is DecodeAprs in aprs_decoder.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
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
  // What is left of text, added to comment (which is empty: no copy made).
  void Apply(std::string_view text, AprsComment& comment) const;

 private:
  // Only the first count_ are set: a decoder's every comment makes one.
  std::array<std::pair<std::size_t, std::size_t>, kMax> runs_;
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
// How a position was sent, which decides what may follow it.
enum class PositionForm : std::uint8_t { Uncompressed, Compressed, MicE };

// The one reading of what follows a position, for positions, objects, items
// and Mic-E: the data extension (CSE/SPD, PHG, RNG, DFS, a DF report's
// /BRG/NRQ), the weather of a weather symbol with its wind from the
// course/speed field, the altitude, !DAO!, comment telemetry and the comment
// left. ext comes with what the position itself carried (compressed cs bytes,
// Mic-E motion). For Mic-E, text is the status text without its device bytes.
// weather (null where none may follow) gets the weather when the symbol and
// the text make it a weather report; its comment, the software and unit
// codes, is then taken as it is.
void ReadAfterPosition(std::string_view text, PositionForm form, AprsPosition& pos,
                       AprsExtensions& ext, AprsComment& comment,
                       std::optional<AprsWeather>* weather);

// CSE/SPD, PHG, RNG or DFS at the start of text, and after it a DF report's
// /BRG/NRQ when the symbol is the DF symbol; the characters it used.
// withMotion: a CSE/SPD may stand there (Mic-E sends its motion elsewhere).
std::size_t ReadDataExtension(std::string_view text, const AprsSymbol& symbol, bool withMotion,
                              AprsExtensions& ext);
// /A= altitude, !DAO! and |base-91 telemetry| in the comment; the telemetry
// anywhere, or only at the end (before a !DAO!) with telemetryAtEnd.
void ReadCommentExtensions(std::string_view text, AprsPosition& pos, AprsExtensions& ext,
                           Cuts& cuts, bool telemetryAtEnd = false);
// A Mic-E status text's altitude "xxx}" at its start (base 91, metres above
// -10 km); the characters used.
std::size_t ReadBase91Altitude(std::string_view text, AprsExtensions& ext);
// The length of a valid |base-91 telemetry| that ends text, 0 without one.
std::size_t TrailingTelemetryLength(std::string_view text);

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
