#include "decode/map_feed.h"

#include <algorithm>

#include "decode/frame_text.h"

namespace vorlink {

// TODO(map): read the report through the APRS decoder once it is in
// (positions, Mic-E, objects and items, with their symbol and extensions).
bool ReadPositionReport(std::span<const std::uint8_t>, StationReport&) { return false; }

bool MapFeed::CatchUp(const FrameStore& store, TrackStore& tracks, std::size_t most) {
  FrameIndex i = std::max(next_, store.FirstIndex());
  const FrameIndex end = store.EndIndex() - i > most ? i + most : store.EndIndex();
  for (; i < end; ++i) Add(store.Frame(i), tracks);
  next_ = end;
  return end < store.EndIndex();
}

void MapFeed::Add(const StoredFrame& frame, TrackStore& tracks) {
  const Ax25Decoder& d = inspector_.Inspect(frame);
  if (!inspector_.HeaderComplete() || !inspector_.IsType(FrameType::UI)) return;
  StationReport report;
  AppendPrintable(report.name, d.SourceText);
  if (!ReadPositionReport(d.Payload(), report)) return;
  report.time = frame.arrival;
  report.direct = !inspector_.AnyRepeated();
  for (int k = 0; k < d.DigipeaterCount; ++k) {
    if (k > 0) report.path += ',';
    AppendPrintable(report.path, d.DigipeaterText[static_cast<std::size_t>(k)]);
  }
  const auto payload = d.Payload();
  AppendPrintable(report.report,
                  std::string_view(reinterpret_cast<const char*>(payload.data()), payload.size()));
  tracks.Add(report);
}

}  // namespace vorlink
