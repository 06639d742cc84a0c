#include "aprs/aprs_report.h"

#include <algorithm>
#include <array>

namespace vorlink {
namespace {

constexpr std::array<std::string_view, kAprsTypeCount> kTypeNames{
    "position", "mic-e", "object", "item", "weather", "message", "ack", "rej", "bulletin",
    "announcement", "telemetry", "telemetry-message", "status", "third-party", "nmea", "query",
    "capabilities", "user-defined", "test-data", "maidenhead", "not-aprs", "invalid",
};

}  // namespace

std::string_view AprsTypeName(AprsType type) {
  return kTypeNames[static_cast<std::size_t>(type)];
}

std::optional<AprsType> ParseAprsType(std::string_view name) {
  const auto* it = std::find(kTypeNames.begin(), kTypeNames.end(), name);
  if (it == kTypeNames.end()) return std::nullopt;
  return static_cast<AprsType>(it - kTypeNames.begin());
}

void AprsComment::Add(std::string_view piece) {
  if (piece.empty() || count_ == kMaxPieces) return;
  pieces_[static_cast<std::size_t>(count_++)] = piece;
  size_ += piece.size();
}

std::string AprsComment::Text() const {
  std::string out;
  AppendTo(out);
  return out;
}

void AprsComment::AppendTo(std::string& out) const {
  for (int k = 0; k < count_; ++k) out += pieces_[static_cast<std::size_t>(k)];
}

const AprsPosition* AprsReport::Position() const {
  if (const auto* p = As<AprsPositionReport>()) return &p->position;
  if (const auto* m = As<AprsMicE>()) return &m->position;
  if (const auto* o = As<AprsObject>()) return &o->position;
  if (const auto* w = As<AprsWeatherReport>(); w && w->position) return &*w->position;
  return nullptr;
}

const AprsExtensions* AprsReport::Extensions() const {
  if (const auto* p = As<AprsPositionReport>()) return &p->extensions;
  if (const auto* m = As<AprsMicE>()) return &m->extensions;
  if (const auto* o = As<AprsObject>()) return &o->extensions;
  return nullptr;
}

const AprsComment* AprsReport::Comment() const {
  if (const auto* p = As<AprsPositionReport>()) return &p->comment;
  if (const auto* m = As<AprsMicE>()) return &m->comment;
  if (const auto* o = As<AprsObject>()) return &o->comment;
  if (const auto* w = As<AprsWeatherReport>()) return &w->comment;
  if (const auto* t = As<AprsTelemetry>()) return &t->comment;
  if (const auto* b = As<AprsMaidenhead>()) return &b->comment;
  return nullptr;
}

}  // namespace vorlink
