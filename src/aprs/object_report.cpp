#include "aprs/object_report.h"

#include "aprs/beacon_text.h"
#include "base/text.h"

namespace vorlink {
namespace {

constexpr char kObjectIdentifier = ';';
constexpr char kAlive = '*';
constexpr char kKilled = '_';
constexpr char kZulu = 'z';

void AppendTwoDigits(std::string& out, int value) {
  out += static_cast<char>('0' + value / 10 % 10);
  out += static_cast<char>('0' + value % 10);
}

}  // namespace

std::optional<std::string> ObjectName(std::string_view typed) {
  const std::string_view name = Trimmed(typed);
  if (name.empty() || name.size() > kMaxObjectName) return std::nullopt;
  for (const char c : name) {
    if (c < ' ' || c >= '\x7F') return std::nullopt;
  }
  return std::string(name);
}

std::string ObjectInfo(const OwnObject& object, bool alive, const DateTime& utc) {
  std::string info(1, kObjectIdentifier);
  info += object.name.substr(0, kMaxObjectName);
  info.append(kMaxObjectName - std::min(object.name.size(), kMaxObjectName), ' ');
  info += alive ? kAlive : kKilled;
  AppendTwoDigits(info, utc.day);
  AppendTwoDigits(info, utc.hour);
  AppendTwoDigits(info, utc.minute);
  info += kZulu;
  info += PositionField(object.position, object.symbol, false);
  info += BeaconComment(object.comment);
  return info;
}

}  // namespace vorlink
