#include "app/session_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "capture/capture_name.h"

namespace vorlink {
namespace {

constexpr std::string_view kNotePrefix = "*** ";

std::error_code LastSystemError() { return {errno, std::system_category()}; }

// Writes all of bytes to fd, retrying what a signal cut short.
std::error_code WriteLine(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return LastSystemError();
    if (written == 0) return std::make_error_code(std::errc::io_error);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

}  // namespace

std::string SessionLogName(const Ax25Address& remote, const DateTime& utc) {
  return CallsignText(remote) + "_" + CaptureStamp(utc) + std::string(kSessionLogExtension);
}

std::string SessionLogLine(const SessionLine& line) {
  switch (line.role) {
    case SessionRole::Sent:
      return std::string(kSentLinePrefix) + line.text;
    case SessionRole::Note:
      return std::string(kNotePrefix) + line.text;
    case SessionRole::Received:
      break;
  }
  return line.text;
}

std::error_code SessionLog::Append(const SessionLine& line) {
  const std::string bytes = SessionLogLine(line) + "\n";
  if (written_ + bytes.size() > kSessionLogBytes) {
    written_ = kSessionLogBytes;
    return std::make_error_code(std::errc::file_too_large);
  }
  const int fd = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return LastSystemError();
  const off_t before = ::lseek(fd, 0, SEEK_END);
  std::error_code error = WriteLine(fd, bytes);
  // A line cut short by a full disk is taken back, so the file never ends mid-line.
  if (error && before >= 0) {
    [[maybe_unused]] const int cut = ::ftruncate(fd, before);
  }
  if (::close(fd) != 0 && !error) error = LastSystemError();
  if (!error) written_ += bytes.size();
  return error;
}

}  // namespace vorlink
