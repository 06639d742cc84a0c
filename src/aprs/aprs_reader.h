// The one bounds-checked way the APRS decoder reads an information field:
// a view with At() that answers 0 past the end, and the small number
// readers every report kind shares (digits, base 91).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "base/number_text.h"

namespace vorlink::aprs {

inline constexpr int kBase91First = 33;  // '!'
inline constexpr int kBase91Last = 123;  // '{'

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}
  explicit Reader(std::span<const std::uint8_t> bytes)
      : text_(reinterpret_cast<const char*>(bytes.data()), bytes.size()) {}

  std::size_t Size() const { return text_.size(); }
  char At(std::size_t i) const { return i < text_.size() ? text_[i] : '\0'; }
  // At most n characters from `from`; empty past the end.
  std::string_view Sub(std::size_t from, std::size_t n = std::string_view::npos) const {
    return from < text_.size() ? text_.substr(from, n) : std::string_view{};
  }
  bool Has(std::size_t from, std::size_t n) const {
    return from <= text_.size() && n <= text_.size() - from;
  }
  std::string_view Text() const { return text_; }

 private:
  std::string_view text_;
};

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
inline bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
inline bool IsBase91(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= kBase91First && u <= kBase91Last;
}

// A symbol table byte: primary, alternate, or an overlay digit or letter.
inline bool IsSymbolTable(char c) { return c == '/' || c == '\\' || IsUpper(c) || IsDigit(c); }

// Base 91, most significant first; none unless every character is base 91.
std::optional<long> Base91(std::string_view text);
// Every character a dot or a blank: a field present but not sent.
bool NotSent(std::string_view text);
// A timestamp of the three 7-character forms: DDHHMMz, DDHHMM/, HHMMSSh.
bool IsTimestamp(std::string_view text);
std::string_view TrimRight(std::string_view text);

}  // namespace vorlink::aprs
