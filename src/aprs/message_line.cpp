#include "aprs/message_line.h"

#include "base/text.h"

namespace vorlink {
namespace {

constexpr std::string_view kIdDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::size_t kIdLength = 2;

bool IsPrintable(char c) { return c >= ' ' && c <= '~'; }

std::string Addressee(std::string_view addressee) {
  std::string line = ":";
  line += UpperCase(addressee.substr(0, kMessageAddresseeLength));
  line.resize(1 + kMessageAddresseeLength, ' ');
  line += ':';
  return line;
}

}  // namespace

std::optional<std::string> MessageTextProblem(std::string_view text) {
  if (text.empty()) return "the text is empty";
  if (text.size() > kMaxMessageTextLength) {
    return "the text has " + std::to_string(text.size()) + " characters, at most " +
           std::to_string(kMaxMessageTextLength) + " fit";
  }
  for (char c : text) {
    if (kForbiddenMessageCharacters.find(c) != std::string_view::npos) {
      return std::string("the text may not hold \"") + c + "\"";
    }
    if (!IsPrintable(c)) return "the text holds a character that is not printable ASCII";
  }
  return std::nullopt;
}

std::optional<std::string> AddresseeProblem(std::string_view addressee) {
  if (addressee.empty()) return "no addressee";
  const auto address = ParseCallsign(addressee);
  if (!address) return "\"" + std::string(addressee) + "\" is not a callsign (CALL or CALL-SSID)";
  bool digit = false;
  for (char c : address->callsign) digit = digit || (c >= '0' && c <= '9');
  if (!digit) return "\"" + std::string(addressee) + "\" is not a callsign: it holds no digit";
  return std::nullopt;
}

bool IsBulletinAddressee(std::string_view addressee) {
  if (addressee.size() != 4 || !addressee.starts_with("BLN")) return false;
  const char c = addressee[3];
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
}

std::string MessageLine(std::string_view addressee, std::string_view text, std::string_view id,
                        std::string_view replyAck) {
  std::string line = Addressee(addressee);
  line += text;
  line += '{';
  line += id;
  line += '}';
  line += replyAck;
  return line;
}

std::string AckLine(std::string_view addressee, std::string_view number) {
  return Addressee(addressee) + "ack" + std::string(number);
}

std::string BulletinLine(std::string_view addressee, std::string_view text) {
  return Addressee(addressee) + std::string(text);
}

std::string NextMessageId(std::string_view id) {
  std::string next(kIdLength, '0');
  std::size_t value = 0;
  for (char c : id.substr(0, kIdLength)) {
    const std::size_t digit = kIdDigits.find(UpperCase(c));
    value = value * kIdDigits.size() + (digit == std::string_view::npos ? 0 : digit);
  }
  const std::size_t count = kIdDigits.size() * kIdDigits.size();
  value = value + 1 >= count ? 1 : value + 1;
  next[1] = kIdDigits[value % kIdDigits.size()];
  next[0] = kIdDigits[value / kIdDigits.size()];
  return next;
}

std::string_view WithoutLineEnd(std::string_view text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
  return text;
}

bool SameCallsign(std::string_view a, std::string_view b) {
  a = Trimmed(a);
  b = Trimmed(b);
  const auto pa = ParseCallsign(a);
  const auto pb = ParseCallsign(b);
  if (pa && pb) return pa->SameStation(*pb);
  return SameLetters(a, b);
}

}  // namespace vorlink
