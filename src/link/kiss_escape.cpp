#include "link/kiss_escape.h"

#include "link/kiss.h"

namespace vorlink {

void AppendKissFrame(std::vector<std::uint8_t>& out, std::uint8_t command,
                     std::span<const std::uint8_t> data) {
  out.push_back(kFend);
  out.push_back(command);
  for (std::uint8_t b : data) {
    if (b == kFend) {
      out.push_back(kFesc);
      out.push_back(kTfend);
    } else if (b == kFesc) {
      out.push_back(kFesc);
      out.push_back(kTfesc);
    } else {
      out.push_back(b);
    }
  }
  out.push_back(kFend);
}

}  // namespace vorlink
