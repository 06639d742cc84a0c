// The single-byte code page of the character line (Windows-1252), as UTF-8.
#pragma once

#include <cstdint>
#include <string_view>

namespace vorlink {

// Shown for the code page's bytes that have no printable character (0x7F,
// 0x81, 0x8D, 0x8F, 0x90, 0x9D), so that the dump columns still line up.
inline constexpr std::string_view kNoCharacter = "\xEF\xBF\xBD";  // U+FFFD

// The character for a byte of 0x20 or more, as UTF-8. Bytes below 0x20 are
// the caller's business (the character line shows them as ".").
std::string_view CodePageCharacter(std::uint8_t byte);

}  // namespace vorlink
