#include "link/kiss_unescape.h"

#include <algorithm>
#include <cstring>

namespace vorlink {
namespace {

// Between the two FENDs.
std::span<const std::uint8_t> Inner(std::span<const std::uint8_t> frame) {
  if (frame.size() < 2) return {};
  return frame.subspan(1, frame.size() - 2);
}

}  // namespace

std::span<const std::uint8_t> UnescapeFrame(std::span<const std::uint8_t> frame,
                                            UnescapedFrame& out) {
  const auto in = Inner(frame);
  const std::size_t n = std::min(in.size(), out.size());
  // Most frames hold no FESC: a plain copy.
  if (n == 0 || std::memchr(in.data(), kFesc, n) == nullptr) {
    std::copy_n(in.begin(), n, out.begin());
    return {out.data(), n};
  }
  std::size_t length = 0;
  bool escape = false;
  for (std::size_t i = 0; i < n; ++i) {
    std::uint8_t b = in[i];
    if (!escape && b == kFesc) {
      escape = true;
      continue;
    }
    if (escape && b == kTfend) b = kFend;
    if (escape && b == kTfesc) b = kFesc;
    escape = false;
    out[length++] = b;
  }
  return {out.data(), length};
}

std::size_t CountBadEscapes(std::span<const std::uint8_t> frame) {
  const auto in = Inner(frame);
  std::size_t bad = 0;
  const std::uint8_t* p = in.data();
  const std::uint8_t* const end = p + in.size();
  while (p != end) {
    const void* found = std::memchr(p, kFesc, static_cast<std::size_t>(end - p));
    if (found == nullptr) break;
    p = static_cast<const std::uint8_t*>(found) + 1;
    // A FESC right before the closing FEND escapes nothing.
    if (p == end) return bad + 1;
    // The byte after a FESC is taken as data whatever it is, as UnescapeFrame takes it.
    if (*p != kTfend && *p != kTfesc) ++bad;
    ++p;
  }
  return bad;
}

}  // namespace vorlink
