#include "app/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace vorlink {
namespace {

constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask
constexpr mode_t kPermissionBits = 07777;

std::error_code LastError() { return {errno, std::generic_category()}; }

// A name that no other process writing the same file would choose.
std::filesystem::path TemporaryNameFor(const std::filesystem::path& file) {
  std::filesystem::path temporary = file;
  temporary += "." + std::to_string(::getpid()) + ".tmp";
  return temporary;
}

std::error_code WriteWhole(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

// The new content, safely on the disk under the temporary name.
std::error_code WriteTemporary(const std::filesystem::path& temporary, std::string_view content,
                               const struct stat* old) {
  // A leftover of a killed process that had the same number.
  ::unlink(temporary.c_str());
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
  if (fd < 0) return LastError();
  std::error_code error = WriteWhole(fd, content);
  if (!error && old != nullptr && ::fchmod(fd, old->st_mode & kPermissionBits) != 0) {
    error = LastError();
  }
  if (!error && ::fsync(fd) != 0) error = LastError();
  if (::close(fd) != 0 && !error) error = LastError();
  return error;
}

// So that the rename itself survives a power cut.
void SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::error_code ReplaceFileWhole(const std::filesystem::path& file, std::string_view content) {
  std::error_code error;
  std::filesystem::path target = file;
  // Not finding the file is no error here: it is about to be made.
  if (std::filesystem::symlink_status(file, error).type() == std::filesystem::file_type::symlink) {
    target = std::filesystem::canonical(file, error);
    if (error) return error;
  }

  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && ::access(target.c_str(), W_OK) != 0) return LastError();

  const std::filesystem::path temporary = TemporaryNameFor(target);
  error = WriteTemporary(temporary, content, exists ? &old : nullptr);
  if (!error && ::rename(temporary.c_str(), target.c_str()) != 0) error = LastError();
  if (error) {
    ::unlink(temporary.c_str());
    return error;
  }
  SyncFolder(target.parent_path());
  return {};
}

}  // namespace vorlink
