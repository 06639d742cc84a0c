#include "stream_pane.h"

namespace vorlink {
namespace {

constexpr char kPaneLineBreak = '\r';
constexpr std::string_view kReset = "\x1b[0m";

// 16-colour codes, readable on dark and light terminals alike; black text
// would vanish on a dark one, so it keeps the terminal's own colour.
std::string_view AnsiCode(PaneRole colour) {
  switch (colour) {
    case PaneRole::Plain: return "\x1b[39m";
    case PaneRole::Header: return "\x1b[90m";
    case PaneRole::DecodedDump: return "\x1b[31m";
    case PaneRole::RawDump: return "\x1b[94m";
    case PaneRole::Characters: return "\x1b[32m";
    case PaneRole::Separator: return "\x1b[90m";
    case PaneRole::Title: return "\x1b[94m";
  }
  return kReset;
}

}  // namespace

void StreamPane::AppendColoredText(std::string_view text, PaneRole colour) {
  if (colour_) {
    AppendColoured(text, colour);
  } else {
    AppendPlain(text);
  }
}

void StreamPane::AppendPlain(std::string_view text) {
  // Copied and translated in one pass, straight into the output block.
  while (!text.empty()) {
    const std::span<char> room = out_.Room(text.size());
    // An indexed loop with a select: the compiler turns it into vector code.
    for (std::size_t i = 0; i < room.size(); ++i) {
      const char c = text[i];
      room[i] = c == kPaneLineBreak ? '\n' : c;
    }
    out_.Commit(room.size());
    text.remove_prefix(room.size());
  }
}

void StreamPane::AppendColoured(std::string_view text, PaneRole colour) {
  while (!text.empty()) {
    const std::size_t end = text.find(kPaneLineBreak);
    const std::string_view piece = text.substr(0, end);
    if (!piece.empty()) {
      out_.Append(AnsiCode(colour));
      out_.Append(piece);
      out_.Append(kReset);
    }
    if (end == std::string_view::npos) break;
    out_.Append("\n");
    text.remove_prefix(end + 1);
  }
}

}  // namespace vorlink
