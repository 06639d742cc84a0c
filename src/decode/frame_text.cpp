#include "decode/frame_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "base/text.h"
#include "base/utc.h"
#include "decode/code_page.h"

namespace vorlink {
namespace {

constexpr char kPaneLineBreak = '\r';
// Empty line, header, character line, empty line and underscores.
constexpr int kBlockFixedLines = 5;
constexpr int kDecodedHeaderLines = 2;
constexpr std::size_t kHexCharsPerByte = 3;

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

// A byte's text in the pane's character line: "." for a control byte, the
// code page's character otherwise. Four bytes are copied whatever the
// length, so that a line of mixed characters is written without a branch.
constexpr std::array<code_page::Encoded, 256> kPaneCharacters = [] {
  std::array<code_page::Encoded, 256> characters{};
  for (std::size_t b = 0; b < characters.size(); ++b) {
    characters[b] = b < kFirstPrintable ? code_page::Encoded{{'.'}, 1}
                                        : code_page::kTable[b];
  }
  return characters;
}();
constexpr std::size_t kMaxUtf8PerCharacter = 3;
static_assert(sizeof(kPaneCharacters[0].bytes) == kMaxUtf8PerCharacter + 1);

void AppendHexNoLeadingZero(std::string& out, std::uint8_t value) {
  if (value >= 0x10) out += kHexDigits[value >> 4];
  out += kHexDigits[value & 0x0F];
}

}  // namespace

int BlockLineCount(bool decoded, std::size_t dumpedBytes) {
  const std::size_t dumpLines = (dumpedBytes + kDumpBytesPerLine - 1) / kDumpBytesPerLine;
  return kBlockFixedLines + (decoded ? kDecodedHeaderLines : 0) + static_cast<int>(dumpLines);
}

void FrameText::RestoreLeftovers(const Leftovers& leftovers) {
  vorlink::RestoreLeftovers(decoder_, leftovers);
}

void RestoreLeftovers(Ax25Decoder& decoder, const Leftovers& leftovers) {
  // Beyond the leftovers nothing is read; zeros keep a frame stored without
  // them (drawn raw at arrival) the same whenever it is decoded.
  auto& buffer = decoder.DecodedFrame;
  const auto from = static_cast<std::size_t>(std::clamp(leftovers.offset, 0, kMaxHeaderOffset));
  std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(from),
            buffer.begin() + kMaxHeaderOffset + 1, std::uint8_t{0});
  const std::size_t n = std::min(leftovers.bytes.size(), buffer.size() - from);
  std::copy_n(leftovers.bytes.begin(), n, buffer.begin() + static_cast<std::ptrdiff_t>(from));
}

Leftovers FrameText::LastLeftovers() const {
  if (!lastDecoded_ || decoder_.PayloadOffset <= decoder_.DecodedLength) return {};
  // The decoder read up to the byte before the payload offset.
  const auto from = static_cast<std::size_t>(decoder_.DecodedLength);
  const auto to = static_cast<std::size_t>(decoder_.PayloadOffset);
  return {decoder_.DecodedLength, std::span(decoder_.DecodedFrame).subspan(from, to - from)};
}

void FrameText::AppendHeaderLine(std::span<const std::uint8_t> frame, const DateTime& arrival,
                                 bool timeStamp) {
  const std::uint8_t command = frame.size() > 1 ? frame[1] : 0;
  line_.clear();
  if (timeStamp) {
    char stamp[kTimestampLength];
    FormatTimestamp(arrival, stamp);
    line_.append(stamp, kTimestampLength);
    line_ += kTimestampSeparator;
  }
  line_ += '[';
  AppendDecimal(line_, static_cast<long long>(frame.size()));
  line_ += " Bytes ";
  line_ += ProtocolText(command);
  line_ += ']';
  line_ += kPaneLineBreak;
}

void FrameText::ShowDecodedHeader(TextPane& pane) {
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
  pane.AppendColoredText(line_, PaneRole::Header);

  line_.clear();
  AppendPrintable(line_, decoder_.AddressLine);
  line_ += kPaneLineBreak;
  pane.AppendColoredText(line_, PaneRole::Plain);
}

