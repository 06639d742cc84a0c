// Every status text the program shows, kept with its UTC time: the status
// line is overwritten every second, so a port event, a time server result or
// a paused capture would otherwise be gone before anyone reads it. The last
// 10,000 are kept in memory for the messages window, and each is appended to
// vorlink.log as one line, UTC time first, CR LF after it; at 1 MiB the file
// becomes vorlink.log.1 (replacing the one before) and a new one begins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "base/clock.h"

namespace vorlink {

inline constexpr std::size_t kMessagesKept = 10000;
inline constexpr std::uintmax_t kMessageFileLimit = std::uintmax_t{1} << 20;
inline constexpr std::string_view kMessageFileName = "vorlink.log";
inline constexpr std::string_view kRotatedSuffix = ".1";

// The refresh the status timer writes every second ("12 sec since last
// packet [3]") would flood the log, and the empty text is no message.
bool WorthKeeping(std::string_view statusText);

class MessageLog {
 public:
  // "2010-11-28 14:03:12 COM 1 lost at 14:03:12 UTC": one entry, as shown and written.
  using Line = std::string;
  using Listener = std::function<void(const Line&)>;

  // The file the entries are appended to; none until set.
  void SetFile(std::filesystem::path file) { file_ = std::move(file); }
  // Called with each new entry (the messages window, while open).
  void SetListener(Listener listener) { listener_ = std::move(listener); }

  void Add(const DateTime& utc, std::string_view text);
  // Oldest first.
  const std::deque<Line>& Lines() const { return lines_; }

 private:
  void Append(const Line& line);

  std::deque<Line> lines_;
  std::filesystem::path file_;
  Listener listener_;
};

}  // namespace vorlink
