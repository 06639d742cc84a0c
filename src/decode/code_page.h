// The single-byte code page of the character line (Windows-1252), as UTF-8.
// The table is here, not in a source file, so that the character line's own
// table can be built from it at compile time.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vorlink {

namespace code_page {

inline constexpr char32_t kUndefined = 0;

// Windows-1252 0x80..0x9F; the rest of 0xA0..0xFF is Latin-1.
inline constexpr std::array<char32_t, 32> kHighControls{
    0x20AC, kUndefined, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030,     0x0160, 0x2039, 0x0152, kUndefined, 0x017D, kUndefined,
    kUndefined, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122,     0x0161, 0x203A, 0x0153, kUndefined, 0x017E, 0x0178};

constexpr char32_t CodePoint(unsigned byte) {
  if (byte == 0x7F) return kUndefined;
  // A soft hyphen is drawn as nothing by most fonts; show a plain one.
  if (byte == 0xAD) return U'-';
  if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
  return byte;
}

// Up to three bytes of UTF-8, and one spare so that a copy may take all four.
struct Encoded {
  char bytes[4]{};
  std::uint8_t length = 0;
};

constexpr Encoded Encode(char32_t cp) {
  Encoded e;
  if (cp < 0x80) {
    e.bytes[0] = static_cast<char>(cp);
    e.length = 1;
  } else if (cp < 0x800) {
    e.bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
    e.bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
    e.length = 2;
  } else {
    e.bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
    e.bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    e.bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
    e.length = 3;
  }
  return e;
}

inline constexpr std::array<Encoded, 256> kTable = [] {
  std::array<Encoded, 256> table{};
  for (unsigned b = 0; b < 256; ++b) {
    const char32_t cp = CodePoint(b);
    table[b] = cp == kUndefined ? Encode(0xFFFD) : Encode(cp);
  }
  return table;
}();

}  // namespace code_page

// The character for a byte of 0x20 or more, as UTF-8. Bytes below 0x20 are
// the caller's business (the character line shows them as ".").
constexpr std::string_view CodePageCharacter(std::uint8_t byte) {
  const code_page::Encoded& e = code_page::kTable[byte];
  return {e.bytes, e.length};
}

}  // namespace vorlink
