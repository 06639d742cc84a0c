#include "store/frame_inspector.h"

#include "decode/frame_text.h"

namespace vorlink {
namespace {

constexpr std::uint8_t kIFrameMask = 0x01;
constexpr std::uint8_t kUFrameBits = 0x03;
// A UI frame: U frame with modifier code 0, the P/F bit either way.
constexpr std::uint8_t kInspectedUiMask = 0xEF;
constexpr std::uint8_t kInspectedUiControl = 0x03;

}  // namespace

const Ax25Decoder& FrameInspector::Inspect(const StoredFrame& frame) {
  RestoreLeftovers(decoder_, frame.leftovers);
  decoder_.DecodeAx25Header(frame.bytes);
  return decoder_;
}

bool FrameInspector::IsType(FrameType type) const {
  const std::uint8_t c = decoder_.ControlByte;
  switch (type) {
    case FrameType::I: return (c & kIFrameMask) == 0;
    case FrameType::S: return (c & kUFrameBits) == 0x01;
    case FrameType::U: return (c & kUFrameBits) == kUFrameBits;
    case FrameType::UI: return (c & kInspectedUiMask) == kInspectedUiControl;
  }
  return false;
}

std::string_view FrameInspector::DigipeaterCall(int k) const {
  std::string_view text = decoder_.DigipeaterText[static_cast<std::size_t>(k)];
  if (decoder_.DigipeaterRepeated[static_cast<std::size_t>(k)]) text.remove_suffix(1);
  return text;
}

bool FrameInspector::AnyRepeated() const {
  for (int k = 0; k < decoder_.DigipeaterCount; ++k) {
    if (decoder_.DigipeaterRepeated[static_cast<std::size_t>(k)]) return true;
  }
  return false;
}

}  // namespace vorlink
