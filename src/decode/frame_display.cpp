#include "decode/frame_display.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <iterator>

#include "base/text.h"
#include "base/utc.h"
#include "decode/code_page.h"

namespace vorlink {
namespace {

constexpr char kPaneLineBreak = '\r';

// "00 " to "FF ": a dumped byte's text, looked up whole.
constexpr std::array<std::array<char, 4>, 256> kHexPairs = [] {
  std::array<std::array<char, 4>, 256> pairs{};
  for (std::size_t b = 0; b < pairs.size(); ++b) {
    pairs[b] = {kHexDigits[b >> 4], kHexDigits[b & 0x0F], ' ', '\0'};
  }
  return pairs;
}();
constexpr std::string_view kTimestampSeparator = " UTC: ";
constexpr std::string_view kNoPid = "-";
constexpr std::uint8_t kFirstPrintable = 0x20;

void AppendHexNoLeadingZero(std::string& out, std::uint8_t value) {
  if (value >= 0x10) out += kHexDigits[value >> 4];
  out += kHexDigits[value & 0x0F];
}

// A callsign may decode to control characters; the pane shows them as the
// character line does, so that no frame can break or mangle the block.
void AppendPrintable(std::string& out, std::string_view text) {
  const std::size_t start = out.size();
  out += text;
  for (std::size_t i = start; i < out.size(); ++i) {
    const auto u = static_cast<unsigned char>(out[i]);
    if (u < kFirstPrintable || u == 0x7F) out[i] = '.';
  }
}

}  // namespace

std::string_view ProtocolText(std::uint8_t commandByte) {
  switch (commandByte) {
    case kCommandData: return "KISS Frame (without CRC)";
    case kCommandSmack: return "SMACK Frame (with CRC)";
    case kCommandTime: return "TIME Frame";
    default: return "unknown Protocol";
  }
}

void AppendPadNumber(std::string& out, int number, int width) {
  const std::size_t start = out.size();
  out += number < 0 ? '-' : ' ';
  AppendDecimal(out, number < 0 ? -static_cast<long long>(number) : number);
  const std::size_t used = out.size() - start;
  if (used < static_cast<std::size_t>(width)) out.append(static_cast<std::size_t>(width) - used, ' ');
}

void FrameDisplay::AppendTimestamp(std::string& out) {
  char stamp[kTimestampLength];
  FormatTimestamp(UtcNowPrecise(clock_), stamp);
  out.append(stamp, kTimestampLength);
  out += kTimestampSeparator;
}

void FrameDisplay::ShowDecodedHeader() {
  line_.assign("ctrl: ");
  AppendDecimal(line_, decoder_.ControlByte);
  line_ += "   PID: ";
  if (decoder_.HasPid) {
    AppendHexNoLeadingZero(line_, decoder_.PidByte);
  } else {
    line_ += kNoPid;
  }
  line_ += " {";
  line_ += decoder_.FrameTypeText;
  line_ += "}   ";
  AppendDecimal(line_, decoder_.PayloadLength());
  line_ += " Payload Bytes";
  line_ += kPaneLineBreak;
  pane_.AppendColoredText(line_, PaneColour::Grey);

  line_.clear();
  AppendPrintable(line_, decoder_.AddressLine);
  line_ += kPaneLineBreak;
  pane_.AppendColoredText(line_, PaneColour::Black);
}

void FrameDisplay::BuildDump(std::span<const std::uint8_t> bytes) {
  // Runs for every byte shown: size the texts once and write in place. A
  // character takes at most three bytes of UTF-8 in the pane text.
  constexpr std::size_t kMaxUtf8PerCharacter = 3;
  constexpr std::uint8_t kDelete = 0x7F;
  const std::size_t paneStart = AsciiPaneText.size();
  HexText.resize(HexText.size() + 3 * bytes.size());
  AsciiText.resize(AsciiText.size() + bytes.size());
  AsciiPaneText.resize(paneStart + kMaxUtf8PerCharacter * bytes.size());
  char* hex = HexText.data() + HexText.size() - 3 * bytes.size();
  char* ascii = AsciiText.data() + AsciiText.size() - bytes.size();
  char* pane = AsciiPaneText.data() + paneStart;
  for (const std::uint8_t b : bytes) {
    std::memcpy(hex, kHexPairs[b].data(), 3);
    hex += 3;
    if (b < kFirstPrintable) {
      *ascii++ = '.';
      *pane++ = '.';
    } else {
      *ascii++ = static_cast<char>(b);
      if (b < kDelete) {
        *pane++ = static_cast<char>(b);  // printable ASCII is itself in the code page
      } else {
        const std::string_view c = CodePageCharacter(b);
        pane = std::copy(c.begin(), c.end(), pane);
      }
    }
  }
  AsciiPaneText.resize(static_cast<std::size_t>(pane - AsciiPaneText.data()));
}

void FrameDisplay::ShowDumpLines(PaneColour colour) {
  constexpr std::size_t kCharsPerLine = 3 * kDumpBytesPerLine;
  for (std::size_t k = 0; k * kCharsPerLine < HexText.size(); ++k) {
    line_.clear();
    AppendPadNumber(line_, static_cast<int>(k) * kDumpBytesPerLine + 1, 4);
    line_ += " > ";
    line_.append(HexText, k * kCharsPerLine, kCharsPerLine);
    line_ += kPaneLineBreak;
    pane_.AppendColoredText(line_, colour);
  }
}

void FrameDisplay::ShowFrame(std::span<const std::uint8_t> frame) {
  const std::uint8_t command = frame.size() > 1 ? frame[1] : 0;
  line_.clear();
  if (options_.timeStamp) AppendTimestamp(line_);
  line_ += '[';
  AppendDecimal(line_, static_cast<long long>(frame.size()));
  line_ += " Bytes ";
  line_ += ProtocolText(command);
  line_ += ']';
  line_ += kPaneLineBreak;
  pane_.AppendColoredText(std::string_view(&kPaneLineBreak, 1), PaneColour::Black);
  pane_.AppendColoredText(line_, PaneColour::Grey);

  HexText.clear();
  AsciiText.clear();
  AsciiPaneText.clear();
  const bool analyze = options_.decode;
  PaneColour dumpColour = PaneColour::Blue;
  if (analyze) {
    dumpColour = PaneColour::Red;
    decoder_.DecodeAx25Header(frame);
    ShowDecodedHeader();
    BuildDump(decoder_.Payload());
  } else {
    BuildDump(frame);
  }

  if (!HexText.empty()) {
    if (analyze && options_.hexFile) {
      captures_.WritePayloadHexLine(std::string_view(HexText).substr(0, HexText.size() - 1));
    }
    ShowDumpLines(dumpColour);
  }
  AsciiPaneText += kPaneLineBreak;
  pane_.AppendColoredText(AsciiPaneText, PaneColour::Green);

  line_.assign(1, kPaneLineBreak);
  line_.append(kSeparatorLength, '_');
  line_ += kPaneLineBreak;
  pane_.AppendColoredText(line_, PaneColour::SystemGreyText);

  if (analyze) {
    line_.clear();
    if (options_.timeFrames) AppendTimestamp(line_);
    line_ += AsciiText;
    captures_.WritePayloadTextLine(line_);
  }
  lastPacketTime_ = UtcNow(clock_);
}

}  // namespace vorlink
