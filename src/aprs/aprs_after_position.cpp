// What follows a position, the same for positions, objects, items and Mic-E:
//
//   uncompressed  [CSE/SPD|PHGphgd|RNGrrrr|DFSshgd][/BRG/NRQ] comment
//   compressed    comment (the cs bytes were the extension)
//   Mic-E         ["xxx}" altitude][PHGphgd|RNGrrrr|DFSshgd] comment
//   weather       "ddd/sss" wind (or the cs bytes), weather fields, software
//                 and unit codes
//
// and in every other comment /A=aaaaaa, !DAO! and |base-91 telemetry|.
#include "aprs/aprs_parts.h"

namespace vorlink::aprs {
namespace {

constexpr std::size_t kWindLength = 7;  // "ddd/sss"

// A weather symbol's data: the wind from the course/speed field, then the
// fields; the characters used, 0 (and no weather) when neither is there.
std::size_t ReadPositionWeather(std::string_view text, PositionForm form, AprsExtensions& ext,
                                std::optional<AprsWeather>& weather) {
  AprsWeather& wx = weather.emplace();
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
  if (fields == 0 && skip == 0) {
    weather.reset();
    return 0;
  }
  ext.course.reset();
  ext.speedKnots.reset();
  return skip + fields;
}

}  // namespace

void ReadAfterPosition(std::string_view text, PositionForm form, AprsPosition& pos,
                       AprsExtensions& ext, AprsComment& comment,
                       std::optional<AprsWeather>* weather) {
  const bool micE = form == PositionForm::MicE;
  std::size_t at = micE ? ReadBase91Altitude(text, ext) : 0;
  if (weather && pos.symbol.code == '_') {
    const std::size_t used = ReadPositionWeather(text, form, ext, *weather);
    if (*weather) {
      // What follows weather data names the software and the station unit.
      comment = AprsComment(text.substr(used));
      return;
    }
  }
  if (form != PositionForm::Compressed) {
    at += ReadDataExtension(text.substr(at), pos.symbol, !micE, ext);
  }
  const std::string_view rest = text.substr(at);
  Cuts cuts;
  ReadCommentExtensions(rest, pos, ext, cuts, micE);
  cuts.Apply(rest, comment);
}

}  // namespace vorlink::aprs
