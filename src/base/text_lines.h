// Reading a small text file as lines. CR LF, a lone LF and a lone CR all end
// a line, so files edited on any system read the same; the last line needs no
// line end. Lines keep every other byte and have no length limit.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlink {

// The lines of text, without their line ends. A line end at the very end
// does not start another (empty) line.
std::vector<std::string> SplitTextLines(std::string_view text);

// The lines of the file; nothing when it cannot be opened or read.
std::optional<std::vector<std::string>> ReadTextLines(const std::filesystem::path& file);

}  // namespace vorlink
