// A .kss capture read into a frame store, for a viewer and vorlink-decode:
// all at once, or a slice at a time by a window that keeps answering.
// Time frames (KISS command 9 of the time frame layout) give the frame after
// them its arrival time and are not stored; frames without one have none.
// Every frame is decoded on the way, in file order, so that frames too
// short for their header keep the leftovers the live pane showed them with.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "decode/display_options.h"
#include "decode/frame_text.h"
#include "link/deframer.h"
#include "store/frame_store.h"

namespace vorlink {

class CaptureLoader final : private UnitSink {
 public:
  // Frames are stored with these options; the time stamp only where a time
  // frame gave one.
  CaptureLoader(FrameStore& store, const DisplayOptions& options)
      : store_(store), options_(options) {}

  // Any piece of the file, in order (a window feeds it in slices).
  void Feed(std::span<const std::uint8_t> bytes) { deframer_.Feed(bytes, *this); }

  std::uint64_t Frames() const { return frames_; }
  std::uint64_t TimeFrames() const { return timeFrames_; }

 private:
  void OnUnit(std::span<const std::uint8_t> frame) override;
  void OnEscape(std::uint8_t) override {}

  FrameStore& store_;
  DisplayOptions options_;
  Deframer deframer_;
  FrameText text_;
  std::int64_t pendingTime_ = kNoArrivalTime;
  std::uint64_t frames_ = 0;
  std::uint64_t timeFrames_ = 0;
};

inline constexpr std::size_t kCaptureSliceBytes = std::size_t{1} << 20;

// A capture file opened for reading into a store, one slice of bytes per
// ReadSlice, so the frames of a big file arrive while the caller goes on.
class CaptureReader final {
 public:
  CaptureReader(const std::filesystem::path& file, FrameStore& store,
                const DisplayOptions& options, std::size_t sliceBytes = kCaptureSliceBytes);

  // Reads and stores the next slice; false once the file is read to its end
  // or a read failed (Problem then says why).
  bool ReadSlice();
  // Why the file could not be opened or read to its end; empty while it reads.
  const std::string& Problem() const { return problem_; }
  bool Finished() const { return !file_; }
  // How far through the file, 0 to 100.
  int PercentRead() const;
  const CaptureLoader& Loaded() const { return loader_; }

 private:
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, FileCloser> file_;
  CaptureLoader loader_;
  std::vector<std::uint8_t> slice_;
  std::uintmax_t size_ = 0;
  std::uintmax_t read_ = 0;
  std::string problem_;
};

// The whole file; false with the system's reason when it cannot be read.
bool LoadCapture(const std::filesystem::path& file, FrameStore& store,
                 const DisplayOptions& options, std::string& error);

}  // namespace vorlink
