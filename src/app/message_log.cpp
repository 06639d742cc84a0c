#include "app/message_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <system_error>

#include "base/utc.h"

namespace vorlink {
namespace {

// "yyyy-MM-dd HH:nn:ss" of a timestamp: whole seconds are enough for a log.
constexpr std::size_t kSecondsStampLength = 19;
constexpr std::string_view kStatusTimerText = " sec since last packet [";
constexpr std::string_view kLogLineEnd = "\r\n";

}  // namespace

bool WorthKeeping(std::string_view statusText) {
  return !statusText.empty() && statusText.find(kStatusTimerText) == std::string_view::npos;
}

void MessageLog::Add(const DateTime& utc, std::string_view text) {
  char stamp[kTimestampLength];
  FormatTimestamp(utc, stamp);
  Line line = std::string(stamp, kSecondsStampLength) + " " + std::string(text);
  if (lines_.size() == kMessagesKept) lines_.pop_front();
  lines_.push_back(line);
  Append(line);
  if (listener_) listener_(lines_.back());
}

void MessageLog::Append(const Line& line) {
  if (file_.empty()) return;
  const std::string bytes = line + std::string(kLogLineEnd);
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file_, error);
  if (!error && size + bytes.size() > kMessageFileLimit) {
    std::filesystem::path rotated = file_;
    rotated += kRotatedSuffix;
    std::filesystem::rename(file_, rotated, error);
  }
  // One write of the whole line in append mode: a line is there whole or not at all.
  const int fd = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  [[maybe_unused]] const ssize_t written = ::write(fd, bytes.data(), bytes.size());
  ::close(fd);
}

}  // namespace vorlink
