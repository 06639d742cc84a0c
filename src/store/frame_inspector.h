// A held frame's AX.25 header decoded as its block shows it (leftovers put
// back), for the filter and the heard list. Decodes every frame, whatever
// the options it arrived with.
#pragma once

#include <cstdint>
#include <string_view>

#include "decode/ax25_decoder.h"
#include "store/frame_store.h"

namespace vorlink {

// Frame types as an operator names them; a UI frame is a U frame too.
enum class FrameType : std::uint8_t { I, S, U, UI };

class FrameInspector {
 public:
  const Ax25Decoder& Inspect(const StoredFrame& frame);
  const Ax25Decoder& Decoded() const { return decoder_; }

  // Of the last frame inspected:
  // the address field, control byte and PID lie within the frame itself.
  bool HeaderComplete() const { return decoder_.PayloadLength() >= 0; }
  bool IsType(FrameType type) const;
  // Digipeater k's callsign as shown, without the has-been-repeated mark.
  std::string_view DigipeaterCall(int k) const;
  bool AnyRepeated() const;

 private:
  Ax25Decoder decoder_;
};

}  // namespace vorlink
