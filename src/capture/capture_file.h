// One capture file held open for appending. What a receive event writes is
// gathered in memory and handed to the operating system in one write at the
// end of the event, or earlier once kWriteAt bytes are waiting, always at
// the end of a whole frame or line. A write that fails or falls short is cut
// back to the length the file had before it, so the file never holds part of
// a frame; the file is then paused, its bytes of that event are dropped, and
// the next write is tried afresh.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

#include "capture/file_writer.h"

namespace vorlink {

class CaptureFile {
 public:
  // What the last Commit changed.
  enum class Change { kNone, kPaused, kResumed };

  // Enough for one event of a fast line without growing; a bigger event is
  // written in pieces of about this size.
  static constexpr std::size_t kWriteAt = 64 * 1024;

  CaptureFile() = default;
  CaptureFile(const CaptureFile&) = delete;
  CaptureFile& operator=(const CaptureFile&) = delete;
  ~CaptureFile() { Close(nullptr); }

  // Opens name for appending, creating it when missing; an earlier run's
  // bytes are kept. False when it cannot be opened: writes are then skipped.
  bool Open(const std::filesystem::path& name);
  // Writes what is waiting, then closes. Closing a closed file does nothing.
  void Close(FileWriter* writer);

  // Bytes of one frame or one whole line, kept until Commit.
  void Append(std::span<const std::uint8_t> bytes);
  void Append(std::string_view text);
  bool WantsCommit() const { return pending_.size() >= kWriteAt; }
  // Writes the waiting bytes whole, or cuts the file back and pauses it.
  Change Commit(FileWriter* writer);

  const std::filesystem::path& Name() const { return name_; }
  bool IsOpen() const { return descriptor_ >= 0; }
  // Nothing on disk and nothing waiting.
  bool Empty() const { return committed_ == 0 && pending_.empty(); }
  bool Paused() const { return paused_; }
  // Why the file is paused.
  const std::error_code& Error() const { return error_; }

 private:
  std::error_code WriteAll(FileWriter* writer);
  bool CutBack(std::error_code& error);

  std::filesystem::path name_;
  int descriptor_ = -1;
  std::string pending_;
  off_t committed_ = 0;     // the length that holds only whole frames and lines
  bool cutPending_ = false; // a cut back failed and is tried again first
  bool paused_ = false;
  std::error_code error_;
};

}  // namespace vorlink
