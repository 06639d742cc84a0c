// The data link over a simulated 1200 baud channel (full duplex, each
// frame's air time counted with flags and FCS), k = 4, paclen 256: bytes
// delivered per second of simulated time against the channel's capacity,
// with no loss and with 10 % of frames lost. The clock is simulated, so the
// figures are the protocol's, not the machine's.
//   build/bench/vorlink-ax25link-bench [BYTES]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ax25link/data_link.h"
#include "fake_clock.h"
#include "link_channel.h"
#include "link_recorder.h"

namespace {

using namespace vorlink;
using std::chrono::milliseconds;

constexpr int kBitsPerSecond = 1200;
constexpr int kFlagsAndFcs = 4;
constexpr std::size_t kDefaultBytes = 32 * 1024;

struct Result {
  bool completed = false;
  double seconds = 0;
  std::uint64_t frames = 0;
  std::uint64_t dropped = 0;
  LinkSnapshot sender;
};

Result Run(std::size_t bytes, int dropPercent, bool version22) {
  testing::FakeClock clock;
  testing::ChannelSchedule schedule;
  schedule.seed = 7;
  schedule.dropPercent = dropPercent;
  schedule.delay = milliseconds{10};
  schedule.bitsPerSecond = kBitsPerSecond;
  schedule.overheadBytes = kFlagsAndFcs;
  testing::LinkChannel channel(clock, schedule);
  LinkParameters parameters;
  parameters.windowModulo8 = 4;
  parameters.windowModulo128 = 4;
  parameters.maxInfoN1 = 256;
  parameters.sendQueueBytes = bytes;
  testing::LinkRecorder eventsA;
  testing::LinkRecorder eventsB;
  DataLink a({{"AAA", 0, false}, {"BBB", 0, false}, {}}, parameters, clock, channel.Side(0), eventsA);
  DataLink b({{"BBB", 0, false}, {"AAA", 0, false}, {}}, parameters, clock, channel.Side(1), eventsB);
  channel.SetReceiver(0, [&](auto f) { testing::FeedLink(a, f); });
  channel.SetReceiver(1, [&](auto f) { testing::FeedLink(b, f); });
  DataLink* const links[] = {&a, &b};
  a.Connect(version22);
  Result r;
  if (!testing::RunChannel(clock, channel, links, [&] { return a.State() == LinkState::Connected; },
                           milliseconds{600000})) {
    return r;
  }
  const std::vector<std::uint8_t> data(bytes, 'x');
  a.Send(data);
  const auto start = clock.monotonic;
  r.completed = testing::RunChannel(
      clock, channel, links, [&] { return eventsB.data.size() == bytes && a.AllAcknowledged(); },
      milliseconds{24 * 3600 * 1000});
  r.seconds = std::chrono::duration<double>(clock.monotonic - start).count();
  r.frames = channel.framesSent;
  r.dropped = channel.framesDropped;
  r.sender = a.Snapshot();
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t bytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : kDefaultBytes;
  const double capacity = kBitsPerSecond / 8.0;
  std::printf("ax25link: %zu bytes one way, %d baud (%.0f bytes/s), k=4, paclen 256\n", bytes,
              kBitsPerSecond, capacity);
  for (const bool version22 : {false, true}) {
    for (const int loss : {0, 10}) {
      const Result r = Run(bytes, loss, version22);
      if (!r.completed) {
        std::printf("  %s loss %2d%%: did not complete\n", version22 ? "2.2" : "2.0", loss);
        continue;
      }
      const double rate = static_cast<double>(bytes) / r.seconds;
      std::printf(
          "  %s loss %2d%%: %7.1f s, %6.1f bytes/s = %4.1f%% of capacity; frames %llu "
          "(%llu lost), REJ %d SREJ %d, SRTT %lld ms, T1 %lld ms\n",
          version22 ? "2.2" : "2.0", loss, r.seconds, rate, 100.0 * rate / capacity,
          static_cast<unsigned long long>(r.frames), static_cast<unsigned long long>(r.dropped),
          r.sender.rejReceived, r.sender.srejReceived,
          static_cast<long long>(r.sender.srtt.count()), static_cast<long long>(r.sender.t1.count()));
    }
  }
  return 0;
}
