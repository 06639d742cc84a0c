#include "store/heard_list.h"

#include <algorithm>

#include "aprs/aprs_decoder.h"
#include "base/text.h"
#include "base/utc.h"

namespace vorlink {
namespace {

constexpr std::size_t kHeardTimeLength = 19;  // the timestamp without milliseconds

// Cut at a character's start, so the UTF-8 stays whole.
void Bound(std::string& text) {
  if (text.size() <= kMaxHeardText) return;
  std::size_t end = kMaxHeardText;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
}

// Blanks around a comment mean nothing in a table cell.
void SetText(std::string& to, std::string_view bytes) {
  while (!bytes.empty() && bytes.front() == ' ') bytes.remove_prefix(1);
  while (!bytes.empty() && bytes.back() == ' ') bytes.remove_suffix(1);
  to.clear();
  AppendDisplayText(to, bytes.substr(0, kMaxHeardText));
  Bound(to);
}

void TakePosition(HeardAprs& a, const AprsPosition& p, const AprsExtensions* e) {
  a.symbol = p.symbol;
  a.position = GeoPoint{p.latitude, p.longitude};
  a.course = e ? e->course : std::nullopt;
  a.speedKnots = e ? e->speedKnots : std::nullopt;
  a.altitudeMetres = e ? e->altitudeMetres : std::nullopt;
}

void TakeReport(HeardAprs& a, const AprsReport& report) {
  if (report.As<AprsObject>()) return;
  if (const AprsPosition* p = report.Position()) TakePosition(a, *p, report.Extensions());
  if (const auto* s = report.As<AprsStatus>()) {
    if (s->symbol) a.symbol = s->symbol;
    if (!s->text.empty()) SetText(a.comment, s->text);
  } else if (!report.As<AprsWeatherReport>() && !report.As<AprsTelemetry>()) {
    if (const AprsComment* c = report.Comment(); c && !c->Empty()) SetText(a.comment, c->Text());
  }
  // Raw station data says nothing the summary could show.
  if (const auto* w = report.As<AprsWeatherReport>(); w && w->raw.empty()) a.weather = w->weather;
}

}  // namespace

std::string HeardTimeText(std::int64_t time) {
  if (time == kNoArrivalTime) return "-";
  char stamp[kTimestampLength];
  FormatTimestamp(FromEpochMilliseconds(time), stamp);
  return std::string(stamp, kHeardTimeLength);
}

void HeardList::Add(const StoredFrame& frame) {
  const Ax25Decoder& d = inspector_.Inspect(frame);
  if (!inspector_.HeaderComplete()) return;
  // As the address line shows it: no control character can reach a table.
  std::string callsign;
  AppendDisplayText(callsign, d.SourceText);
  auto it = rows_.find(callsign);
  if (it == rows_.end()) {
    if (stations_.size() >= kMaxHeardStations) {
      ++overflow_;
      return;
    }
    it = rows_.emplace(callsign, stations_.size()).first;
    HeardStation& station = stations_.emplace_back();
    station.callsign = callsign;
    changed_.push_back(false);
  }
  const std::size_t row = it->second;
  if (!changed_[row]) {
    changed_[row] = true;
    changedRows_.push_back(row);
  }
  HeardStation& s = stations_[row];
  ++s.frames;
  ++(inspector_.AnyRepeated() ? s.via : s.direct);
  if (frame.HasArrival()) {
    if (s.firstHeard == kNoArrivalTime || frame.arrival < s.firstHeard) s.firstHeard = frame.arrival;
    if (s.lastHeard == kNoArrivalTime || frame.arrival > s.lastHeard) s.lastHeard = frame.arrival;
  }
  TakeReport(s.aprs, DecodeAprsFrame(d));
}

bool HeardList::CatchUp(const FrameStore& store, std::size_t most) {
  next_ = VisitFramesFrom(store, next_, most, [this](const StoredFrame& f) { Add(f); });
  return next_ < store.EndIndex();
}

std::vector<std::size_t> HeardList::TakeChanged() {
  std::vector<std::size_t> rows;
  rows.swap(changedRows_);
  std::sort(rows.begin(), rows.end());
  for (const std::size_t row : rows) changed_[row] = false;
  return rows;
}

void HeardList::Compute(const FrameStore& store) {
  Clear();
  CatchUp(store);
}

void HeardList::Clear() {
  stations_.clear();
  rows_.clear();
  changed_.clear();
  changedRows_.clear();
  next_ = 0;
  overflow_ = 0;
}

std::vector<HeardStation> HeardList::Sorted() const {
  std::vector<HeardStation> list = stations_;
  std::sort(list.begin(), list.end(), [](const HeardStation& a, const HeardStation& b) {
    if (a.frames != b.frames) return a.frames > b.frames;
    return a.callsign < b.callsign;
  });
  return list;
}

}  // namespace vorlink
