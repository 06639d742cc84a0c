#include "store/map_feed.h"

#include "aprs/aprs_decoder.h"
#include "base/text.h"

namespace vorlink {

bool ReadPositionReport(const AprsReport& aprs, StationReport& report) {
  const AprsPosition* position = aprs.Position();
  if (position == nullptr) return false;
  if (const auto* object = aprs.As<AprsObject>()) {
    if (!object->alive) return false;
    report.name.clear();
    AppendDisplayText(report.name, object->name);
    report.object = true;
  }
  report.position = {position->latitude, position->longitude};
  report.symbolTable = position->symbol.table;
  report.symbolCode = position->symbol.code;
  if (const AprsExtensions* e = aprs.Extensions()) {
    report.course = e->course;
    if (e->speedKnots) report.speedKmh = *e->speedKnots * kKnotsToKmh;
    report.altitudeMetres = e->altitudeMetres;
  }
  if (const AprsComment* comment = aprs.Comment()) AppendDisplayText(report.comment, comment->Text());
  return true;
}

bool MapFeed::CatchUp(const FrameStore& store, TrackStore& tracks, std::size_t most) {
  next_ = VisitFramesFrom(store, next_, most, [&](const StoredFrame& f) { Add(f, tracks); });
  return next_ < store.EndIndex();
}

void MapFeed::Add(const StoredFrame& frame, TrackStore& tracks) {
  if (frame.sent) return;  // the own station is not heard
  const Ax25Decoder& d = inspector_.Inspect(frame);
  if (!inspector_.HeaderComplete() || !inspector_.IsType(FrameType::UI)) return;
  StationReport report;
  AppendDisplayText(report.name, d.SourceText);
  if (!ReadPositionReport(DecodeAprsFrame(d), report)) return;
  report.time = frame.arrival;
  report.direct = !inspector_.AnyRepeated();
  for (int k = 0; k < d.DigipeaterCount; ++k) {
    if (k > 0) report.path += ',';
    AppendDisplayText(report.path, d.DigipeaterText[static_cast<std::size_t>(k)]);
  }
  const auto payload = d.Payload();
  AppendDisplayText(report.report,
                  std::string_view(reinterpret_cast<const char*>(payload.data()), payload.size()));
  tracks.Add(report);
}

}  // namespace vorlink
