#include "geo/track_store.h"

#include <algorithm>

namespace vorlink {
namespace {

std::string TrackKey(const std::string& name, bool object) { return (object ? "o:" : "s:") + name; }

}  // namespace

std::optional<std::size_t> TrackStore::Find(const std::string& name, bool object) const {
  const auto it = rows_.find(TrackKey(name, object));
  if (it == rows_.end()) return std::nullopt;
  return it->second;
}

bool TrackStore::Add(const StationReport& report) {
  const std::string key = TrackKey(report.name, report.object);
  auto it = rows_.find(key);
  if (it == rows_.end()) {
    if (stations_.size() >= kMaxMapStations) {
      ++overflow_;
      return false;
    }
    it = rows_.emplace(key, stations_.size()).first;
    stations_.emplace_back();
  }
  const std::size_t row = it->second;
  Entry& entry = stations_[row];
  if (!entry.changed) {
    entry.changed = true;
    changedRows_.push_back(row);
  }
  MapStation& station = entry.station;
  station.last = report;
  // A station that stays put keeps one position, however often it beacons.
  if (station.track.empty() || !(station.track.back().position == report.position)) {
    Append(row, {report.position, report.time});
  }
  newest_ = std::max(newest_, report.time);
  ++generation_;
  return true;
}

void TrackStore::Append(std::size_t row, TrackPoint point) {
  Entry& entry = stations_[row];
  if (entry.station.track.size() >= kMaxTrackPoints) {
    entry.station.track.pop_front();
    ++entry.gone;
    --points_;
  }
  entry.station.track.push_back(point);
  ++points_;
  order_.push_back(static_cast<std::uint32_t>(row));
  // The age order names gone positions too; bounding it bounds them all.
  while (order_.size() > kMaxStoredPoints) DropOldest();
}

void TrackStore::DropOldest() {
  Entry& entry = stations_[order_.front()];
  order_.pop_front();
  if (entry.gone > 0) {
    --entry.gone;
  } else if (entry.station.track.size() > 1) {
    entry.station.track.pop_front();
    --points_;
  }
}

void TrackStore::ForgetBefore(std::int64_t time) {
  const std::size_t before = points_;
  for (Entry& entry : stations_) {
    auto& track = entry.station.track;
    while (track.size() > 1 && track.front().time < time) {
      track.pop_front();
      ++entry.gone;
      --points_;
    }
  }
  if (points_ != before) ++generation_;
}

std::vector<std::size_t> TrackStore::TakeChanged() {
  std::vector<std::size_t> rows;
  rows.swap(changedRows_);
  std::sort(rows.begin(), rows.end());
  for (const std::size_t row : rows) stations_[row].changed = false;
  return rows;
}

void TrackStore::Clear() {
  stations_.clear();
  changedRows_.clear();
  rows_.clear();
  order_.clear();
  points_ = 0;
  overflow_ = 0;
  newest_ = 0;
  ++generation_;
}

}  // namespace vorlink
