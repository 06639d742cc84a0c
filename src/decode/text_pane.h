// A rich-text pane that takes coloured text. Line breaks inside the text are
// single carriage returns ("\r"); the text is UTF-8.
#pragma once

#include <string_view>

#include "decode/pane_role.h"

namespace vorlink {

class TextPane {
 public:
  virtual ~TextPane() = default;
  virtual void AppendColoredText(std::string_view text, PaneRole colour) = 0;
};

}  // namespace vorlink
