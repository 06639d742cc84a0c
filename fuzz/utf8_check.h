// The fuzz targets' check that shown text is UTF-8.
#pragma once

// Checks run over every character shown; kept out of coverage tracing, they
// would cost more than the code under test and guide nothing.
#define VORLINK_NOT_TRACED __attribute__((no_sanitize("coverage")))

namespace vorlink::fuzz {

// Raw pointers: string_view members would be traced all the same.
VORLINK_NOT_TRACED inline bool IsUtf8(const unsigned char* p, const unsigned char* end) {
  while (p != end) {
    const unsigned lead = *p++;
    int continuation = 0;
    if (lead >= 0xF8) return false;
    if (lead >= 0xF0) continuation = 3;
    else if (lead >= 0xE0) continuation = 2;
    else if (lead >= 0xC0) continuation = 1;
    else if (lead >= 0x80) return false;
    if (end - p < continuation) return false;
    for (; continuation > 0; --continuation) {
      if ((*p++ & 0xC0) != 0x80) return false;
    }
  }
  return true;
}

}  // namespace vorlink::fuzz
