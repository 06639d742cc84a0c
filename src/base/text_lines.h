// Reading a small text file as lines. CR LF, a lone LF and a lone CR all end
// a line, so files edited on any system read the same; the last line needs no
// line end. Lines keep every other byte. A file is read only up to a limit
// its reader gives, so a huge file (or a device) in its place costs no more.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace vorlink {

// The lines of text, without their line ends. A line end at the very end
// does not start another (empty) line.
std::vector<std::string> SplitTextLines(std::string_view text);

struct TextFile {
  std::vector<std::string> lines;
  // The file goes on past the limit: the lines are those that ended before
  // it, and a line cut by it is left out.
  bool cut = false;
  // Why the file could not be read (no_such_file_or_directory when it is
  // missing); then there are no lines.
  std::error_code error;
};

// The lines in the first `limit` bytes of the file.
TextFile ReadTextFile(const std::filesystem::path& file, std::size_t limit);

// "vorlink.ini: Permission denied": the name and the system's reason, or
// empty when the file reads or is simply missing.
std::string ReadProblem(std::string_view name, const std::error_code& error);

}  // namespace vorlink
