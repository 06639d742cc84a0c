// What follows a position, the same for positions, objects, items and Mic-E:
//
//   uncompressed  [CSE/SPD|PHGphgd|RNGrrrr|DFSshgd][/BRG/NRQ] comment
//   compressed    comment (the cs bytes were the extension)
//   Mic-E         ["xxx}" altitude][PHGphgd|RNGrrrr|DFSshgd] comment
//   weather       "ddd/sss" wind (or the cs bytes), weather fields, comment
//
// and in every comment /A=aaaaaa, !DAO! and |base-91 telemetry|.
#include "aprs/aprs_parts.h"

namespace vorlink::aprs {
namespace {

constexpr std::size_t kWindLength = 7;  // "ddd/sss"

// A weather symbol's data: the wind from the course/speed field, then the
// fields; none when neither is there.
std::optional<AprsWeather> ReadPositionWeather(std::string_view text, PositionForm form,
                                               AprsExtensions& ext, std::size_t& used) {
  AprsWeather wx;
  std::size_t skip = 0;
  bool wind = false;
  if (form == PositionForm::Compressed) {
    // The cs bytes of a weather station carry its wind, in knots.
    wx.windDirection = ext.course;
    if (ext.speedKnots) {
      wx.windSpeed = *ext.speedKnots * kKnotsToMetresPerSecond;
      wind = true;
    }
  } else if (ReadWindExtension(text, wx)) {
    skip = kWindLength;
    wind = true;
  }
  const std::size_t fields = ReadWeatherFields(text.substr(skip), wx, wind);
  if (fields == 0 && skip == 0) return std::nullopt;
  ext.course.reset();
  ext.speedKnots.reset();
  used = skip + fields;
  return wx;
}

}  // namespace

PositionTail ReadAfterPosition(std::string_view text, PositionForm form, AprsPosition& pos,
                               AprsExtensions& ext) {
  PositionTail tail;
  const bool micE = form == PositionForm::MicE;
  std::size_t at = micE ? ReadBase91Altitude(text, ext) : 0;
  std::size_t weatherUsed = 0;
  if (!micE && pos.symbol.code == '_') {
    tail.weather = ReadPositionWeather(text, form, ext, weatherUsed);
  }
  if (tail.weather) {
    at += weatherUsed;
  } else if (form != PositionForm::Compressed) {
    at += ReadDataExtension(text.substr(at), pos.symbol, !micE, ext);
  }
  const std::string_view rest = text.substr(at);
  Cuts cuts;
  ReadCommentExtensions(rest, pos, ext, cuts, micE);
  tail.comment = cuts.Apply(rest);
  return tail;
}

}  // namespace vorlink::aprs
