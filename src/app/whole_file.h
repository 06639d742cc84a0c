// Replacing a small file whole or not at all: the new content goes to a
// temporary file beside it, is flushed to the disk, and is then renamed over
// the old file. A crash or a full disk at any moment leaves either the old
// file or the new one, never an empty or a cut one, and no temporary file.
#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace vorlink {

// Replaces file with content. A file that exists but may not be written is
// left alone, as a plain rewrite would leave it; its permissions carry over
// to the new file. A link is followed, so the file it names is replaced.
std::error_code ReplaceFileWhole(const std::filesystem::path& file, std::string_view content);

}  // namespace vorlink
