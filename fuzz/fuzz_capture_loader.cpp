// libFuzzer target: a .kss capture, time frames included, read into a frame
// store and every stored frame drawn again, as a viewer opens a capture.
//
// Input layout:
//   byte 0     option bits: 0 time stamps, 1 decode
//   byte 1     slice size - 1: the file is fed in slices of it, as a window
//              reads it
//   the rest   the capture
//
// Beyond the sanitizers' findings the target traps when slicing changes
// what is stored, when the frames and time frames counted exceed the units
// the file can hold, or when a stored frame draws another line count than
// the store gave it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "store/capture_loader.h"
#include "store/frame_renderer.h"
#include "store/frame_store.h"

namespace {

struct Loaded {
  std::uint64_t frames;
  std::uint64_t timeFrames;
  std::uint64_t lines;
};

Loaded Load(std::span<const std::uint8_t> file, std::size_t slice,
            const vorlink::DisplayOptions& options, vorlink::FrameStore& store) {
  vorlink::CaptureLoader loader(store, options);
  while (!file.empty()) {
    const std::size_t n = std::min(slice, file.size());
    loader.Feed(file.first(n));
    file = file.subspan(n);
  }
  return {loader.Frames(), loader.TimeFrames(), store.LineCount()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::span<const std::uint8_t> input(data, size);
  vorlink::DisplayOptions options;
  options.timeStamp = (input[0] & 0x01) != 0;
  options.decode = (input[0] & 0x02) != 0;
  const std::size_t slice = std::size_t{input[1]} + 1;
  const auto file = input.subspan(2);

  vorlink::FrameStore sliced;
  vorlink::FrameStore whole;
  const Loaded a = Load(file, slice, options, sliced);
  const Loaded b = Load(file, file.size() + 1, options, whole);
  if (a.frames != b.frames || a.timeFrames != b.timeFrames || a.lines != b.lines) {
    __builtin_trap();
  }
  // Each unit stored takes at least three bytes.
  if ((a.frames + a.timeFrames) * 3 > file.size()) __builtin_trap();

  vorlink::FrameRenderer renderer;
  vorlink::BlockLines pane;
  for (vorlink::FrameIndex i = sliced.FirstIndex(); i < sliced.EndIndex(); ++i) {
    pane.Clear();
    const vorlink::StoredFrame frame = sliced.Frame(i);
    const int lines = renderer.Render(frame, pane);
    if (lines != frame.lines || static_cast<std::size_t>(lines) != pane.Count()) __builtin_trap();
  }
  return 0;
}
