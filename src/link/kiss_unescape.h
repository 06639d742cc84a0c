// A received frame (both FENDs included, escapes in place) turned back into
// the bytes the sender meant: the command byte and the data, FESC TFEND as
// 0xC0, FESC TFESC as 0xDB. A FESC followed by any other byte is a bad
// escape: the FESC is dropped and the byte kept; a FESC right before the
// closing FEND is dropped.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "link/kiss.h"

namespace vorlink {

using UnescapedFrame = std::array<std::uint8_t, kFrameBufferCapacity>;

// The command byte and data of frame, unescaped into out; a view of out.
std::span<const std::uint8_t> UnescapeFrame(std::span<const std::uint8_t> frame,
                                            UnescapedFrame& out);

// How many FESC of frame are not followed by TFEND or TFESC.
std::size_t CountBadEscapes(std::span<const std::uint8_t> frame);

}  // namespace vorlink
