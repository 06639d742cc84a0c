// The single-byte code page of the character line (Windows-1252), as UTF-8.
#pragma once

#include <cstdint>
#include <string_view>

namespace vorlink {

// The character for a byte of 0x20 or more, as UTF-8. Bytes below 0x20 are
// the caller's business (the character line shows them as ".").
std::string_view CodePageCharacter(std::uint8_t byte);

}  // namespace vorlink
