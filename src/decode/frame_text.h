// The block of coloured lines that one frame gives in the frame pane, made by
// one function for the live pane and for frames drawn again from the store:
//
//   (empty line)                                         black
//   [2010-11-28 14:03:12.345 UTC: ][21 Bytes KISS Frame (without CRC)]  grey
//   ctrl: 3   PID: F0 {UI}   2 Payload Bytes              grey   } decoding
//   from XYZ-7 to ABC:                                    black  } only
//    1   > 68 69                                          red (blue raw)
//   hi                                                    green
//   (empty line) and 66 underscores                       system grey text
//
// Every piece handed to the pane is one or more whole lines of one colour.
//
// A block depends on the frame's bytes, its arrival time, the options in
// force and, for a decoded frame too short for its header, on what earlier
// decoded frames left in the decoder's buffer: the bytes from the frame's
// decoded length up to its payload offset (at most kMaxLeftoverBytes). Those
// bytes are the frame's leftovers; a store keeps them to draw it again.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "decode/ax25_decoder.h"
#include "decode/display_options.h"
#include "decode/text_pane.h"

namespace vorlink {

inline constexpr int kDumpBytesPerLine = 20;
inline constexpr int kSeparatorLength = 66;
// The decoder reads no offset beyond 80 (nine digipeaters, control, PID).
inline constexpr int kMaxHeaderOffset = 80;
// De-escaping can leave a frame of two bytes (C0 DB C0): it reads offsets 2 to 80.
inline constexpr int kMinDecodedLength = 2;
inline constexpr int kMaxLeftoverBytes = kMaxHeaderOffset + 1 - kMinDecodedLength;

// These two run for every frame shown: defined here to be inlined.

// The protocol named by a KISS command byte, exact values, no masking.
constexpr std::string_view ProtocolText(std::uint8_t commandByte) {
  switch (commandByte) {
    case kCommandData: return "KISS Frame (without CRC)";
    case kCommandSmack: return "SMACK Frame (with CRC)";
    case kCommandTime: return "TIME Frame";
    default: return "unknown Protocol";
  }
}

// A callsign may decode to control characters; the pane shows them as the
// character line does, so that no frame can break or mangle the block.
inline void AppendPrintable(std::string& out, std::string_view text) {
  constexpr unsigned char kFirstPrintable = 0x20;
  constexpr unsigned char kDelete = 0x7F;
  const std::size_t start = out.size();
  out += text;
  char* appended = out.data() + start;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto u = static_cast<unsigned char>(appended[i]);
    appended[i] = u < kFirstPrintable || u == kDelete ? '.' : appended[i];
  }
}

// What the decoder's buffer held beyond a frame's own bytes and the frame
// read: offset is the frame's decoded length.
struct Leftovers {
  int offset = 0;
  std::span<const std::uint8_t> bytes;
};

// Puts leftovers back into a decoder's buffer (zeros up to the last offset
// the decoder reads beyond them), so a stored frame decodes as it did.
void RestoreLeftovers(Ax25Decoder& decoder, const Leftovers& leftovers);

class FrameText {
 public:
  // Makes the block of a frame as received (both FENDs, more than two
  // bytes). With a pane the pieces go to it; without one only the texts the
  // capture files take are made. A decoded frame goes through the decoder,
  // whose buffer keeps what earlier decoded frames left there. Returns the
  // number of lines of the block.
  int Make(std::span<const std::uint8_t> frame, const DateTime& arrival,
           const DisplayOptions& options, TextPane* pane);

  // Puts a stored frame's leftovers back before Make draws it again.
  void RestoreLeftovers(const Leftovers& leftovers);
  // The leftovers the last decoded frame read (none when it held its whole header).
  Leftovers LastLeftovers() const;

  // Of the last Make: the character line as single bytes (the .dump line)
  // and the hexadecimal dump, a blank after each pair.
  const std::string& AsciiText() const { return ascii_; }
  const std::string& HexText() const { return hex_; }

 private:
  void AppendHeaderLine(std::span<const std::uint8_t> frame, const DateTime& arrival,
                        bool timeStamp);
  void ShowDecodedHeader(TextPane& pane);
  void BuildDump(std::span<const std::uint8_t> bytes, bool forPane);
  void ShowDumpLines(TextPane& pane, PaneRole colour);

  Ax25Decoder decoder_;
  bool lastDecoded_ = false;
  // Rebuilt at every frame; kept to reuse their storage.
  std::string line_;
  // The dump lines, written in place; never shrunk, so that the next frame
  // finds it long enough without filling it first.
  std::string dump_;
  std::string hex_;
  std::string ascii_;      // single-byte, as the .dump file takes it
  std::string asciiPane_;  // the same characters as UTF-8 for the pane
};

// Block line count without making the text: a view's index needs it for
// every frame.
int BlockLineCount(bool decoded, std::size_t dumpedBytes);

}  // namespace vorlink
