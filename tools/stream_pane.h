// A text pane that prints: each pane line becomes one output line, in ANSI
// colours when asked to.
#pragma once

#include <string_view>

#include "decode/text_pane.h"
#include "text_output.h"

namespace vorlink {

class StreamPane final : public TextPane {
 public:
  StreamPane(TextOutput& out, bool colour) : out_(out), colour_(colour) {}
  StreamPane(const StreamPane&) = delete;
  StreamPane& operator=(const StreamPane&) = delete;

  void AppendColoredText(std::string_view text, PaneRole colour) override;

 private:
  void AppendPlain(std::string_view text);
  void AppendColoured(std::string_view text, PaneRole colour);

  TextOutput& out_;
  bool colour_;
};

}  // namespace vorlink
