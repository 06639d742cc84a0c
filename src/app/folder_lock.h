// One VORLINK per folder: two programs writing the same capture files, or
// one deleting the other's, lose frames. A running VORLINK holds the file
// "vorlink.lock" in its working folder and in its program folder; a second
// one that finds either held must leave both folders alone.
//
// The lock file holds three lines, the holder's process number, "vorlink"
// and its host name, and the holder keeps an flock() on it for the whole
// run. The kernel drops that flock when the holder dies however it dies, so
// on this host a lock file nobody has flocked is stale: left by a killed
// program, emptied by a power cut, or not even a file. It is taken over, and
// the taking over noted. A lock of another host cannot be checked from here
// and always holds.
//
// A lock file is made with O_EXCL and counts as held only once its maker has
// flocked it and seen it still in place; a stale one is removed only under
// its flock. So of two programs starting at once, at most one runs.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vorlink {

inline constexpr std::string_view kLockFileName = "vorlink.lock";

class FolderLock {
 public:
  // Takes the lock of each folder, once for a folder named twice. When one
  // cannot be taken, those taken so far are given back.
  explicit FolderLock(const std::vector<std::filesystem::path>& folders);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Why this program must not run here; empty when every folder is held.
  const std::string& Refusal() const { return refusal_; }
  // One line for each stale lock taken over.
  const std::vector<std::string>& TakenOver() const { return takenOver_; }

 private:
  struct Held {
    std::filesystem::path file;
    int descriptor;
  };
  void Take(const std::filesystem::path& folder);
  void ReleaseAll();

  std::vector<Held> held_;
  std::string refusal_;
  std::vector<std::string> takenOver_;
};

// "VORLINK is already running in this folder (process N)."
std::string AlreadyRunningText(long process);

}  // namespace vorlink
