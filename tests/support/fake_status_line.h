// A status line that keeps every text it was given, in order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/status_line.h"

namespace vorlink::testing {

class FakeStatusLine final : public StatusLine {
 public:
  std::vector<std::string> texts;
  void SetSimpleText(std::string_view text) override { texts.emplace_back(text); }
  std::string Current() const { return texts.empty() ? std::string() : texts.back(); }
};

}  // namespace vorlink::testing
