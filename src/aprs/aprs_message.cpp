// Messages and what shares their layout: acks and rejects, bulletins,
// announcements, NWS bulletins, telemetry definitions and directed queries.
//
//   :AAAAAAAAA:text{MM        addressee padded to nine characters
//   :AAAAAAAAA:text{MM}AA     the same with a reply-ack, AA may be empty
//   :AAAAAAAAA:ackMM  rejMM   (ackMM}AA as well)
//   :BLNn     :text           bulletin n (a digit), :BLNnGROUP: to a group
//   :BLNx     :text           announcement x (a letter)
//   :NWS-WARN :text           NWS bulletin
//   :N0CALL   :PARM.a,b,...   telemetry names, UNIT. EQNS. alike
//   :N0CALL   :BITS.bbbbbbbb,title   the bit sense and the project title
//   :N0CALL   :?APRSP         a query to one station
#include "aprs/aprs_parts.h"

namespace vorlink::aprs {
namespace {

constexpr std::size_t kAddresseeLength = 9;
constexpr std::size_t kTextStart = 11;  // after ":AAAAAAAAA:"
constexpr std::size_t kMaxMessageNumber = 5;
constexpr std::size_t kBitCount = 8;
constexpr std::array<std::string_view, 4> kTelemetryKinds{"PARM.", "UNIT.", "EQNS.", "BITS."};

bool IsAlnum(char c) { return IsDigit(c) || IsUpper(c) || IsLower(c); }
bool AllAlnum(std::string_view text) {
  for (char c : text) {
    if (!IsAlnum(c)) return false;
  }
  return true;
}

// "MM" or "MM}AA" into number and reply-ack.
bool SplitNumber(std::string_view text, AprsMessage& m) {
  const std::size_t brace = text.find('}');
  m.number = text.substr(0, brace);
  if (brace != std::string_view::npos) {
    m.replyAck = text.substr(brace + 1);
    m.replyAckCapable = true;
  }
  return !m.number.empty() && m.number.size() <= kMaxMessageNumber && AllAlnum(m.number) &&
         m.replyAck.size() <= kMaxMessageNumber && AllAlnum(m.replyAck);
}

AprsReport TelemetryMessage(std::string_view addressee, std::string_view kind,
                            std::string_view values) {
  AprsTelemetryMessage t;
  t.addressee = addressee;
  t.kind = kind.substr(0, 4);
  if (t.kind == "BITS") {
    std::size_t bits = 0;
    while (bits < kBitCount && bits < values.size() &&
           (values[bits] == '0' || values[bits] == '1')) {
      ++bits;
    }
    t.bitSense = values.substr(0, bits);
    // The title may hold commas of its own.
    if (bits < values.size() && values[bits] == ',') t.project = values.substr(bits + 1);
    return {AprsType::TelemetryMessage, t};
  }
  while (t.valueCount < AprsTelemetryMessage::kMaxValues) {
    const std::size_t comma = values.find(',');
    t.values[static_cast<std::size_t>(t.valueCount++)] = values.substr(0, comma);
    if (comma == std::string_view::npos) break;
    values.remove_prefix(comma + 1);
  }
  return {AprsType::TelemetryMessage, t};
}

AprsReport Bulletin(AprsMessage m) {
  const std::string_view a = m.addressee;
  if (a.starts_with("NWS-")) {
    m.bulletinGroup = "NWS";
  } else {
    m.bulletinId = a.substr(3, 1);
    m.bulletinGroup = a.substr(4);
  }
  const bool announcement = IsUpper(a.size() > 3 ? a[3] : '\0') && !a.starts_with("NWS-");
  m.kind = announcement ? AprsMessage::Kind::Announcement : AprsMessage::Kind::Bulletin;
  return {announcement ? AprsType::Announcement : AprsType::Bulletin, m};
}

}  // namespace

AprsReport DecodeMessage(const Reader& r) {
  if (r.At(kTextStart - 1) != ':') return Invalid("message addressee not nine characters");
  AprsMessage m;
  m.addressee = TrimRight(r.Sub(1, kAddresseeLength));
  if (m.addressee.empty()) return Invalid("message without addressee");
  std::string_view text = r.Sub(kTextStart);

  for (std::string_view kind : kTelemetryKinds) {
    if (text.starts_with(kind)) return TelemetryMessage(m.addressee, kind, text.substr(5));
  }
  if (text.starts_with('?')) {
    return {AprsType::Query, AprsQuery{m.addressee, text.substr(1), {}}};
  }
  const bool ack = text.starts_with("ack");
  if (ack || text.starts_with("rej")) {
    // Some stations end an ack with blanks or a line end.
    std::string_view number = text.substr(3);
    while (!number.empty() && (number.back() == ' ' || number.back() == '\r' ||
                               number.back() == '\n')) {
      number.remove_suffix(1);
    }
    if (SplitNumber(number, m)) {
      m.kind = ack ? AprsMessage::Kind::Ack : AprsMessage::Kind::Rej;
      return {ack ? AprsType::Ack : AprsType::Rej, m};
    }
  }
  const std::size_t brace = text.rfind('{');
  if (brace != std::string_view::npos) {
    AprsMessage numbered = m;
    if (SplitNumber(text.substr(brace + 1), numbered)) {
      m = numbered;
      text = text.substr(0, brace);
    }
  }
  m.text = text;
  const bool bulletin = (m.addressee.starts_with("BLN") && m.addressee.size() >= 4 &&
                         IsAlnum(m.addressee[3])) ||
                        m.addressee.starts_with("NWS-");
  if (bulletin) return Bulletin(m);
  return {AprsType::Message, m};
}

}  // namespace vorlink::aprs
