// The tracks' lines a map view draws, made from a track store: each
// station's positions projected once per change of the store (unwound
// along the track, broken where the station jumped), then thinned to what
// a zoom can show into MapTrackLines, on the copy of the world that holds
// each station's last position. New positions are added as they come; a
// change of zoom, filter or ages rebuilds them, at once or in slices beside
// the old ones, which are drawn meanwhile.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "geo/track_store.h"
#include "geo/web_mercator.h"
#include "ui/map_track_lines.h"

namespace vorlink {

// Track and filter lengths are set in hours, times kept in milliseconds.
inline constexpr double kMapMillisecondsPerHour = 3'600'000;

struct MapFilter {
  bool directOnly = false;
  int lastHours = 0;  // 0: all
  friend bool operator==(const MapFilter&, const MapFilter&) = default;
};

bool PassesMapFilter(const MapStation& station, const MapFilter& filter, std::int64_t now);

// What a set of lines is made for: the zoom, the filter, and the time ages count to.
struct MapTrackWish {
  int zoom = -1;
  std::int64_t now = 0;
  std::int64_t trackMs = 0;
  MapFilter filter;
};

class MapTrackBuilder {
 public:
  using Deadline = MapTrackLines::Deadline;

  explicit MapTrackBuilder(const TrackStore& stations) : stations_(stations) {}

  // Catches up with the store's changes.
  void Project();
  // A station's last position as a fraction of the world, on its track's copy.
  WorldPoint Last(std::size_t row) const { return projected_[row].last; }

  // Brings the lines to `wanted`: new positions added at once, a rebuild
  // made at once when `atOnce`, or else begun; true when a rebuild waits
  // for BuildBy.
  bool Update(const MapTrackWish& wanted, bool atOnce);
  // Works on a rebuild under way until `deadline`; true once it is done and
  // its lines are the ones drawn. `current` says which stations pass now.
  bool BuildBy(Deadline deadline, const MapTrackWish& current);
  bool Building() const { return building_; }

  const MapTrackLines& Lines() const { return lines_; }
  // The zoom the drawn lines were made for.
  int LinesZoom() const { return linesFor_.zoom; }

 private:
  // A station's positions as fractions of the world square.
  struct Projected {
    WorldPoint last;
    std::vector<WorldPoint> track;
    std::vector<bool> joined;  // of track: reachable from the position before it
    double shift = 0;  // of the last position, to unwind the next
    TrackPoint end;  // the last projected, found again after the oldest went
  };
  // How far one row's track has gone into a set of lines.
  struct RowLines {
    QPoint previous;
    bool have = false;
    bool passed = false;
    std::size_t upTo = 0;
    double copy = 0;
  };
  void ProjectFrom(std::size_t row, std::size_t from);
  bool Current(const MapTrackWish& made, const MapTrackWish& wanted) const;
  void AddTrack(MapTrackLines& lines, std::size_t row, RowLines& state, const MapTrackWish& made,
                const MapTrackWish& current);
  void AddNewPositions(const MapTrackWish& current);

  const TrackStore& stations_;
  std::vector<Projected> projected_;
  std::uint64_t projectedGeneration_ = ~std::uint64_t{0};
  MapTrackLines lines_;
  std::vector<RowLines> rowLines_;
  MapTrackWish linesFor_;
  MapTrackLines next_;
  std::vector<RowLines> nextRows_;
  MapTrackWish nextFor_;
  std::size_t nextRow_ = 0;
  std::uint64_t linesGeneration_ = ~std::uint64_t{0};  // of the store when lines_ last took its news
  bool building_ = false;
  bool stale_ = false;  // a station filtered out or gone round the world since the lines were made
  // Old positions forgotten since: their lines are the oldest drawn, so they
  // wait for a rebuild at most once a minute, not one per report that
  // pushes a full track's oldest out.
  bool forgotten_ = false;
  std::chrono::steady_clock::time_point builtAt_;
};

}  // namespace vorlink
