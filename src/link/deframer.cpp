#include "link/deframer.h"

namespace vorlink {
namespace {
constexpr std::uint8_t kNoByte[1] = {0};
}  // namespace

void Deframer::Reset() {
  FrameLength = 0;
  state_ = State::Hunting;
  borrowedOpening_ = false;
  oversize_ = false;
  afterFesc_ = false;
}

void Deframer::Open(std::uint8_t firstByte, bool borrowed) {
  FrameBuffer[0] = kFend;
  FrameLength = 1;
  state_ = State::Inside;
  borrowedOpening_ = borrowed;
  oversize_ = false;
  afterFesc_ = false;
  if (borrowed) {
    FrameBuffer[FrameLength++] = firstByte;
    afterFesc_ = firstByte == kFesc;
  }
}

void Deframer::Close(UnitSink& sink) {
  state_ = State::AfterClose;
  if (oversize_) {
    FrameLength = 0;
    sink.OnUnit({});
    return;
  }
  FrameBuffer[FrameLength++] = kFend;
  sink.OnUnit({FrameBuffer.data(), FrameLength});
  FrameLength = 0;
}

void Deframer::HandleInside(std::uint8_t b, UnitSink& sink) {
  if (b == kFend) {
    if (borrowedOpening_ && FrameLength == 2) {
      // The byte after a closing FEND was a stray, not a frame: drop it as a
      // one-byte unit and let this FEND open the next frame.
      FrameLength = 0;
      sink.OnUnit(std::span(kNoByte));
      Open(kFend, false);
      return;
    }
    if (FrameLength == FrameBuffer.size()) oversize_ = true;
    Close(sink);
    return;
  }
  if (afterFesc_ && (b == kTfesc || b == kTfend)) sink.OnEscape(b);
  afterFesc_ = b == kFesc;
  if (oversize_ || FrameLength == FrameBuffer.size()) {
    oversize_ = true;
    return;
  }
  FrameBuffer[FrameLength++] = b;
}

void Deframer::Feed(std::span<const std::uint8_t> chunk, UnitSink& sink) {
  for (const std::uint8_t b : chunk) {
    switch (state_) {
      case State::Inside:
        HandleInside(b, sink);
        break;
      case State::Hunting:
        if (b == kFend) {
          Open(kFend, false);
        } else {
          FrameBuffer[0] = b;
          FrameLength = 0;
          sink.OnUnit({FrameBuffer.data(), 1});
        }
        break;
      case State::AfterClose:
        Open(b, b != kFend);
        break;
    }
  }
}

}  // namespace vorlink
