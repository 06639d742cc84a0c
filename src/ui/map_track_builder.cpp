#include "ui/map_track_builder.h"

#include <algorithm>
#include <cmath>

#include "geo/map_viewport.h"
#include "geo/track_jump.h"

namespace vorlink {
namespace {

// Pixels round a symbol's centre that every symbol covers, a wide pen and
// rounding allowed for.
constexpr int kTrackUnderSymbol = 2;
// How far a last-hours filter may lag behind the clock for the tracks.
constexpr std::int64_t kTrackFilterLagMs = 60'000;
constexpr auto kForgottenLinesLag = std::chrono::minutes(1);
constexpr std::size_t kRowsBetweenLooks = 64;

bool SamePoint(const TrackPoint& a, const TrackPoint& b) { return a.position == b.position && a.time == b.time; }

int FadeBand(std::int64_t age, std::int64_t trackMs) {
  const double share = static_cast<double>(std::max<std::int64_t>(age, 0)) /
                       static_cast<double>(std::max<std::int64_t>(trackMs, 1));
  return std::clamp(static_cast<int>(share * kTrackFadeBands), 0, kTrackFadeBands - 1);
}

}  // namespace

bool PassesMapFilter(const MapStation& station, const MapFilter& filter, std::int64_t now) {
  if (filter.directOnly && !station.last.direct) return false;
  if (filter.lastHours > 0 &&
      station.last.time < now - static_cast<std::int64_t>(filter.lastHours * kMapMillisecondsPerHour)) {
    return false;
  }
  return true;
}

void MapTrackBuilder::Project() {
  if (projectedGeneration_ == stations_.Generation() && projected_.size() == stations_.Size()) return;
  if (projected_.size() > stations_.Size()) {
    projected_.clear();  // cleared: rows are other stations now
    stale_ = true;
  }
  const std::size_t known = projected_.size();
  projected_.resize(stations_.Size());
  for (std::size_t row = 0; row < stations_.Size(); ++row) {
    const MapStation& station = stations_.At(row);
    Projected& out = projected_[row];
    if (row >= known || out.track.empty()) {
      ProjectFrom(row, 0);
      continue;
    }
    if (station.track.size() == out.track.size() && SamePoint(station.track.back(), out.end)) {
      out.last = WorldFraction(station.last.position);
      if (!out.track.empty()) out.last.x = out.track.back().x;
      continue;
    }
    // Where the last projected position is now: before it, the oldest may have gone.
    std::size_t end = station.track.size();
    while (end > 0 && !SamePoint(station.track[end - 1], out.end)) --end;
    const std::size_t gone = end == 0 ? out.track.size() : out.track.size() - std::min(end, out.track.size());
    if (gone == 0) {
      ProjectFrom(row, out.track.size());
      continue;
    }
    forgotten_ = true;
    for (std::vector<RowLines>* states : {&rowLines_, &nextRows_}) {
      if (row < states->size()) (*states)[row].upTo -= std::min(gone, (*states)[row].upTo);
    }
    ProjectFrom(row, 0);
  }
  projectedGeneration_ = stations_.Generation();
}

void MapTrackBuilder::ProjectFrom(std::size_t row, std::size_t from) {
  const MapStation& station = stations_.At(row);
  Projected& out = projected_[row];
  out.last = WorldFraction(station.last.position);
  out.track.resize(from);
  out.joined.resize(from);
  out.track.reserve(station.track.size());
  out.joined.reserve(station.track.size());
  if (from == 0) out.shift = 0;
  for (std::size_t k = from; k < station.track.size(); ++k) {
    WorldPoint f = WorldFraction(station.track[k].position);
    const bool joined = k > 0 && PlausibleMove(station.track[k - 1], station.track[k]);
    if (joined) {
      const double step = f.x + out.shift - out.track.back().x;
      if (step > 0.5) out.shift -= 1;
      if (step < -0.5) out.shift += 1;
    }
    f.x += out.shift;
    out.track.push_back(f);
    out.joined.push_back(joined);
  }
  // The last position on the same copy of the world as its track's end.
  if (!out.track.empty()) {
    out.last.x = out.track.back().x;
    out.end = station.track.back();
  }
}

bool MapTrackBuilder::Current(const MapTrackWish& made, const MapTrackWish& wanted) const {
  // Ages move on slowly against the bands: rebuilt when they moved a fraction of one.
  const std::int64_t lag = std::abs(wanted.now - made.now);
  const bool aged = lag > wanted.trackMs / (kTrackFadeBands * 8) ||
                    (wanted.filter.lastHours > 0 && lag > kTrackFilterLagMs);
  return made.zoom == wanted.zoom && made.trackMs == wanted.trackMs && made.filter == wanted.filter && !aged;
}

void MapTrackBuilder::AddTrack(MapTrackLines& lines, std::size_t row, RowLines& state, const MapTrackWish& made,
                               const MapTrackWish& current) {
  const MapStation& s = stations_.At(row);
  const Projected& pr = projected_[row];
  if (!PassesMapFilter(s, current.filter, current.now)) {
    stale_ = stale_ || state.passed;
    state.passed = false;
    return;
  }
  if (!state.passed) state = {QPoint(), false, true, 0, std::floor(pr.last.x)};
  if (std::floor(pr.last.x) != state.copy) stale_ = true;  // its last position went round the world
  const double side = WorldPixels(made.zoom);
  const auto pixel = [&](WorldPoint w) {
    return QPoint(static_cast<int>(std::lround((w.x - state.copy) * side)), static_cast<int>(std::lround(w.y * side)));
  };
  for (std::size_t& k = state.upTo; k < pr.track.size(); ++k) {
    const std::int64_t age = made.now - s.track[k].time;
    if (age > made.trackMs) continue;
    const QPoint at = pixel(pr.track[k]);
    // Points this close are drawn as one, and a symbol hides a track round it.
    const QPoint step = at - state.previous;
    if (state.have && pr.joined[k] && std::max(std::abs(step.x()), std::abs(step.y())) <= kTrackUnderSymbol) {
      continue;
    }
    if (state.have && pr.joined[k]) lines.Add(state.previous, at, FadeBand(age, made.trackMs), s.track[k].time);
    state.previous = at;
    state.have = true;
  }
}

void MapTrackBuilder::AddNewPositions(const MapTrackWish& current) {
  linesGeneration_ = stations_.Generation();
  rowLines_.resize(stations_.Size());
  for (std::size_t row = 0; row < stations_.Size(); ++row) {
    AddTrack(lines_, row, rowLines_[row], linesFor_, current);
  }
  lines_.Finish();
}

bool MapTrackBuilder::Update(const MapTrackWish& wanted, bool atOnce) {
  if (building_ && Current(nextFor_, wanted)) return false;
  const auto now = std::chrono::steady_clock::now();
  const bool forgottenDue = forgotten_ && (now - builtAt_ >= kForgottenLinesLag || atOnce);
  if (!building_ && !stale_ && !forgottenDue && Current(linesFor_, wanted)) {
    if (linesGeneration_ != stations_.Generation()) AddNewPositions(wanted);
    return false;
  }
  stale_ = false;
  forgotten_ = false;
  builtAt_ = now;
  building_ = true;
  nextFor_ = wanted;
  next_.Clear();
  nextRows_.assign(stations_.Size(), {});
  nextRow_ = 0;
  if (atOnce) {
    BuildBy(Deadline::max(), wanted);
    return false;
  }
  next_.Reserve(stations_.StoredPoints());  // no slice grows the table whole
  return true;
}

bool MapTrackBuilder::BuildBy(Deadline deadline, const MapTrackWish& current) {
  if (!building_) return true;
  nextRows_.resize(stations_.Size());
  for (; nextRow_ < stations_.Size(); ++nextRow_) {
    if (nextRow_ % kRowsBetweenLooks == 0 && std::chrono::steady_clock::now() >= deadline) return false;
    AddTrack(next_, nextRow_, nextRows_[nextRow_], nextFor_, current);
  }
  if (!next_.FinishBy(deadline)) return false;
  std::swap(lines_, next_);
  std::swap(rowLines_, nextRows_);
  linesFor_ = nextFor_;
  next_.Clear();
  nextRows_.clear();
  building_ = false;
  AddNewPositions(current);  // those that came while it was made
  return true;
}

}  // namespace vorlink
