// The handler of the incoming port's data event: clear the status text, read
// the waiting bytes as one chunk, mirror it while mirroring is on, count it,
// rewrite the receive label, then cut it into units. For every unit the frame
// count and LastPacketTime move on; for every frame, in this order: its time
// frame (while time frames are on), its bytes to the raw capture, its pcap
// record (while pcap captures are on), its block in the pane. Every unit is
// counted in the link health figures.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "capture/capture_files.h"
#include "decode/frame_display.h"
#include "decode/display_options.h"
#include "link/deframer.h"
#include "app/receive_counters.h"
#include "app/received_unit_sink.h"
#include "link/serial_port.h"
#include "base/status_line.h"
#include "base/clock.h"
#include "capture/time_frame.h"

namespace vorlink {

// The most the mirror copy may queue that the outgoing port has not taken;
// a chunk that would go past it is dropped rather than held.
inline constexpr std::size_t kMirrorQueueLimit = std::size_t{1} << 20;

// The two figures of the main window the pipeline keeps up to date.
class ReceiveView {
 public:
  virtual ~ReceiveView() = default;
  virtual void ShowReceived(std::string_view text) = 0;
  virtual void ShowMirrored(std::string_view text) = 0;
};

// What the pipeline works with; all owned elsewhere.
struct ReceiveContext {
  SerialPort& incoming;      // the TNC
  SerialPort& outgoing;      // the mirror
  ReceiveCounters& counters; // process-wide
  DateTime& lastPacketTime;  // process-wide
  Clock& clock;
  StatusLine& status;
  ReceiveView& view;
  CaptureFiles& captures;
  FrameDisplay& display;
  const DisplayOptions& options;
  const bool& mirroring;     // the mirror switch
};

class ReceivePipeline final : private UnitSink {
 public:
  explicit ReceivePipeline(ReceiveContext context) : c_(context) {}

  // OnComm of the incoming port: data for code 2, a status text otherwise.
  void OnComm(int commEvent);
  // One data-received event.
  void OnDataReceived();
  // Feeds bytes already read (the chunk of one event) through the pipeline.
  void HandleChunk(std::span<const std::uint8_t> chunk);
  // Start-up: no frame open.
  void Reset() { deframer_.Reset(); }
  // Where every frame goes last of all (the KISS server); none when null.
  void SetSharedSink(ReceivedUnitSink* sink) { shared_ = sink; }

 private:
  void OnUnit(std::span<const std::uint8_t> frame) override;
  void OnEscape(std::uint8_t escaped) override;
  void MirrorChunk(std::span<const std::uint8_t> chunk);
  void WriteTimeFrame(std::span<const std::uint8_t> frame, const DateTime& arrival);

  ReceiveContext c_;
  Deframer deframer_;
  TimeFrameBuilder timeFrame_;
  std::string label_;
  // Set from a dropped mirror copy until the outgoing queue is seen empty.
  bool mirrorDropShown_ = false;
  ReceivedUnitSink* shared_ = nullptr;
};

}  // namespace vorlink
