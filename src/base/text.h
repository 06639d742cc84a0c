// Small text helpers every layer uses: hexadecimal and decimal digits
// appended in place (no allocation on the per-frame path), ASCII upper case,
// the words flags are stored as, and received bytes as display text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlink {

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// The words a flag is stored as; compared exactly, so "True" is not on.
inline constexpr std::string_view kFlagTrue = "true";
inline constexpr std::string_view kFlagFalse = "false";
constexpr std::string_view FlagWord(bool on) { return on ? kFlagTrue : kFlagFalse; }

// Two upper-case hex digits: 0x0A gives "0A".
void AppendHexByte(std::string& out, std::uint8_t value);

// Any value; the inline one below spares the common small ones a call.
void AppendLongDecimal(std::string& out, long long value);

inline void AppendDecimal(std::string& out, long long value) {
  // Nearly every number a frame shows (lengths, control bytes, SSIDs, dump
  // line numbers) is below 1000: spare them the general conversion.
  constexpr long long kThreeDigits = 1000;
  if (value < 0 || value >= kThreeDigits) {
    AppendLongDecimal(out, value);
    return;
  }
  const auto digit = [](long long d) { return static_cast<char>('0' + d); };
  if (value >= 100) out += digit(value / 100);
  if (value >= 10) out += digit(value / 10 % 10);
  out += digit(value % 10);
}

// ASCII letters only: the texts are single-byte and other bytes stay as they are.
constexpr char UpperCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
std::string UpperCase(std::string_view text);
// Equal but for the case of ASCII letters.
bool SameLetters(std::string_view a, std::string_view b);

// Received bytes (a comment, a message, a name) as the UTF-8 every list and
// the map show: Latin-1 above 0x7F, control bytes and DEL as ".", so that no
// byte breaks a cell or a label and an \xE9 reads as e-acute everywhere.
void AppendDisplayText(std::string& out, std::string_view bytes);
std::string DisplayText(std::string_view bytes);

// Without the blanks and tabs at either end.
std::string_view Trimmed(std::string_view text);

}  // namespace vorlink
