#include "capture/capture_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vorlink {
namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

}  // namespace

bool CaptureFile::Open(const std::filesystem::path& name) {
  Close(nullptr);
  name_ = name;
  // Appending: a second start in the same minute must not empty the first's files.
  descriptor_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (descriptor_ < 0) return false;
  struct stat info {};
  committed_ = ::fstat(descriptor_, &info) == 0 ? info.st_size : 0;
  pending_.reserve(kWriteAt);
  return true;
}

void CaptureFile::Close(FileWriter* writer) {
  if (descriptor_ < 0) return;
  Commit(writer);
  if (cutPending_) {
    std::error_code ignored;
    CutBack(ignored);
  }
  ::close(descriptor_);
  descriptor_ = -1;
  pending_.clear();
  paused_ = false;
  cutPending_ = false;
  error_.clear();
}

void CaptureFile::Append(std::span<const std::uint8_t> bytes) {
  if (descriptor_ < 0) return;
  pending_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void CaptureFile::Append(std::string_view text) {
  if (descriptor_ < 0) return;
  pending_.append(text);
}

CaptureFile::Change CaptureFile::Commit(FileWriter* writer) {
  if (descriptor_ < 0 || pending_.empty()) return Change::kNone;
  const bool wasPaused = paused_;
  std::error_code error;
  // Nothing goes after a torn tail that could not be cut off yet.
  if (!cutPending_ || CutBack(error)) error = WriteAll(writer);
  if (!error) {
    committed_ += static_cast<off_t>(pending_.size());
    pending_.clear();
    paused_ = false;
    error_.clear();
    return wasPaused ? Change::kResumed : Change::kNone;
  }
  pending_.clear();
  std::error_code cutError;
  CutBack(cutError);
  paused_ = true;
  error_ = error;
  return wasPaused ? Change::kNone : Change::kPaused;
}

std::error_code CaptureFile::WriteAll(FileWriter* writer) {
  const auto* at = reinterpret_cast<const std::uint8_t*>(pending_.data());
  std::size_t left = pending_.size();
  while (left > 0) {
    const ssize_t written = writer != nullptr ? writer->Write(descriptor_, {at, left})
                                              : ::write(descriptor_, at, left);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return LastError();
    if (written == 0) return std::make_error_code(std::errc::io_error);
    at += written;
    left -= static_cast<std::size_t>(written);
  }
  return {};
}

bool CaptureFile::CutBack(std::error_code& error) {
  cutPending_ = ::ftruncate(descriptor_, committed_) != 0;
  if (cutPending_) error = LastError();
  return !cutPending_;
}

}  // namespace vorlink
