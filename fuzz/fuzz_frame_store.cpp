// libFuzzer target: the frame store at its limits, with small limits the
// input chooses, so that chunks fill, the oldest go and clears come between.
//
// Input layout:
//   byte 0     the most frames, 1 to 256
//   byte 1     frames per chunk, 1 to 64
//   byte 2     bytes per chunk, in steps of 64 (the store raises it to one
//              largest frame)
//   byte 3     the most bytes, in steps of 2048
//   the rest   operations, one byte each (its value modulo 5) and its
//              arguments:
//     0  append a frame: length(2) of 3 to 1163 bytes, seed, leftover
//        length, leftover offset, lines, option bits, arrival(2) in days
//     1  clear
//     2  read every held frame back
//     3  locate line n(2) of the held text
//     4  a frame as the display hands it on: as 0, with its arrival a
//        date-time, year(2) from 1900, month, day, hour, minute, second,
//        millisecond(2)
//
// Beyond the sanitizers' findings the target traps when a frame read back
// differs from what went in (cut where the store cuts), when the store holds
// more frames or memory than its limits, drops other than its oldest frames
// or counts them wrong, when its line numbers disagree with the frames', or
// when an arrival time reads back as another date-time.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

#include "store/frame_store.h"
#include "fuzz_input.h"
#include "link/kiss.h"

namespace {

using vorlink::fuzz::FuzzInput;
using vorlink::fuzz::Require;

constexpr std::size_t kMostFramesPerChunk = 64;
constexpr std::size_t kChunkBytesStep = 64;
constexpr std::size_t kMaxBytesStep = 2048;
// Lengths past the receive buffer's capacity, to be cut.
constexpr std::size_t kLengthsPastCapacity = 64;
constexpr std::size_t kShortestFrame = 3;
constexpr int kLeftoverOffsetBias = 16;
constexpr int kLinesStep = 4;
constexpr int kLinesBias = 8;
// A record of the store: arrival, offsets and lengths (see frame_store.h).
constexpr std::size_t kRecordBytes = 24;
constexpr std::int64_t kMillisecondsPerDay = 86'400'000;
constexpr int kFirstYear = 1900;
constexpr std::size_t kYears = 300;
constexpr int kDaysInEveryMonth = 28;
// Lines located at the end of a run, spread over the held text.
constexpr std::uint64_t kLinesLocated = 512;

// A frame as it should read back.
struct Expected {
  std::vector<std::uint8_t> bytes;
  std::int64_t arrival;
  std::optional<vorlink::DateTime> arrivalTime;  // as the display gave it
  std::uint8_t options;
  int leftoverOffset;
  std::vector<std::uint8_t> leftovers;
  int lines;
};

std::uint8_t OptionBits(const vorlink::DisplayOptions& o) {
  return static_cast<std::uint8_t>(o.timeStamp | o.timeFrames << 1 | o.decode << 2 | o.hexFile << 3);
}

vorlink::DisplayOptions Options(std::uint8_t bits) {
  vorlink::DisplayOptions o;
  o.timeStamp = (bits & 1) != 0;
  o.timeFrames = (bits & 2) != 0;
  o.decode = (bits & 4) != 0;
  o.hexFile = (bits & 8) != 0;
  return o;
}

std::vector<std::uint8_t> Pattern(std::size_t length, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
  return bytes;
}

vorlink::FrameStoreLimits Limits(FuzzInput& in) {
  vorlink::FrameStoreLimits limits;
  limits.maxFrames = in.Byte() + std::size_t{1};
  limits.framesPerChunk = in.Byte() % kMostFramesPerChunk + 1;
  limits.bytesPerChunk = in.Byte() * kChunkBytesStep;
  limits.maxBytes = in.Byte() * kMaxBytesStep;
  return limits;
}

// A date-time as the clock gives one, before 1970 too.
vorlink::DateTime Arrival(FuzzInput& in) {
  vorlink::DateTime t;
  t.year = kFirstYear + static_cast<int>(in.Word() % kYears);
  t.month = in.Byte() % 12 + 1;
  t.day = in.Byte() % kDaysInEveryMonth + 1;
  t.hour = in.Byte() % 24;
  t.minute = in.Byte() % 60;
  t.second = in.Byte() % 60;
  t.millisecond = static_cast<int>(in.Word() % 1000);
  return t;
}

class Run {
 public:
  explicit Run(FuzzInput& in) : store_(Limits(in)) {}

  void Step(FuzzInput& in) {
    switch (in.Byte() % 5) {
      case 0: Append(in, false); break;
      case 1:
        store_.Clear();
        first_ = store_.EndIndex();
        held_.clear();
        break;
      case 2: ReadBack(); break;
      case 3: Locate(in.Word()); break;
      case 4: Append(in, true); break;
    }
    CheckBounds();
  }

