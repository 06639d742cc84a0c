// One VORLINK per folder: two programs writing the same capture files, or
// one deleting the other's, lose frames. A running VORLINK holds the file
// "vorlink.lock" in its working folder and in its program folder; a second
// one that finds either held must leave both folders alone. A lock left by a
// program that was killed names a process that no longer exists and is taken
// over.
#pragma once

#include <QLockFile>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorlink {

inline constexpr const char* kLockFileName = "vorlink.lock";

class FolderLock {
 public:
  // Takes the lock of each folder, once for a folder named twice. A folder
  // where no lock file can be made (read-only) is not held against anyone.
  explicit FolderLock(const std::vector<std::filesystem::path>& folders);

  // The process of the running VORLINK that holds one of the folders.
  std::optional<qint64> Holder() const { return holder_; }

 private:
  std::vector<std::unique_ptr<QLockFile>> locks_;
  std::optional<qint64> holder_;
};

// "VORLINK is already running in this folder (process N)."
std::string AlreadyRunningText(qint64 process);

}  // namespace vorlink