void FrameText::BuildDump(std::span<const std::uint8_t> bytes, bool forPane) {
  // Runs for every byte shown: size the texts once and write in place.
  constexpr std::uint8_t kDelete = 0x7F;
  // Each pair is stored as its four bytes whole, the fourth overwritten by
  // the next pair: one store instead of three; the last one lands in a
  // spare byte cut off afterwards.
  constexpr std::size_t kPairBytes = sizeof(kHexPairs[0]);
  hex_.resize(kHexCharsPerByte * bytes.size() + kPairBytes);
  ascii_.resize(bytes.size());
  char* hex = hex_.data();
  char* ascii = ascii_.data();
  for (const std::uint8_t b : bytes) {
    std::memcpy(hex, kHexPairs[b].data(), kPairBytes);
    hex += kHexCharsPerByte;
  }
  hex_.resize(kHexCharsPerByte * bytes.size());
  // An indexed loop with a select and a maximum: the compiler makes vector code of it.
  std::uint8_t highest = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint8_t b = bytes[i];
    ascii[i] = b < kFirstPrintable ? '.' : static_cast<char>(b);
    highest = std::max(highest, b);
  }
  if (!forPane) return;
  if (highest < kDelete) {
    asciiPane_ = ascii_;  // printable ASCII is itself in the code page
    return;
  }
  // The last character's spare byte lands one past the longest text.
  asciiPane_.resize(kMaxUtf8PerCharacter * bytes.size() + 1);
  char* pane = asciiPane_.data();
  for (const std::uint8_t b : bytes) {
    const code_page::Encoded& c = kPaneCharacters[b];
    std::memcpy(pane, c.bytes, sizeof(c.bytes));
    pane += c.length;
  }
  asciiPane_.resize(static_cast<std::size_t>(pane - asciiPane_.data()));
}

void FrameText::ShowDumpLines(TextPane& pane, PaneRole colour) {
  // The lines share a colour: one piece for all of them. Each starts with
  // its first byte's number after a blank, blanks up to four characters.
  constexpr std::size_t kBytesPerLine = kDumpBytesPerLine;
  constexpr std::size_t kCharsPerLine = kHexCharsPerByte * kBytesPerLine;
  constexpr std::size_t kNumberWidth = 4;
  constexpr std::size_t kMaxDigits = 20;
  constexpr std::string_view kArrow = " > ";
  constexpr std::size_t kMaxLineLength = 1 + kMaxDigits + kArrow.size() + kCharsPerLine + 1;
  const std::size_t lines = (hex_.size() + kCharsPerLine - 1) / kCharsPerLine;
  if (dump_.size() < lines * kMaxLineLength) dump_.resize(lines * kMaxLineLength);
  char* out = dump_.data();
  for (std::size_t k = 0; k < lines; ++k) {
    char* const start = out;
    *out++ = ' ';
    out = std::to_chars(out, out + kMaxDigits, k * kBytesPerLine + 1).ptr;
    while (out < start + kNumberWidth) *out++ = ' ';
    out = std::copy(kArrow.begin(), kArrow.end(), out);
    const std::string_view hex = std::string_view(hex_).substr(k * kCharsPerLine, kCharsPerLine);
    out = std::copy(hex.begin(), hex.end(), out);
    *out++ = kPaneLineBreak;
  }
  pane.AppendColoredText(std::string_view(dump_.data(), static_cast<std::size_t>(out - dump_.data())),
                         colour);
}

int FrameText::Make(std::span<const std::uint8_t> frame, const DateTime& arrival,
                    const DisplayOptions& options, TextPane* pane) {
  if (pane != nullptr) {
    AppendHeaderLine(frame, arrival, options.timeStamp);
    pane->AppendColoredText(std::string_view(&kPaneLineBreak, 1), PaneRole::Plain);
    pane->AppendColoredText(line_, PaneRole::Header);
  }

  const bool analyze = options.decode;
  lastDecoded_ = analyze;
  PaneRole dumpColour = PaneRole::RawDump;
  if (analyze) {
    dumpColour = PaneRole::DecodedDump;
    decoder_.DecodeAx25Header(frame);
    if (pane != nullptr) ShowDecodedHeader(*pane);
    BuildDump(decoder_.Payload(), pane != nullptr);
  } else {
    BuildDump(frame, pane != nullptr);
  }
  const int lines = BlockLineCount(analyze, ascii_.size());
  if (pane == nullptr) return lines;

  if (!hex_.empty()) ShowDumpLines(*pane, dumpColour);
  asciiPane_ += kPaneLineBreak;
  pane->AppendColoredText(asciiPane_, PaneRole::Characters);

  line_.assign(1, kPaneLineBreak);
  line_.append(kSeparatorLength, '_');
  line_ += kPaneLineBreak;
  pane->AppendColoredText(line_, PaneRole::Separator);
  return lines;
}

}  // namespace vorlink
