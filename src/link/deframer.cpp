#include "link/deframer.h"

#include <algorithm>
#include <cstring>

namespace vorlink {
namespace {
constexpr std::uint8_t kNoByte[1] = {0};

// The first b in [from, end), or end; memchr scans many bytes at a time.
const std::uint8_t* Find(const std::uint8_t* from, const std::uint8_t* end, std::uint8_t b) {
  if (from == end) return end;
  const void* found = std::memchr(from, b, static_cast<std::size_t>(end - from));
  return found != nullptr ? static_cast<const std::uint8_t*>(found) : end;
}
}  // namespace

void Deframer::Reset() {
  frameLength_ = 0;
  state_ = State::Hunting;
  borrowedOpening_ = false;
  oversize_ = false;
  afterFesc_ = false;
}

void Deframer::Open(std::uint8_t firstByte, bool borrowed) {
  frameBuffer_[0] = kFend;
  frameLength_ = 1;
  state_ = State::Inside;
  borrowedOpening_ = borrowed;
  oversize_ = false;
  afterFesc_ = false;
  if (borrowed) {
    frameBuffer_[frameLength_++] = firstByte;
    afterFesc_ = firstByte == kFesc;
  }
}

void Deframer::Close(UnitSink& sink) {
  state_ = State::AfterClose;
  if (oversize_) {
    frameLength_ = 0;
    sink.OnUnit({});
    return;
  }
  frameBuffer_[frameLength_++] = kFend;
  sink.OnUnit({frameBuffer_.data(), frameLength_});
  frameLength_ = 0;
}

void Deframer::HandleInside(std::uint8_t b, UnitSink& sink) {
  if (b == kFend) {
    if (borrowedOpening_ && frameLength_ == 2) {
      // The byte after a closing FEND was a stray, not a frame: drop it as a
      // one-byte unit and let this FEND open the next frame.
      frameLength_ = 0;
      sink.OnUnit(std::span(kNoByte));
      Open(kFend, false);
      return;
    }
    if (frameLength_ == frameBuffer_.size()) oversize_ = true;
    Close(sink);
    return;
  }
  if (afterFesc_ && (b == kTfesc || b == kTfend)) sink.OnEscape(b);
  afterFesc_ = b == kFesc;
  if (oversize_ || frameLength_ == frameBuffer_.size()) {
    oversize_ = true;
    return;
  }
  frameBuffer_[frameLength_++] = b;
}

std::size_t Deframer::CopyData(std::span<const std::uint8_t> bytes, UnitSink& sink) {
  const std::size_t limit = std::min(bytes.size(), frameBuffer_.size() - frameLength_);
  const auto* first = bytes.data();
  const std::size_t n = static_cast<std::size_t>(Find(first, first + limit, kFend) - first);
  if (n == 0) return 0;
  std::memcpy(frameBuffer_.data() + frameLength_, first, n);
  frameLength_ += n;

  // Escape sequences: a FESC (perhaps the last byte of the previous chunk)
  // followed by TFESC or TFEND.
  const auto isEscaped = [](std::uint8_t b) { return b == kTfesc || b == kTfend; };
  if (afterFesc_ && isEscaped(first[0])) sink.OnEscape(first[0]);
  const auto* end = first + n;
  for (const auto* p = first; (p = Find(p, end, kFesc)) != end && ++p != end;) {
    if (isEscaped(*p)) sink.OnEscape(*p);
  }
  afterFesc_ = end[-1] == kFesc;
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
          frameBuffer_[0] = b;
          frameLength_ = 0;
          sink.OnUnit({frameBuffer_.data(), 1});
        }
        break;
      case State::AfterClose:
        Open(b, b != kFend);
        break;
    }
  }
}

}  // namespace vorlink
