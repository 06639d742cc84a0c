#include "app/session_text.h"

namespace vorlink {
namespace {

constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kTab = 0x09;
constexpr std::uint8_t kDelete = 0x7F;
constexpr std::uint8_t kFirstPrintable = 0x20;
constexpr std::uint8_t kFirstLatin1Printable = 0xA0;
constexpr char kControlShown = '.';

// The length of the UTF-8 sequence at bytes[at], 0 when none is there:
// no overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t Utf8SequenceAt(std::span<const std::uint8_t> bytes, std::size_t at) {
  const std::uint8_t lead = bytes[at];
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  std::uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > bytes.size()) return 0;
  if (bytes[at + 1] < low || bytes[at + 1] > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if ((bytes[at + k] & 0xC0) != 0x80) return 0;
  }
  return length;
}

bool ValidUtf8(std::span<const std::uint8_t> bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = Utf8SequenceAt(bytes, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

bool Control(std::uint8_t b) { return (b < kFirstPrintable && b != kTab) || b == kDelete; }

}  // namespace

std::string ReceivedLineText(std::span<const std::uint8_t> bytes) {
  std::string text;
  text.reserve(bytes.size());
  if (ValidUtf8(bytes)) {
    for (std::uint8_t b : bytes) text += Control(b) ? kControlShown : static_cast<char>(b);
    return text;
  }
  for (std::uint8_t b : bytes) {
    if (Control(b) || (b >= 0x80 && b < kFirstLatin1Printable)) {
      text += kControlShown;
    } else if (b < 0x80) {
      text += static_cast<char>(b);
    } else {
      text += static_cast<char>(0xC0 | (b >> 6));
      text += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return text;
}

void SessionText::Keep(SessionLine line, std::vector<SessionLine>& completed) {
  completed.push_back(line);
  if (lines_.size() == kSessionLinesKept) {
    lines_.pop_front();
    ++dropped_;
  }
  lines_.push_back(std::move(line));
}

void SessionText::EndPending(std::vector<SessionLine>& completed) {
  Keep({SessionRole::Received, ReceivedLineText(pending_)}, completed);
  pending_.clear();
}

void SessionText::AddReceived(std::span<const std::uint8_t> data,
                              std::vector<SessionLine>& completed) {
  for (std::uint8_t b : data) {
    const bool lfAfterCr = b == kLf && afterCr_;
    afterCr_ = b == kCr;
    if (lfAfterCr) continue;
    if (b == kCr || b == kLf) {
      EndPending(completed);
      continue;
    }
    pending_.push_back(b);
    if (pending_.size() == kSessionLineBytes) EndPending(completed);
  }
}

void SessionText::AddLine(SessionRole role, std::string text, std::vector<SessionLine>& completed) {
  EndReceivedLine(completed);
  Keep({role, std::move(text)}, completed);
}

void SessionText::EndReceivedLine(std::vector<SessionLine>& completed) {
  if (!pending_.empty()) EndPending(completed);
}

}  // namespace vorlink
