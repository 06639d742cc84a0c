// An in-memory radio channel between two data links: each side's frames
// take their air time at a given bit rate, one after another, then a
// delay; a seeded schedule drops some, sends some twice and holds some
// back so that later ones overtake them. Shared by the link tests and the bench.
#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "ax25link/data_link.h"
#include "fake_clock.h"

namespace vorlink::testing {

// splitmix64: the same numbers on every machine.
class SeededRandom {
 public:
  explicit SeededRandom(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  std::uint32_t Below(std::uint32_t bound) { return static_cast<std::uint32_t>(Next() % bound); }
  bool Chance(int percent) { return static_cast<int>(Below(100)) < percent; }

 private:
  std::uint64_t state_;
};

struct ChannelSchedule {
  std::uint64_t seed = 1;
  int dropPercent = 0;
  int duplicatePercent = 0;
  std::chrono::milliseconds delay{100};
  // I and S frames held back until the side's next frame has gone past them
  // (or reorderDelay, when no next frame comes). One place, not more: an
  // N(R) overtaken by the rest of the sequence space beyond the window
  // cannot be told from a new one by any link. Modulo 8 with k = 4 comes
  // closest: when the frames between two swapped ones are all lost, an old
  // N(R) 4 behind reads as 4 ahead; one schedule in a few hundred at 25 %
  // loss does that, and none of the rows here.
  int reorderPercent = 0;
  std::chrono::milliseconds reorderDelay{300};
  int bitsPerSecond = 0;                // 0: no air time
  // Bytes a frame costs on the air besides its own: flags, FCS, TXDELAY.
  int overheadBytes = 0;
};

class LinkChannel {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  using Receiver = std::function<void(std::span<const std::uint8_t>)>;

  LinkChannel(FakeClock& clock, const ChannelSchedule& schedule)
      : clock_(clock), schedule_(schedule), random_(schedule.seed), sides_{{{*this, 0}, {*this, 1}}} {}

  FrameSink& Side(int side) { return sides_[static_cast<std::size_t>(side)]; }
  void SetReceiver(int side, Receiver receiver) {
    receivers_[static_cast<std::size_t>(side)] = std::move(receiver);
  }

  std::optional<TimePoint> NextArrival() const {
    if (inFlight_.empty()) return std::nullopt;
    return inFlight_.begin()->first.at;
  }
  bool Empty() const { return inFlight_.empty(); }
  // Hands over every frame due by the clock, in order of arrival.
  void DeliverDue() {
    while (!inFlight_.empty() && inFlight_.begin()->first.at <= clock_.monotonic) {
      auto node = inFlight_.extract(inFlight_.begin());
      const auto& r = receivers_[static_cast<std::size_t>(node.key().to)];
      if (r) r(node.mapped());
    }
  }
  std::uint64_t framesSent = 0;
  std::uint64_t framesDropped = 0;

 private:
  struct Key {
    TimePoint at;
    std::uint64_t order;
    int to;
    bool operator<(const Key& o) const { return at != o.at ? at < o.at : order < o.order; }
  };
  class SideSink final : public FrameSink {
   public:
    SideSink(LinkChannel& channel, int side) : channel_(channel), side_(side) {}
    void SendFrame(std::span<const std::uint8_t> frame, bool) override {
      channel_.Carry(side_, frame);
    }

   private:
    LinkChannel& channel_;
    int side_;
  };

  std::chrono::microseconds AirTime(std::size_t bytes) const {
    if (schedule_.bitsPerSecond <= 0) return {};
    const auto bits = static_cast<std::int64_t>(bytes + static_cast<std::size_t>(schedule_.overheadBytes)) * 8;
    return std::chrono::microseconds{bits * 1000000 / schedule_.bitsPerSecond};
  }

  // Only I and S frames are held back: a SABM or DISC overtaken by the
  // frames that follow it means something else (a reset, an end), and no
  // radio channel turns them round.
  static bool Numbered(std::span<const std::uint8_t> frame) {
    constexpr std::uint8_t kUFrameBits = 0x03;
    const auto addresses = ReadAddresses(frame);
    return addresses && addresses->controlOffset < frame.size() &&
           (frame[addresses->controlOffset] & kUFrameBits) != kUFrameBits;
  }

  void Carry(int from, std::span<const std::uint8_t> frame) {
    ++framesSent;
    auto& free = transmitterFree_[static_cast<std::size_t>(from)];
    free = std::max(free, clock_.monotonic) + AirTime(frame.size());
    if (random_.Chance(schedule_.dropPercent)) {
      ++framesDropped;
      return;
    }
    const auto arrival = free + schedule_.delay;
    const bool hold = random_.Chance(schedule_.reorderPercent) && Numbered(frame);
    // A copy comes right behind the frame, as a digipeater's echo would.
    const int copies = random_.Chance(schedule_.duplicatePercent) ? 2 : 1;
    Key last{};
    for (int i = 0; i < copies; ++i) {
      last = Key{arrival, order_++, 1 - from};
      inFlight_.emplace(last, std::vector<std::uint8_t>(frame.begin(), frame.end()));
    }
    auto& held = held_[static_cast<std::size_t>(from)];
    if (held) {
      // The frame held back now comes right behind this one.
      if (auto node = inFlight_.extract(*held)) {
        node.key() = Key{arrival, order_++, 1 - from};
        inFlight_.insert(std::move(node));
      }
      held.reset();
    }
    if (hold) {
      auto node = inFlight_.extract(last);
      node.key().at = arrival + schedule_.reorderDelay;
      held = node.key();
      inFlight_.insert(std::move(node));
    }
  }

  FakeClock& clock_;
  ChannelSchedule schedule_;
  SeededRandom random_;
  std::array<SideSink, 2> sides_;
  std::array<Receiver, 2> receivers_;
  std::array<TimePoint, 2> transmitterFree_{};
  std::array<std::optional<Key>, 2> held_;
  std::map<Key, std::vector<std::uint8_t>> inFlight_;
  std::uint64_t order_ = 0;
};

// Feeds a received frame to a link the way a manager would.
inline void FeedLink(DataLink& link, std::span<const std::uint8_t> frame) {
  if (const auto addresses = ReadAddresses(frame)) link.Receive(frame, *addresses);
}

// Moves the clock from event to event (arrivals and timers) until done()
// or the limit; true when done() held.
inline bool RunChannel(FakeClock& clock, LinkChannel& channel, std::span<DataLink* const> links,
                       const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = clock.monotonic + limit;
  while (!done()) {
    std::optional<LinkChannel::TimePoint> next = channel.NextArrival();
    for (DataLink* link : links) {
      const auto d = link->NextDeadline();
      if (d && (!next || *d < *next)) next = d;
    }
    if (!next || *next > end) return false;
    clock.monotonic = std::max(clock.monotonic, *next);
    channel.DeliverDue();
    for (DataLink* link : links) link->Tick();
  }
  return true;
}

}  // namespace vorlink::testing
