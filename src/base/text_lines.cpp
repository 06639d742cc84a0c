#include "base/text_lines.h"

#include <fstream>

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

std::optional<std::vector<std::string>> ReadTextLines(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  // read() turns a failing device (a folder of that name, say) into badbit
  // instead of letting the buffer's exception escape.
  std::string text;
  char chunk[kReadChunk];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    text.append(chunk, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;
  return SplitTextLines(text);
}

}  // namespace vorlink
