#include "capture/capture_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

namespace vorlink {
namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

}  // namespace

CaptureFile::Change CaptureFile::Open(const std::filesystem::path& name) {
  Close(nullptr);
  name_ = name;
  capturing_ = true;
  pending_.reserve(kWriteAt);
  if (const std::error_code error = OpenDescriptor()) return Pause(error);
  return Change::kNone;
}

std::error_code CaptureFile::OpenDescriptor() {
  // Appending: a second start in the same minute must not empty the first's
  // files. Read as well, to find where their whole units end.
  descriptor_ = ::open(name_.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (descriptor_ < 0) return LastError();
  struct stat info {};
  std::optional<off_t> whole;
  if (::fstat(descriptor_, &info) == 0) whole = WholeLength(descriptor_, info.st_size, unit_);
  if (whole && *whole < info.st_size && ::ftruncate(descriptor_, *whole) != 0) whole.reset();
  if (!whole) {
    const std::error_code error = LastError();
    ::close(descriptor_);
    descriptor_ = -1;
    return error;
  }
  tornBytes_ = static_cast<std::uintmax_t>(info.st_size - *whole);
  committed_ = *whole;
  return {};
}

void CaptureFile::Close(FileWriter* writer) {
  if (!capturing_) return;
  Commit(writer);
  if (cutPending_) {
    std::error_code ignored;
    CutBack(ignored);
  }
  if (descriptor_ >= 0) ::close(descriptor_);
  descriptor_ = -1;
  capturing_ = false;
  pending_.clear();
  paused_ = false;
  cutPending_ = false;
  error_.clear();
}

void CaptureFile::Append(std::span<const std::uint8_t> bytes) {
  if (!capturing_) return;
  pending_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void CaptureFile::Append(std::string_view text) {
  if (!capturing_) return;
  pending_.append(text);
}

CaptureFile::Change CaptureFile::Commit(FileWriter* writer) {
  if (!capturing_ || pending_.empty()) return Change::kNone;
  const bool wasPaused = paused_;
  std::error_code error;
  if (descriptor_ < 0) error = OpenDescriptor();
  if (!error && committed_ == 0 && !header_.empty()) pending_.insert(0, header_);
  // Nothing goes after a torn tail that could not be cut off yet.
  if (!error && (!cutPending_ || CutBack(error))) error = WriteAll(writer);
  if (error) {
    pending_.clear();
    std::error_code cutError;
    if (descriptor_ >= 0) CutBack(cutError);
    const Change change = Pause(error);
    return wasPaused ? Change::kNone : change;
  }
  committed_ += static_cast<off_t>(pending_.size());
  pending_.clear();
  paused_ = false;
  error_.clear();
  return wasPaused ? Change::kResumed : Change::kNone;
}

CaptureFile::Change CaptureFile::Pause(const std::error_code& error) {
  paused_ = true;
  error_ = error;
  return Change::kPaused;
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
