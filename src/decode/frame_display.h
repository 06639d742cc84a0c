// One received KISS frame shown: its block of coloured lines (made by
// FrameText) goes to the frame pane, decoded frames give a line to the .dump
// file and, with the hexdump option, to the .hex file, and the frame is
// handed on to a sink (the frame store) with what it takes to draw it again.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/clock.h"
#include "capture/capture_files.h"
#include "decode/display_options.h"
#include "decode/frame_sink.h"
#include "decode/frame_text.h"
#include "decode/text_pane.h"

namespace vorlink {

class FrameDisplay {
 public:
  FrameDisplay(TextPane& pane, CaptureFiles& captures, Clock& clock,
               const DisplayOptions& options)
      : pane_(&pane), captures_(captures), clock_(clock), options_(options) {}

  // Shows a frame as received (both FENDs, more than two bytes).
  void ShowFrame(std::span<const std::uint8_t> frame);

  // Without a pane no pane text is made (a view draws the frames from the
  // store); the capture lines are written all the same.
  void SetPane(TextPane* pane) { pane_ = pane; }
  // Every frame shown is handed on to the sink too; null: to none.
  void SetFrameSink(FrameSink* sink) { sink_ = sink; }

 private:
  void WritePayloadLines();

  TextPane* pane_;
  FrameSink* sink_ = nullptr;
  CaptureFiles& captures_;
  Clock& clock_;
  const DisplayOptions& options_;
  FrameText text_;
  std::string line_;  // rebuilt at every frame; kept to reuse its storage
};

}  // namespace vorlink
