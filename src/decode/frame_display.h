// One received KISS frame shown: its block of coloured lines (made by
// FrameText) goes to the frame pane, and the frame is handed on to a sink
// (the frame store) with what it takes to draw it again. The texts of the
// last block stay readable for the capture lines the receive pipeline writes.
#pragma once

#include <cstdint>
#include <span>

#include "base/clock.h"
#include "decode/display_options.h"
#include "decode/frame_sink.h"
#include "decode/frame_text.h"
#include "decode/text_pane.h"

namespace vorlink {

class FrameDisplay {
 public:
  FrameDisplay(TextPane& pane, Clock& clock, const DisplayOptions& options)
      : pane_(&pane), clock_(clock), options_(options) {}

  // Shows a frame as received (both FENDs, more than two bytes), stamped
  // with a reading of the clock or with the UTC arrival time given.
  void ShowFrame(std::span<const std::uint8_t> frame);
  void ShowFrame(std::span<const std::uint8_t> frame, const DateTime& arrival);

  // Without a pane no pane text is made (a view draws the frames from the
  // store); the texts the capture lines take are made all the same.
  void SetPane(TextPane* pane) { pane_ = pane; }
  // Every frame shown is handed on to the sink too; null: to none.
  void SetFrameSink(ArrivedFrameSink* sink) { sink_ = sink; }

  // Of the frame shown last.
  const FrameText& Text() const { return text_; }

 private:
  TextPane* pane_;
  ArrivedFrameSink* sink_ = nullptr;
  Clock& clock_;
  const DisplayOptions& options_;
  FrameText text_;
};

}  // namespace vorlink
