#include "app/receive_pipeline.h"

#include <algorithm>

#include "link/comm_event_text.h"
#include "base/utc.h"

namespace vorlink {

void ReceivePipeline::OnComm(int commEvent) {
  if (commEvent == kCommEvReceive) {
    OnDataReceived();
    return;
  }
  if (const auto text = CommEventText(commEvent)) c_.status.SetSimpleText(*text);
}

void ReceivePipeline::OnDataReceived() {
  c_.status.SetSimpleText("");
  HandleChunk(c_.incoming.Input());
}

void ReceivePipeline::HandleChunk(std::span<const std::uint8_t> chunk) {
  if (c_.mirroring) MirrorChunk(chunk);
  c_.counters.BytesReceived += chunk.size();
  FormatReceived(c_.counters, label_);
  c_.view.ShowReceived(label_);
  deframer_.Feed(chunk, *this);
  c_.captures.Flush();
}

void ReceivePipeline::MirrorChunk(std::span<const std::uint8_t> chunk) {
  const std::size_t queued = c_.outgoing.BytesToWrite();
  if (queued == 0) mirrorDropShown_ = false;
  if (chunk.size() > kMirrorQueueLimit - std::min(queued, kMirrorQueueLimit)) {
    // Once per stall: a flood of chunks would otherwise repeat it for each.
    if (!mirrorDropShown_) {
      c_.status.SetSimpleText(PortProblemText(c_.outgoing.CommPort(), kMirrorNotTaking));
    }
    mirrorDropShown_ = true;
  } else if (c_.outgoing.Output(chunk)) {
    // A copy that could not be written (outgoing port closed) is not counted.
    c_.counters.MirroredByteCount += static_cast<std::int64_t>(chunk.size());
  }
  FormatMirrored(c_.counters, label_);
  c_.view.ShowMirrored(label_);
}

void ReceivePipeline::OnUnit(std::span<const std::uint8_t> frame) {
  ++c_.counters.FrameCount;
  CountUnit(c_.counters.health, frame);
  c_.lastPacketTime = UtcNow(c_.clock);
  if (frame.size() <= 2) return;
  // One reading stamps both the time frame and the pcap record.
  DateTime arrival;
  if (c_.options.timeFrames || c_.options.pcapFile) arrival = UtcNowPrecise(c_.clock);
  if (c_.options.timeFrames) WriteTimeFrame(frame, arrival);
  c_.captures.WriteRaw(frame);
  if (c_.options.pcapFile) c_.captures.WritePcapFrame(frame, arrival);
  c_.display.ShowFrame(frame);
  if (shared_ != nullptr) shared_->OnReceivedFrame(frame);
}

void ReceivePipeline::OnEscape(std::uint8_t escaped) {
  if (escaped == kTfesc) ++c_.counters.TfescCount;
  if (escaped == kTfend) ++c_.counters.TfendCount;
}

void ReceivePipeline::WriteTimeFrame(std::span<const std::uint8_t> frame, const DateTime& arrival) {
  char stamp[kTimestampLength];
  FormatTimestamp(arrival, stamp);
  c_.captures.WriteRaw(timeFrame_.Build(frame, std::string_view(stamp, kTimestampLength)));
}

}  // namespace vorlink
