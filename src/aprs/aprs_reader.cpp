#include "aprs/aprs_reader.h"

namespace vorlink::aprs {
namespace {

constexpr int kBase91Radix = 91;
// More than this many base-91 digits would overflow a long: no field has them.
constexpr std::size_t kMaxBase91Digits = 8;

}  // namespace

std::optional<long> Base91(std::string_view text) {
  if (text.empty() || text.size() > kMaxBase91Digits) return std::nullopt;
  long value = 0;
  for (char c : text) {
    if (!IsBase91(c)) return std::nullopt;
    value = value * kBase91Radix + (static_cast<unsigned char>(c) - kBase91First);
  }
  return value;
}

bool NotSent(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c != '.' && c != ' ') return false;
  }
  return true;
}

bool IsTimestamp(std::string_view text) {
  if (text.size() != 7 || !Digits(text.substr(0, 6))) return false;
  return text[6] == 'z' || text[6] == '/' || text[6] == 'h';
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace vorlink::aprs
