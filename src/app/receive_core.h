// The receive side of one load, wired: the capture files, the frame display
// and the receive pipeline that feeds both. The station session and the
// tools that run the core without a window build theirs from this.
#pragma once

#include "app/receive_counters.h"
#include "app/receive_pipeline.h"
#include "base/clock.h"
#include "base/status_line.h"
#include "capture/capture_files.h"
#include "capture/file_writer.h"
#include "decode/display_options.h"
#include "decode/frame_display.h"
#include "decode/text_pane.h"
#include "link/serial_port.h"

namespace vorlink {

// What the receive side reads and writes; all owned elsewhere.
struct ReceiveSetting {
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

struct ReceiveCore {
  explicit ReceiveCore(const ReceiveSetting& s)
      : captures(s.writer),
        display(s.pane, captures, s.clock, s.options),
        pipeline(ReceiveContext{s.incoming, s.outgoing, s.counters, s.lastPacketTime, s.clock,
                                s.status, s.view, captures, display, s.options, s.mirroring}) {}
  ReceiveCore(const ReceiveCore&) = delete;
  ReceiveCore& operator=(const ReceiveCore&) = delete;

  CaptureFiles captures;
  FrameDisplay display;
  ReceivePipeline pipeline;
};

}  // namespace vorlink
