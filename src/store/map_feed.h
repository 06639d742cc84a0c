// The map's stations from the frames of a store: each UI frame that reports
// a position becomes a report in a track store, with its source, its path,
// whether it came direct, and when it arrived. Frames are read in slices as
// they arrive, like the heard list.
#pragma once

#include <cstddef>
#include <limits>
#include <optional>

#include "aprs/aprs_report.h"
#include "geo/track_store.h"
#include "store/frame_inspector.h"
#include "store/frame_store.h"

namespace vorlink {

// The position an APRS report gives, filled into report (the name of an
// object or item, position, symbol, comment, course, speed, altitude);
// false when it gives none, or kills its object.
bool ReadPositionReport(const AprsReport& aprs, StationReport& report);

class MapFeed {
 public:
  // The frames since the last call, at most `most`; true while frames are left.
  bool CatchUp(const FrameStore& store, TrackStore& tracks,
               std::size_t most = std::numeric_limits<std::size_t>::max());
  // One frame, whatever came before.
  void Add(const StoredFrame& frame, TrackStore& tracks);

 private:
  FrameInspector inspector_;
  FrameIndex next_ = 0;
};

}  // namespace vorlink
