#include "app/tnc_queue.h"

#include <algorithm>

#include "app/kiss_server.h"
#include "link/comm_event_text.h"
#include "link/kiss.h"
#include "link/line_settings.h"

namespace vorlink {
namespace {
// Start bit, eight data bits, stop bit: near enough for every line setting.
constexpr int kBitsPerByte = 10;
}  // namespace

std::size_t TncQueueLimit(std::optional<std::string_view> lineSettings) {
  const auto settings = lineSettings ? ParseLineSettings(*lineSettings) : std::nullopt;
  if (!settings) return kTncQueueMost;
  const auto bytes = static_cast<std::size_t>(settings->baud / kBitsPerByte) * kTncQueueSeconds;
  return std::clamp(bytes, kFrameBufferCapacity, kTncQueueMost);
}

TncWrite TncQueue::Write(std::span<const std::uint8_t> frame) {
  const std::size_t queued = tnc_.BytesToWrite();
  if (frame.size() > limit_ - std::min(queued, limit_)) return TncWrite::Full;
  return tnc_.Output(frame) ? TncWrite::Taken : TncWrite::Failed;
}

void TncQueue::Send(std::span<const std::uint8_t> frame, std::string_view client) {
  const std::size_t queued = tnc_.BytesToWrite();
  const auto now = clock_.MonotonicNow();
  if (queued == 0 && now - lastRefused_ >= std::chrono::seconds(kTncQueueSeconds)) stallShown_ = false;
  if (frame.size() > limit_ - std::min(queued, limit_)) {
    ++figures_.framesTncStalled;
    lastRefused_ = now;
    if (!stallShown_) status_.SetSimpleText(PortProblemText(tnc_.CommPort(), kTncNotTaking));
    stallShown_ = true;
    return;
  }
  if (!tnc_.Output(frame)) {
    ++figures_.framesNotSent;
    if (!notSentShown_) status_.SetSimpleText(KissClientText(client, "frame not sent to the TNC"));
    notSentShown_ = true;
    return;
  }
  notSentShown_ = false;
  ++figures_.framesToTnc;
}

}  // namespace vorlink
