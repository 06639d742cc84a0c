// The handler of the incoming port's data event: clear the status text, read
// the waiting bytes as one chunk, mirror it while mirroring is on, count it,
// rewrite the receive label, then cut it into units. For every unit the frame
// count and LastPacketTime move on; every frame gets its block in the pane,
// then its captures: its time frame (while time frames are on) and its bytes
// in the .kss, its pcap record (while pcap captures are on), and while
// decoding its .dump line and (with the hexdump option) its .hex line. Every
// unit is counted in the link health figures. The pipeline owns the capture
// files and the frame display of one load; nothing else writes captures.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/ax25_frame_listener.h"
#include "app/receive_counters.h"
#include "app/received_unit_sink.h"
#include "base/clock.h"
#include "base/status_line.h"
#include "capture/capture_files.h"
#include "capture/file_writer.h"
#include "capture/time_frame.h"
#include "decode/display_options.h"
#include "decode/frame_display.h"
#include "decode/text_pane.h"
#include "link/deframer.h"
#include "link/kiss_unescape.h"
#include "link/serial_port.h"

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

// What the pipeline reads and writes; all owned elsewhere.
struct ReceiveContext {
  TextPane& pane;
  Clock& clock;
  const DisplayOptions& options;
  const bool& mirroring;      // the mirror switch
  SerialPort& incoming;       // the TNC
  SerialPort& outgoing;       // the mirror
  ReceiveCounters& counters;  // process-wide
  DateTime& lastPacketTime;   // process-wide
  StatusLine& status;
  ReceiveView& view;
  FileWriter* writer = nullptr;  // write(2) unless a test fails it on demand
};

class ReceivePipeline final : private UnitSink {
 public:
  explicit ReceivePipeline(const ReceiveContext& context)
      : c_(context),
        captures_(context.writer),
        display_(context.pane, context.clock, context.options) {}
  ReceivePipeline(const ReceivePipeline&) = delete;
  ReceivePipeline& operator=(const ReceivePipeline&) = delete;

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
  // Where every data frame of port 0 goes as AX.25 bytes (the data links); none when null.
  void SetAx25Listener(Ax25FrameListener* listener) { ax25_ = listener; }

  CaptureFiles& Captures() { return captures_; }
  const CaptureFiles& Captures() const { return captures_; }
  FrameDisplay& Display() { return display_; }

 private:
  void OnUnit(std::span<const std::uint8_t> frame) override;
  void OnEscape(std::uint8_t escaped) override;
  void MirrorChunk(std::span<const std::uint8_t> chunk);
  void WriteCaptures(std::span<const std::uint8_t> frame, const DateTime& arrival);
  void WriteTimeFrame(std::span<const std::uint8_t> frame, const DateTime& arrival);
  void WritePayloadLines();
  void HandToLinks(std::span<const std::uint8_t> frame);

  ReceiveContext c_;
  CaptureFiles captures_;
  FrameDisplay display_;
  Deframer deframer_;
  TimeFrameBuilder timeFrame_;
  std::string label_;
  std::string line_;  // the .dump line; kept to reuse its storage
  // Set from a dropped mirror copy until the outgoing queue is seen empty.
  bool mirrorDropShown_ = false;
  ReceivedUnitSink* shared_ = nullptr;
  Ax25FrameListener* ax25_ = nullptr;
  UnescapedFrame unescaped_{};
};

}  // namespace vorlink
