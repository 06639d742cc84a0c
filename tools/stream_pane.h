// A text pane that prints: each pane line becomes one output line, in ANSI
// colours when asked to. Output is gathered and written in large pieces.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "decode/text_pane.h"

namespace vorlink {

class StreamPane final : public TextPane {
 public:
  StreamPane(std::FILE* out, bool colour) : out_(out), colour_(colour) {}
  StreamPane(const StreamPane&) = delete;
  StreamPane& operator=(const StreamPane&) = delete;
  ~StreamPane() override { Flush(); }

  void AppendColoredText(std::string_view text, PaneRole colour) override;
  void Flush();

 private:
  std::FILE* out_;
  bool colour_;
  std::string buffer_;
};

}  // namespace vorlink
