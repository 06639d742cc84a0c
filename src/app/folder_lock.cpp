#include "app/folder_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <optional>
#include <system_error>

#include "base/text_lines.h"

namespace vorlink {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProgramLine = "vorlink";
constexpr std::size_t kProcessLine = 0;
constexpr std::size_t kHostLine = 2;
constexpr std::size_t kLockLines = 3;
// Far more than three short lines; a bigger file is no lock of ours anyway.
constexpr std::size_t kMostLockBytes = 512;
// Process numbers stay below 2^22 on Linux; more digits are no process.
constexpr std::size_t kMostProcessDigits = 9;
// A stale lock removed and then a new one made needs two; a third covers a
// program racing us for the same folder.
constexpr int kMostRounds = 3;
constexpr mode_t kLockMode = 0644;

struct LockInfo {
  long process = 0;
  std::string host;
};

std::string SystemText(int error) { return std::system_category().message(error); }

std::string ThisHost() {
  char name[HOST_NAME_MAX + 1] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::string LockText() {
  return std::to_string(::getpid()) + "\n" + std::string(kProgramLine) + "\n" + ThisHost() + "\n";
}

std::optional<LockInfo> ParseLock(std::string_view text) {
  const std::vector<std::string> lines = SplitTextLines(text);
  if (lines.size() < kLockLines) return std::nullopt;
  const std::string& process = lines[kProcessLine];
  if (process.empty() || process.size() > kMostProcessDigits ||
      !std::all_of(process.begin(), process.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  LockInfo info{std::stol(process), lines[kHostLine]};
  if (info.process <= 0) return std::nullopt;
  return info;
}

std::string ReadHead(int descriptor) {
  char buffer[kMostLockBytes];
  const ssize_t read = ::pread(descriptor, buffer, sizeof buffer, 0);
  return read > 0 ? std::string(buffer, static_cast<std::size_t>(read)) : std::string();
}

bool WriteAll(int descriptor, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(descriptor, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// The open file is still the one at its name: nobody removed or replaced it.
bool StillThere(int descriptor, const fs::path& file) {
  struct stat open {};
  struct stat named {};
  return ::fstat(descriptor, &open) == 0 && ::lstat(file.c_str(), &named) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// Whether nobody holds the lock. A file system without flock (some network
// mounts) leaves only the question whether the process it names lives.
bool NobodyHolds(int descriptor, const std::optional<LockInfo>& info) {
  if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) return true;
  if (errno == EWOULDBLOCK) return false;
  return !info || (::kill(static_cast<pid_t>(info->process), 0) != 0 && errno == ESRCH);
}

std::string StaleText(const fs::path& file, std::string_view text,
                      const std::optional<LockInfo>& info) {
  if (text.empty()) return file.string() + " was empty: taken over";
  if (!info) return file.string() + " named no process: taken over";
  return file.string() + " was left by process " + std::to_string(info->process) +
         ", which has ended: taken over";
}

std::string HeldText(const std::optional<LockInfo>& info, const std::string& thisHost) {
  if (!info) return "VORLINK is already running in this folder.";
  if (info->host != thisHost) {
    return "VORLINK is already running in this folder on host " + info->host + " (process " +
           std::to_string(info->process) + ").";
  }
  return AlreadyRunningText(info->process);
}

// Taken in one order by every program, so two starting at once cannot each
// hold one folder the other needs.
std::vector<fs::path> DistinctFolders(const std::vector<fs::path>& folders) {
  std::vector<fs::path> distinct;
  for (const auto& folder : folders) {
    std::error_code error;
    fs::path canonical = fs::weakly_canonical(folder, error);
    if (error) canonical = folder;
    distinct.push_back(canonical);
  }
  std::sort(distinct.begin(), distinct.end());
  distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
  return distinct;
}

enum class Look { kAgain, kRefused };

// A lock file made by us a moment ago: ours once flocked, filled and still
// in place. Empty refusal and false: someone looked at it meanwhile; again.
bool Claim(int descriptor, const fs::path& file, std::string& refusal) {
  if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) return false;
  if (!WriteAll(descriptor, LockText())) {
    refusal = "cannot write " + file.string() + ": " + SystemText(errno);
    if (StillThere(descriptor, file)) ::unlink(file.c_str());
    return false;
  }
  return StillThere(descriptor, file);
}

// The lock file found in place: held (a refusal), or stale and removed.
Look Inspect(const fs::path& file, std::string& refusal, std::vector<std::string>& takenOver) {
  struct stat found {};
  if (::lstat(file.c_str(), &found) != 0) {
    if (errno == ENOENT) return Look::kAgain;
    refusal = "cannot read " + file.string() + ": " + SystemText(errno);
    return Look::kRefused;
  }
  if (!S_ISREG(found.st_mode)) {
    // Only an empty folder goes: whatever an operator put in one stays.
    std::error_code error;
    fs::remove(file, error);
    if (error) {
      refusal = "cannot take over " + file.string() + ", which is not a file: " + error.message();
      return Look::kRefused;
    }
    takenOver.push_back(file.string() + " was not a file: taken over");
    return Look::kAgain;
  }
  const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (descriptor < 0) {
    if (errno == ENOENT) return Look::kAgain;
    refusal = "cannot read " + file.string() + ": " + SystemText(errno);
    return Look::kRefused;
  }
  const std::string text = ReadHead(descriptor);
  const std::optional<LockInfo> info = ParseLock(text);
  const std::string thisHost = ThisHost();
  Look look = Look::kAgain;
  if ((info && info->host != thisHost) || !NobodyHolds(descriptor, info)) {
    refusal = HeldText(info, thisHost);
    look = Look::kRefused;
  } else if (StillThere(descriptor, file)) {
    if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
      refusal = "cannot take over " + file.string() + ": " + SystemText(errno);
      look = Look::kRefused;
    } else {
      takenOver.push_back(StaleText(file, text, info));
    }
  }
  ::close(descriptor);
  return look;
}

}  // namespace

FolderLock::FolderLock(const std::vector<fs::path>& folders) {
  for (const auto& folder : DistinctFolders(folders)) {
    Take(folder);
    if (!refusal_.empty()) {
      // Folders taken so far are given back at once.
      ReleaseAll();
      return;
    }
  }
}

FolderLock::~FolderLock() { ReleaseAll(); }

void FolderLock::Take(const fs::path& folder) {
  const fs::path file = folder / kLockFileName;
  for (int round = 0; round < kMostRounds; ++round) {
    const int descriptor =
        ::open(file.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, kLockMode);
    if (descriptor >= 0) {
      if (Claim(descriptor, file, refusal_)) {
        held_.push_back({file, descriptor});
        return;
      }
      ::close(descriptor);
      if (!refusal_.empty()) return;
      continue;
    }
    if (errno != EEXIST) {
      refusal_ = "cannot make " + file.string() + ": " + SystemText(errno);
      return;
    }
    if (Inspect(file, refusal_, takenOver_) == Look::kRefused) return;
  }
  refusal_ = "cannot make " + file.string() + ": another program keeps making it";
}

void FolderLock::ReleaseAll() {
  for (const Held& held : held_) {
    // Removed while still flocked, so nobody takes it over in between.
    if (StillThere(held.descriptor, held.file)) ::unlink(held.file.c_str());
    ::close(held.descriptor);
  }
  held_.clear();
}

std::string AlreadyRunningText(long process) {
  return "VORLINK is already running in this folder (process " + std::to_string(process) + ").";
}

}  // namespace vorlink
