#include "ui/folder_lock.h"

#include <algorithm>
#include <system_error>

namespace vorlink {
namespace {

// Taken in one order by every program, so two starting at once cannot each
// hold one folder the other needs.
std::vector<std::filesystem::path> DistinctFolders(const std::vector<std::filesystem::path>& folders) {
  std::vector<std::filesystem::path> distinct;
  for (const auto& folder : folders) {
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(folder, error);
    if (error) canonical = folder;
    distinct.push_back(canonical);
  }
  std::sort(distinct.begin(), distinct.end());
  distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
  return distinct;
}

}  // namespace

FolderLock::FolderLock(const std::vector<std::filesystem::path>& folders) {
  for (const auto& folder : DistinctFolders(folders)) {
    auto lock = std::make_unique<QLockFile>(QString::fromStdString((folder / kLockFileName).string()));
    // Held for the whole run, however long: only a dead holder makes it stale.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
      locks_.push_back(std::move(lock));
      continue;
    }
    if (lock->error() != QLockFile::LockFailedError) continue;
    qint64 process = 0;
    QString host;
    QString application;
    lock->getLockInfo(&process, &host, &application);
    holder_ = process;
    // Folders taken so far are given back at once.
    locks_.clear();
    return;
  }
}

std::string AlreadyRunningText(qint64 process) {
  return "VORLINK is already running in this folder (process " + std::to_string(process) + ").";
}

}  // namespace vorlink
