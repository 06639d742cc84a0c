#include "app/receive_pipeline.h"

#include <algorithm>

#include "link/comm_event_text.h"
#include "link/smack_crc.h"
#include "base/utc.h"

namespace vorlink {
namespace {

constexpr std::string_view kTimestampSeparator = " UTC: ";

}  // namespace

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
  captures_.Flush();
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
  // One reading a unit: its whole second is the last packet time, and it
  // stamps a frame's block, time frame and pcap record alike.
  const DateTime arrival = UtcNowPrecise(c_.clock);
  c_.lastPacketTime = arrival;
  c_.lastPacketTime.millisecond = 0;
  if (frame.size() <= 2) return;
  display_.ShowFrame(frame, arrival);
  // Without capture files (vorlink-decode) none of their lines are made.
  if (captures_.Capturing()) WriteCaptures(frame, arrival);
  if (shared_ != nullptr) shared_->OnReceivedFrame(frame);
  if (ax25_ != nullptr) HandToLinks(frame);
}

void ReceivePipeline::HandToLinks(std::span<const std::uint8_t> frame) {
  const auto unit = UnescapeFrame(frame, unescaped_);
  if (unit.size() < 2) return;
  // Port 0 only: the links' own frames go out there.
  if (unit[0] == kCommandData) {
    ax25_->OnAx25Frame(unit.subspan(1));
  } else if (unit[0] == kSmackFlag && unit.size() > 1 + kSmackCrcLength && SmackCrcGood(unit)) {
    ax25_->OnAx25Frame(unit.subspan(1, unit.size() - 1 - kSmackCrcLength));
  }
}

void ReceivePipeline::WriteCaptures(std::span<const std::uint8_t> frame, const DateTime& arrival) {
  if (c_.options.timeFrames) WriteTimeFrame(frame, arrival);
  captures_.WriteRaw(frame);
  if (c_.options.pcapFile) captures_.WritePcapFrame(frame, arrival);
  if (c_.options.decode) WritePayloadLines();
}

void ReceivePipeline::OnEscape(std::uint8_t escaped) {
  if (escaped == kTfesc) ++c_.counters.TfescCount;
  if (escaped == kTfend) ++c_.counters.TfendCount;
}

void ReceivePipeline::WriteTimeFrame(std::span<const std::uint8_t> frame, const DateTime& arrival) {
  char stamp[kTimestampLength];
  FormatTimestamp(arrival, stamp);
  captures_.WriteRaw(timeFrame_.Build(frame, std::string_view(stamp, kTimestampLength)));
}

void ReceivePipeline::WritePayloadLines() {
  const std::string& hex = display_.Text().HexText();
  if (c_.options.hexFile && !hex.empty()) {
    captures_.WritePayloadHexLine(std::string_view(hex).substr(0, hex.size() - 1));
  }
  line_.clear();
  if (c_.options.timeFrames) {
    // Its own clock reading, after the block: the .dump line always had one.
    char stamp[kTimestampLength];
    FormatTimestamp(UtcNowPrecise(c_.clock), stamp);
    line_.append(stamp, kTimestampLength);
    line_ += kTimestampSeparator;
  }
  line_ += display_.Text().AsciiText();
  captures_.WritePayloadTextLine(line_);
}

}  // namespace vorlink
