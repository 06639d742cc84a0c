#include "ax25link/link_output.h"

#include <array>

namespace vorlink {
namespace {

constexpr std::array<std::string_view, 6> kStateTexts{
    "disconnected", "awaiting connection", "awaiting connection (2.2)",
    "connected",    "timer recovery",      "awaiting release"};

constexpr std::array<std::string_view, 5> kReasonTexts{
    "disconnected", "disconnected by the other station", "refused (DM)",
    "no answer (retries used up)", "link failed (polls unanswered)"};

}  // namespace

std::string_view LinkStateText(LinkState state) {
  return kStateTexts[static_cast<std::size_t>(state)];
}

std::string_view DisconnectReasonText(DisconnectReason reason) {
  return kReasonTexts[static_cast<std::size_t>(reason)];
}

}  // namespace vorlink
