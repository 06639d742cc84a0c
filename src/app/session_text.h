// What a session window shows of one link, kept as lines: the text the
// peer sent (CR ends a line, an LF right after a CR adds nothing, a lone LF
// ends one too), the lines the operator sent, and the notes of the link
// (connected, disconnected). Bounded: at most kSessionLinesKept lines, the
// oldest dropped; a received line is broken at kSessionLineBytes, so a peer
// that never sends CR cannot grow the line it is on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorlink {

inline constexpr std::size_t kSessionLinesKept = 5000;
inline constexpr std::size_t kSessionLineBytes = 2048;

enum class SessionRole { Received, Sent, Note };

struct SessionLine {
  SessionRole role = SessionRole::Received;
  std::string text;  // UTF-8

  friend bool operator==(const SessionLine&, const SessionLine&) = default;
};

// The bytes of one received line as UTF-8: as they are when they are valid
// UTF-8, else each byte as its Latin-1 character. Control characters other
// than TAB show as ".", as in the frame pane.
std::string ReceivedLineText(std::span<const std::uint8_t> bytes);

class SessionText {
 public:
  // The peer's data; the lines it completed are appended to completed.
  void AddReceived(std::span<const std::uint8_t> data, std::vector<SessionLine>& completed);
  // A whole line of the operator's or of the link. A received line not yet
  // ended is ended first, so the lines stay in the order they came.
  void AddLine(SessionRole role, std::string text, std::vector<SessionLine>& completed);
  // Ends the received line not yet ended, if any (the link went down).
  void EndReceivedLine(std::vector<SessionLine>& completed);

  // The lines kept, oldest first; the first is line FirstNumber() of the session.
  const std::deque<SessionLine>& Lines() const { return lines_; }
  std::uint64_t FirstNumber() const { return dropped_; }
  std::uint64_t EndNumber() const { return dropped_ + lines_.size(); }
  // The received line not yet ended (a prompt waits without CR), as UTF-8.
  std::string PendingText() const { return ReceivedLineText(pending_); }

 private:
  void Keep(SessionLine line, std::vector<SessionLine>& completed);
  void EndPending(std::vector<SessionLine>& completed);

  std::deque<SessionLine> lines_;
  std::uint64_t dropped_ = 0;
  std::vector<std::uint8_t> pending_;
  bool afterCr_ = false;
};

}  // namespace vorlink
