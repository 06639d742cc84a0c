// A session kept as text in the station folder, one file per session named
// after the remote station and the UTC minute it began,
// "<remote>_<ddmmyyyy_hhmm>.log" (a second session in the same minute
// appends to the same file). Lines are appended as they come, each with one
// write: a line is in the file whole or not at all. The operator's lines
// begin with "> ", the link's notes with "*** ". A session writes at most
// kSessionLogBytes, so a peer that talks for days cannot fill the disk.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/session_text.h"
#include "base/clock.h"
#include "decode/ax25_address.h"

namespace vorlink {

inline constexpr std::uintmax_t kSessionLogBytes = std::uintmax_t{16} << 20;
inline constexpr std::string_view kSessionLogExtension = ".log";
inline constexpr std::string_view kSentLinePrefix = "> ";

// "N0CALL-7_08122026_2341.log" for a session with N0CALL-7 begun then (UTC).
std::string SessionLogName(const Ax25Address& remote, const DateTime& utc);

// The line as the file holds it, without its line end.
std::string SessionLogLine(const SessionLine& line);

class SessionLog {
 public:
  explicit SessionLog(std::filesystem::path file) : file_(std::move(file)) {}

  // Appends the line and "\n". An error when it could not be written whole
  // (nothing of it stays then), or when the session wrote its bound.
  std::error_code Append(const SessionLine& line);
  const std::filesystem::path& File() const { return file_; }
  bool Full() const { return written_ >= kSessionLogBytes; }

 private:
  std::filesystem::path file_;
  std::uintmax_t written_ = 0;
};

}  // namespace vorlink
