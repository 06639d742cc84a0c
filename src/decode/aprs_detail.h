// A report as labelled lines with units, for a detail tree: one line per
// field, members of a group (weather, the packet inside a third-party
// report) one level deeper, a list on one line.
#pragma once

#include <string>
#include <vector>

#include "decode/aprs_report.h"

namespace vorlink {

struct AprsDetailLine {
  int level = 0;  // 0 top, 1 in a group...
  std::string label;
  std::string value;  // UTF-8; bytes of 0x80 and above as Latin-1

  bool operator==(const AprsDetailLine&) const = default;
};

std::vector<AprsDetailLine> AprsDetailLines(const AprsReport& report);

// Received bytes as UTF-8 text: Latin-1 above 0x7F, control bytes as ".".
void AppendLatin1(std::string& out, std::string_view bytes);

}  // namespace vorlink
