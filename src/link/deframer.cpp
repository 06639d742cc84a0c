#include "link/deframer.h"

#include <algorithm>

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

std::size_t Deframer::CopyData(std::span<const std::uint8_t> bytes, UnitSink& sink) {
  const std::size_t limit = std::min(bytes.size(), FrameBuffer.size() - FrameLength);
  std::uint8_t* out = FrameBuffer.data() + FrameLength;
  bool afterFesc = afterFesc_;
  std::size_t n = 0;
  for (; n < limit && bytes[n] != kFend; ++n) {
    const std::uint8_t b = bytes[n];
    if (afterFesc && (b == kTfesc || b == kTfend)) sink.OnEscape(b);
    afterFesc = b == kFesc;
    out[n] = b;
  }
  FrameLength += n;
  afterFesc_ = afterFesc;
  return n;
}

void Deframer::Feed(std::span<const std::uint8_t> chunk, UnitSink& sink) {
  while (!chunk.empty()) {
    if (state_ == State::Inside && !oversize_) {
      chunk = chunk.subspan(CopyData(chunk, sink));
      if (chunk.empty()) break;
    }
    const std::uint8_t b = chunk.front();
    chunk = chunk.subspan(1);
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
