#include "base/text_lines.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vorlink {
namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr std::size_t kReadChunk = 4096;

}  // namespace

std::vector<std::string> SplitTextLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c != kCr && c != kLf) {
      ++i;
      continue;
    }
    lines.emplace_back(text.substr(start, i - start));
    // CR LF is one line end, not a line end and an empty line.
    i += (c == kCr && i + 1 < text.size() && text[i + 1] == kLf) ? 2 : 1;
    start = i;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

TextFile ReadTextFile(const std::filesystem::path& file, std::size_t limit) {
  TextFile read;
  // Not blocking: a pipe of that name with nobody writing reads as empty.
  const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (descriptor < 0) {
    read.error = std::error_code(errno, std::system_category());
    return read;
  }
  // One byte past the limit tells whether the file goes on.
  std::string text;
  char chunk[kReadChunk];
  while (text.size() <= limit) {
    const std::size_t wanted = std::min(sizeof chunk, limit + 1 - text.size());
    const ssize_t got = ::read(descriptor, chunk, wanted);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      // A folder of that name opens and then fails here.
      read.error = std::error_code(errno, std::system_category());
      ::close(descriptor);
      return read;
    }
    if (got == 0) break;
    text.append(chunk, static_cast<std::size_t>(got));
  }
  ::close(descriptor);
  if (text.size() > limit) {
    read.cut = true;
    text.resize(limit);
    const std::size_t lastEnd = text.find_last_of("\r\n");
    text.resize(lastEnd == std::string::npos ? 0 : lastEnd + 1);
  }
  read.lines = SplitTextLines(text);
  return read;
}

std::string ReadProblem(std::string_view name, const std::error_code& error) {
  if (!error || error == std::errc::no_such_file_or_directory) return {};
  return std::string(name) + ": " + error.message();
}

}  // namespace vorlink
