#include "text_output.h"

#include <cerrno>
#include <cstring>

namespace vorlink {

void TextOutput::Append(std::string_view text) {
  while (!text.empty()) {
    const std::span<char> room = Room(text.size());
    std::memcpy(room.data(), text.data(), room.size());
    Commit(room.size());
    text.remove_prefix(room.size());
  }
}

bool TextOutput::WriteBlock() {
  // After a failure the text is dropped: the run is ending anyway.
  if (errorNumber_ == 0 && used_ > 0) {
    errno = 0;
    if (std::fwrite(block_.data(), 1, used_, out_) != used_) errorNumber_ = errno ? errno : EIO;
  }
  used_ = 0;
  return errorNumber_ == 0;
}

bool TextOutput::Flush() {
  if (!WriteBlock()) return false;
  errno = 0;
  if (std::fflush(out_) != 0 || std::ferror(out_) != 0) errorNumber_ = errno ? errno : EIO;
  return errorNumber_ == 0;
}

std::string TextOutput::Error() const { return std::strerror(errorNumber_); }

}  // namespace vorlink
