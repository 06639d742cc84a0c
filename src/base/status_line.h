// The one-line status text of the main window. Every report replaces the
// whole line; the last writer wins.
#pragma once

#include <string_view>

namespace vorlink {

class StatusLine {
 public:
  virtual ~StatusLine() = default;
  virtual void SetSimpleText(std::string_view text) = 0;
};

}  // namespace vorlink
