// A pane that keeps every coloured piece, and can give back its lines.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "decode/text_pane.h"

namespace vorlink::testing {

class RecordingPane final : public TextPane {
 public:
  std::vector<std::pair<std::string, PaneRole>> pieces;

  void AppendColoredText(std::string_view text, PaneRole colour) override {
    pieces.emplace_back(std::string(text), colour);
  }
  // The whole text with "\r" line breaks.
  std::string Text() const {
    std::string all;
    for (const auto& [text, colour] : pieces) all += text;
    return all;
  }
  // The pane's lines (split at "\r"); the text after the last break is dropped.
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::string current;
    for (char c : Text()) {
      if (c == '\r') {
        lines.push_back(current);
        current.clear();
      } else {
        current += c;
      }
    }
    return lines;
  }
};

}  // namespace vorlink::testing