  void Finish() {
    ReadBack();
    const std::uint64_t step = std::max<std::uint64_t>(store_.LineCount() / kLinesLocated, 1);
    for (std::uint64_t line = 0; line < store_.LineCount(); line += step) Locate(line);
  }

 private:
  void Append(FuzzInput& in, bool displayed) {
    const std::size_t length =
        kShortestFrame + in.Word() % (vorlink::kFrameBufferCapacity + kLengthsPastCapacity - 2);
    std::vector<std::uint8_t> bytes = Pattern(length, in.Byte());
    const std::vector<std::uint8_t> leftovers =
        Pattern(in.Byte() % (vorlink::kMaxLeftoverBytes + kLeftoverOffsetBias), in.Byte());
    const int offset = in.Byte() - kLeftoverOffsetBias;
    const int lines = in.Byte() * kLinesStep - kLinesBias;
    const std::uint8_t options = in.Byte() & 0x0F;
    std::optional<vorlink::DateTime> arrivalTime;
    std::int64_t arrival = vorlink::kNoArrivalTime;
    if (displayed) {
      arrivalTime = Arrival(in);
      arrival = vorlink::ToEpochMilliseconds(*arrivalTime);
      store_.OnFrame({bytes, *arrivalTime, Options(options), {offset, leftovers}, lines});
    } else {
      const std::size_t days = in.Word();
      if (days != 0) arrival = static_cast<std::int64_t>(days) * kMillisecondsPerDay - 1;
      store_.Append(bytes, arrival, Options(options), {offset, leftovers}, lines);
    }

    bytes.resize(std::min(bytes.size(), vorlink::kFrameBufferCapacity));
    held_.push_back({std::move(bytes), arrival, arrivalTime, options, std::clamp(offset, 0, vorlink::kMaxHeaderOffset),
                     {leftovers.begin(),
                      leftovers.begin() + std::min<std::ptrdiff_t>(std::ssize(leftovers), vorlink::kMaxLeftoverBytes)},
                     std::max(lines, 0)});
    // Frames go oldest first, never the one just appended.
    Require(store_.EndIndex() == first_ + held_.size() && store_.Holds(store_.EndIndex() - 1));
    Require(store_.FirstIndex() >= first_);
    while (first_ < store_.FirstIndex()) {
      held_.pop_front();
      ++first_;
      ++dropped_;
    }
    Compare(store_.EndIndex() - 1);
  }

  void Compare(vorlink::FrameIndex index) const {
    const Expected& want = held_[index - first_];
    const vorlink::StoredFrame got = store_.Frame(index);
    Require(std::ranges::equal(got.bytes, want.bytes) && got.arrival == want.arrival);
    Require(!want.arrivalTime || got.Arrival() == *want.arrivalTime);
    Require(OptionBits(got.options) == want.options && got.lines == want.lines);
    Require(got.leftovers.offset == want.leftoverOffset && std::ranges::equal(got.leftovers.bytes, want.leftovers));
  }

  void ReadBack() const {
    std::uint64_t line = 0;
    for (vorlink::FrameIndex i = store_.FirstIndex(); i < store_.EndIndex(); ++i) {
      Compare(i);
      Require(store_.FirstLineOf(i) == line);
      line += static_cast<std::uint64_t>(held_[i - first_].lines);
    }
    Require(store_.LineCount() == line);
  }

  // A line lies in the block of its frame, and that frame's first line
  // leads to it.
  void Locate(std::uint64_t line) const {
    if (store_.LineCount() == 0) return;
    line %= store_.LineCount();
    const vorlink::LinePosition at = store_.LocateLine(line);
    Require(store_.Holds(at.frame));
    Require(at.line >= 0 && at.line < held_[at.frame - first_].lines);
    Require(store_.FirstLineOf(at.frame) + static_cast<std::uint64_t>(at.line) == line);
  }

  void CheckBounds() const {
    const vorlink::FrameStoreLimits& limits = store_.Limits();
    Require(store_.Size() == held_.size() && store_.FirstIndex() == first_);
    Require(store_.Size() <= limits.maxFrames && store_.DroppedFrames() == dropped_);
    const std::size_t chunkBytes =
        limits.framesPerChunk * kRecordBytes + limits.bytesPerChunk;
    const std::size_t mostChunks = std::max<std::size_t>(limits.maxBytes / chunkBytes, 1);
    Require(store_.BytesHeld() <= mostChunks * chunkBytes);
  }

  vorlink::FrameStore store_;
  std::deque<Expected> held_;
  vorlink::FrameIndex first_ = 0;
  std::uint64_t dropped_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return vorlink::fuzz::RunProgram<Run>(data, size);
}
