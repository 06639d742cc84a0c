// Cuts the raw KISS byte stream into units. Interprets FEND only; escapes stay
// in FrameBuffer exactly as received.
//
// States: hunting (nothing seen yet), inside a frame, and after a closing
// FEND. Before the first FEND every other byte is a one-byte unit. After a
// FEND that closed a unit, a byte other than FEND opens a frame at once with
// that FEND as its opening FEND, so a sender that shares one FEND between two
// frames, or a receiver that lost step, loses nothing but the broken frame.
// If such a frame is closed while it holds that one byte alone, the byte was
// a stray: it is a one-byte unit, and the FEND opens the next frame.
//
// Units handed on: a frame (more than two bytes, both FENDs included), an
// empty frame (FEND FEND), a stray byte, and a frame too long for the buffer
// (dropped whole up to its closing FEND, handed on empty).
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "link/kiss.h"

namespace vorlink {

class UnitSink {
 public:
  virtual ~UnitSink() = default;
  // A completed unit; a frame to show when frame.size() > 2.
  virtual void OnUnit(std::span<const std::uint8_t> frame) = 0;
  // An escape sequence inside a frame: FESC then TFESC or TFEND (the second byte).
  virtual void OnEscape(std::uint8_t escaped) = 0;
};

class Deframer {
 public:
  void Feed(std::span<const std::uint8_t> chunk, UnitSink& sink);
  // Back to the state of a fresh start (start-up does this).
  void Reset();

  std::span<const std::uint8_t> Frame() const { return {frameBuffer_.data(), frameLength_}; }
  std::size_t Length() const { return frameLength_; }
  bool InFrame() const { return state_ == State::Inside; }

 private:
  enum class State { Hunting, Inside, AfterClose };

  void Open(std::uint8_t firstByte, bool borrowed);
  void Close(UnitSink& sink);
  void HandleInside(std::uint8_t b, UnitSink& sink);
  // The data bytes at the front of bytes, up to a FEND and as many as fit,
  // taken in one go as HandleInside would take them; returns how many.
  std::size_t CopyData(std::span<const std::uint8_t> bytes, UnitSink& sink);

  std::array<std::uint8_t, kFrameBufferCapacity> frameBuffer_{};
  std::size_t frameLength_ = 0;
  State state_ = State::Hunting;
  bool borrowedOpening_ = false;  // opened by the FEND that closed the last unit
  bool oversize_ = false;         // more bytes than FrameBuffer holds: drop it
  bool afterFesc_ = false;
};

}  // namespace vorlink
