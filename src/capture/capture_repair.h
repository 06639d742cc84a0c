// How much of a capture file is whole, so that a run appending to it never
// starts after half a unit that a kill or a power cut left at its end:
//   .kss   up to the closing FEND of its last whole frame (a time frame is
//          a frame: one whose frame was torn stays, since a received frame
//          may carry command byte 9 as well)
//   .dump, .hex  up to their last CR LF
//   .pcap  up to its last whole record after a file header of ours; a bad
//          header or record length ends the file there
// The file is read from where its last unit may start (the end for .kss and
// the text files, record after record for .pcap), a block at a time, so a
// capture of any size is checked in bounded memory.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorlink {

enum class CaptureUnit { kKissFrame, kLine, kPcapRecord };

// The length of the leading part of the open file (size bytes long) made of
// whole units; none when it cannot be read (errno tells why).
std::optional<off_t> WholeLength(int descriptor, off_t size, CaptureUnit unit);

// What the message log says of a cut: "ddmmyyyy_hhmm.dump: 1 byte of a torn
// line removed", the unit named as the file counts it (frame, line, record).
std::string TornUnitText(std::string_view file, std::uintmax_t bytes, CaptureUnit unit);

}  // namespace vorlink
