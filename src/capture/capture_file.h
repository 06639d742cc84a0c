// One capture file held open for appending. Opening cuts the file back to
// its last whole unit (capture_repair.h), so what a kill or a power cut tore
// is never followed by a new run's bytes. What a receive event writes is
// gathered in memory and handed to the operating system in one write at the
// end of the event, or earlier once kWriteAt bytes are waiting, always at
// the end of a whole frame or line. A write that fails or falls short is cut
// back to the length the file had before it, so the file never holds part of
// a frame; the file is then paused, its bytes of that event are dropped, and
// the next write is tried afresh. A file that cannot be opened is paused the
// same way, and opening is tried again at each write.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "capture/capture_repair.h"
#include "capture/file_writer.h"

namespace vorlink {

class CaptureFile {
 public:
  // What the last Open or Commit changed.
  enum class Change { kNone, kPaused, kResumed };

  // Enough for one event of a fast line without growing; a bigger event is
  // written in pieces of about this size.
  static constexpr std::size_t kWriteAt = 64 * 1024;

  // header: what the file starts with, written ahead of the first bytes
  // that go into an empty file.
  explicit CaptureFile(CaptureUnit unit, std::string header = {})
      : unit_(unit), header_(std::move(header)) {}
  CaptureFile(const CaptureFile&) = delete;
  CaptureFile& operator=(const CaptureFile&) = delete;
  ~CaptureFile() { Close(nullptr); }

  // Opens name for appending, creating it when missing; an earlier run's
  // whole units are kept. kPaused when it cannot be opened.
  Change Open(const std::filesystem::path& name);
  // Writes what is waiting, then closes. Closing a closed file does nothing.
  void Close(FileWriter* writer);

  // Bytes of one frame or one whole line, kept until Commit.
  void Append(std::span<const std::uint8_t> bytes);
  void Append(std::string_view text);
  bool WantsCommit() const { return pending_.size() >= kWriteAt; }
  // Writes the waiting bytes whole (opening the file first if it could not
  // be opened yet), or cuts the file back and pauses it.
  Change Commit(FileWriter* writer);

  const std::filesystem::path& Name() const { return name_; }
  // Between Open and Close, whether or not the file could be opened yet.
  bool Capturing() const { return capturing_; }
  bool Paused() const { return paused_; }
  // Why the file is paused.
  const std::error_code& Error() const { return error_; }
  // Bytes of a torn unit the last opening removed; reading clears it.
  std::uintmax_t TakeTornBytes() { return std::exchange(tornBytes_, 0); }
  CaptureUnit Unit() const { return unit_; }

 private:
  std::error_code OpenDescriptor();
  std::error_code WriteAll(FileWriter* writer);
  bool CutBack(std::error_code& error);
  Change Pause(const std::error_code& error);

  CaptureUnit unit_;
  std::string header_;
  std::filesystem::path name_;
  int descriptor_ = -1;
  bool capturing_ = false;
  std::string pending_;
  off_t committed_ = 0;     // the length that holds only whole frames and lines
  bool cutPending_ = false; // a cut back failed and is tried again first
  bool paused_ = false;
  std::error_code error_;
  std::uintmax_t tornBytes_ = 0;
};

}  // namespace vorlink
