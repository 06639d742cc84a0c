#include "app/own_beacons.h"

#include <algorithm>

namespace vorlink {

int UsableBeaconMinutes(int minutes) {
  return std::clamp(minutes, kLeastBeaconMinutes, kMostBeaconMinutes);
}

void OwnBeacons::Start(TimePoint now) {
  nextBeacon_ = now + kFirstBeaconDelay;
  for (Placed& p : objects_) {
    p.next = now + kFirstObjectGap;
    if (!p.killed) p.gap = kFirstObjectGap;
  }
}

bool OwnBeacons::Place(const OwnObject& object, TimePoint now) {
  const auto same = std::find_if(objects_.begin(), objects_.end(), [&](const Placed& p) {
    return p.object.name == object.name;
  });
  if (same != objects_.end()) {
    if (same->killed) return false;
    // Moved or changed: told again at once, as a new one would be.
    *same = {object, now, kFirstObjectGap};
    return true;
  }
  if (objects_.size() >= kMostObjects) return false;
  objects_.push_back({object, now, kFirstObjectGap});
  return true;
}

bool OwnBeacons::Kill(std::string_view name, TimePoint now) {
  for (Placed& p : objects_) {
    if (p.object.name != name || p.killed) continue;
    p.killed = true;
    p.killsLeft = kKilledSends;
    p.next = now;
    p.gap = kFirstObjectGap;
    return true;
  }
  return false;
}

std::vector<OwnObject> OwnBeacons::LiveObjects() const {
  std::vector<OwnObject> live;
  for (const Placed& p : objects_) {
    if (!p.killed) live.push_back(p.object);
  }
  return live;
}

void OwnBeacons::Tick(TimePoint now, const DateTime& utc, const Send& send) {
  if (beacon_.enabled && position_ && nextBeacon_ && now >= *nextBeacon_) {
    send(BeaconInfo(*position_, beacon_.symbol, beacon_.comment, beacon_.compressed));
    nextBeacon_ = now + std::chrono::minutes(UsableBeaconMinutes(beacon_.intervalMinutes));
  }
  for (Placed& p : objects_) {
    if (now < p.next) continue;
    send(ObjectInfo(p.object, !p.killed, utc));
    p.next = now + p.gap;
    p.gap = std::min<std::chrono::steady_clock::duration>(p.gap * 2, kLongestObjectGap);
    if (p.killed) --p.killsLeft;
  }
  std::erase_if(objects_, [](const Placed& p) { return p.killed && p.killsLeft <= 0; });
}

}  // namespace vorlink
