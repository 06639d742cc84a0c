// An in-memory radio channel between two data links: each side's frames
// take their air time at a given bit rate, one after another, then a delay
// with seeded jitter (so frames overtake each other); a seeded schedule
// drops some and sends some twice. Shared by the link tests and the bench.
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
  std::chrono::milliseconds jitter{0};  // 0 .. jitter added to each frame
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

  void Carry(int from, std::span<const std::uint8_t> frame) {
    ++framesSent;
    auto& free = transmitterFree_[static_cast<std::size_t>(from)];
    free = std::max(free, clock_.monotonic) + AirTime(frame.size());
    if (random_.Chance(schedule_.dropPercent)) {
      ++framesDropped;
      return;
    }
    const int copies = random_.Chance(schedule_.duplicatePercent) ? 2 : 1;
    for (int i = 0; i < copies; ++i) {
      const auto jitter = schedule_.jitter.count() > 0
                              ? std::chrono::milliseconds{random_.Below(
                                    static_cast<std::uint32_t>(schedule_.jitter.count()) + 1)}
                              : std::chrono::milliseconds{0};
      inFlight_.emplace(Key{free + schedule_.delay + jitter, order_++, 1 - from},
                        std::vector<std::uint8_t>(frame.begin(), frame.end()));
    }
  }

  FakeClock& clock_;
  ChannelSchedule schedule_;
  SeededRandom random_;
  std::array<SideSink, 2> sides_;
  std::array<Receiver, 2> receivers_;
  std::array<TimePoint, 2> transmitterFree_{};
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
