// One received KISS frame as a block of coloured lines in the frame pane:
//
//   (empty line)                                         black
//   [2010-11-28 14:03:12.345 UTC: ][21 Bytes KISS Frame (without CRC)]  grey
//   ctrl: 3   PID: F0 {UI}   2 Payload Bytes              grey   } decoding
//   from XYZ-7 to ABC:                                    black  } only
//    1   > 68 69                                          red (blue raw)
//   hi                                                    green
//   (empty line) and 66 underscores                       system grey text
//
// Decoding dumps the de-escaped payload; the raw view dumps the whole frame
// as received. Decoded frames also give a line to the .dump file and, with
// the hexdump option, to the .hex file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "decode/ax25_decoder.h"
#include "capture/capture_files.h"
#include "decode/text_pane.h"
#include "decode/display_options.h"
#include "base/clock.h"

namespace vorlink {

inline constexpr int kDumpBytesPerLine = 20;
inline constexpr int kSeparatorLength = 66;

// The protocol named by a KISS command byte, exact values, no masking.
std::string_view ProtocolText(std::uint8_t commandByte);

// number as decimal after one sign position (blank or "-"), blanks added up
// to width; a longer text is not cut: 1 padded to 4 is " 1  ".
void AppendPadNumber(std::string& out, int number, int width);

class FrameDisplay {
 public:
  FrameDisplay(TextPane& pane, CaptureFiles& captures, Clock& clock,
               const DisplayOptions& options, DateTime& lastPacketTime)
      : pane_(pane), captures_(captures), clock_(clock), options_(options),
        lastPacketTime_(lastPacketTime) {}

  // Shows a frame as received (both FENDs, more than two bytes).
  void ShowFrame(std::span<const std::uint8_t> frame);

 private:
  void AppendTimestamp(std::string& out);
  void ShowDecodedHeader();
  void BuildDump(std::span<const std::uint8_t> bytes);
  void ShowDumpLines(PaneColour colour);

  TextPane& pane_;
  CaptureFiles& captures_;
  Clock& clock_;
  const DisplayOptions& options_;
  DateTime& lastPacketTime_;
  Ax25Decoder decoder_;
  // Rebuilt at every frame; kept to reuse their storage.
  std::string line_;
  std::string HexText;
  std::string AsciiText;      // single-byte, as the .dump file takes it
  std::string AsciiPaneText;  // the same characters as UTF-8 for the pane
};

}  // namespace vorlink
