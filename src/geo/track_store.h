// The stations, objects and items seen at a position, for the map: each one's
// last report (position, symbol, path, heard direct or via a digipeater) and
// its track, the positions it moved through in the order they were heard.
//
// A peer may send endless callsigns or positions, so the store is bounded:
// at most kMaxMapStations names (reports of further names are counted and
// dropped), at most kMaxTrackPoints positions per track, and at most
// kMaxStoredPoints positions in all, the oldest of them going first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "geo/geo_point.h"

namespace vorlink {

inline constexpr std::size_t kMaxMapStations = 100'000;
inline constexpr std::size_t kMaxTrackPoints = 1'000;
inline constexpr std::size_t kMaxStoredPoints = 2'000'000;

struct TrackPoint {
  GeoPoint position;
  std::int64_t time = 0;  // UTC milliseconds since 1970
};

// One position report as the map needs it.
struct StationReport {
  std::string name;     // the callsign (SSID included), or the object's or item's name
  bool object = false;  // an object or item, known by its name
  GeoPoint position;
  char symbolTable = '/';
  char symbolCode = '/';
  std::int64_t time = 0;  // when heard, UTC milliseconds since 1970
  bool direct = false;    // no digipeater had repeated it
  std::string path;       // the digipeaters as the address line shows them
  std::string report;     // the information field, printable
  std::string comment;
  std::optional<int> course;  // degrees
  std::optional<double> speedKmh;
  std::optional<double> altitudeMetres;
};

struct MapStation {
  StationReport last;
  std::deque<TrackPoint> track;  // time order; the last position last
  bool Moved() const { return track.size() > 1; }
};

class TrackStore {
 public:
  // False when the report was dropped: a new name beyond kMaxMapStations.
  bool Add(const StationReport& report);
  // Track positions heard before `time` go; each keeps its last position.
  void ForgetBefore(std::int64_t time);
  void Clear();

  std::size_t Size() const { return stations_.size(); }
  // In the order first heard.
  const MapStation& At(std::size_t row) const { return stations_[row].station; }
  std::optional<std::size_t> Find(const std::string& name, bool object) const;
  std::size_t StoredPoints() const { return points_; }
  std::uint64_t Overflow() const { return overflow_; }
  // Counts every change, so a view can tell it is behind.
  std::uint64_t Generation() const { return generation_; }
  // The latest time of any report, 0 before the first.
  std::int64_t Newest() const { return newest_; }
  // The rows whose last report changed since the last call, in row order,
  // so a table can change those cells in place.
  std::vector<std::size_t> TakeChanged();

 private:
  struct Entry {
    MapStation station;
    // Positions already gone from the front of the track that the age
    // order below still names.
    std::size_t gone = 0;
    bool changed = false;  // named in changedRows_
  };
  void Append(std::size_t row, TrackPoint point);
  void DropOldest();

  std::vector<Entry> stations_;
  std::unordered_map<std::string, std::size_t> rows_;
  std::vector<std::size_t> changedRows_;
  std::deque<std::uint32_t> order_;  // the row of every stored position, oldest first
  std::size_t points_ = 0;
  std::uint64_t overflow_ = 0;
  std::uint64_t generation_ = 0;
  std::int64_t newest_ = 0;
};

}  // namespace vorlink
