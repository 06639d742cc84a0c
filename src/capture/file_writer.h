// Where a capture file's bytes go: write(2) on its descriptor, or a stand-in
// that fails on demand, so a full disk can be had in any test.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <span>

namespace vorlink {

class FileWriter {
 public:
  virtual ~FileWriter() = default;
  // As write(2): the count written, or -1 with errno set.
  virtual ssize_t Write(int descriptor, std::span<const std::uint8_t> bytes) = 0;
};

}  // namespace vorlink
