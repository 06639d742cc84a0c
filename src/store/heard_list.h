// Stations heard: per source callsign (as shown, SSID included) the frames,
// first and last heard (UTC), and how many came direct (no digipeater has
// its has-been-repeated bit set) or via a digipeater. What its APRS reports
// said last is kept too: symbol, position with course, speed and altitude,
// comment or status, weather (objects and items speak of something else). Frames too short for
// their header name nobody and are not counted. Stations keep the row they
// were first heard in, and the list tells which rows changed, so a table
// over it updates rows in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "aprs/aprs_report.h"
#include "geo/geo_point.h"
#include "store/frame_inspector.h"
#include "store/frame_store.h"

namespace vorlink {

// A peer sending random source callsigns must not grow the list without end.
inline constexpr std::size_t kMaxHeardStations = 100'000;
// A comment kept per station is cut to this many bytes.
inline constexpr std::size_t kMaxHeardText = 120;

// What a station's APRS reports said last; a new position brings its own
// course, speed and altitude, or none.
struct HeardAprs {
  std::optional<AprsSymbol> symbol;
  std::optional<GeoPoint> position;
  std::optional<int> course;  // degrees
  std::optional<double> speedKnots;
  std::optional<double> altitudeMetres;
  std::string comment;  // UTF-8, the last comment or status text
  std::optional<AprsWeather> weather;
};

struct HeardStation {
  std::string callsign;
  std::uint64_t frames = 0;
  std::int64_t firstHeard = kNoArrivalTime;  // UTC milliseconds since 1970
  std::int64_t lastHeard = kNoArrivalTime;
  std::uint64_t direct = 0;
  std::uint64_t via = 0;
  HeardAprs aprs;
};

// "yyyy-mm-dd hh:mm:ss" UTC, or "-" for no time.
std::string HeardTimeText(std::int64_t time);

class HeardList {
 public:
  void Add(const StoredFrame& frame);
  // The frames the store took since the last call (all of them the first
  // time), at most `most` of them; frames it dropped meanwhile are missed.
  // True while frames are left.
  bool CatchUp(const FrameStore& store,
               std::size_t most = std::numeric_limits<std::size_t>::max());
  // Over the whole store anew.
  void Compute(const FrameStore& store);
  void Clear();

  std::size_t Size() const { return stations_.size(); }
  // In the order first heard.
  const HeardStation& At(std::size_t row) const { return stations_[row]; }
  // The frame CatchUp goes on from.
  FrameIndex NextFrame() const { return next_; }
  // Rows that took frames since the last call, rising; new rows among them.
  std::vector<std::size_t> TakeChanged();
  // Frames of callsigns beyond kMaxHeardStations, not counted.
  std::uint64_t Overflow() const { return overflow_; }
  // Most frames first, then by callsign.
  std::vector<HeardStation> Sorted() const;

 private:
  FrameInspector inspector_;
  std::vector<HeardStation> stations_;
  std::unordered_map<std::string, std::size_t> rows_;
  std::vector<bool> changed_;  // per row
  std::vector<std::size_t> changedRows_;
  FrameIndex next_ = 0;
  std::uint64_t overflow_ = 0;
};

}  // namespace vorlink
