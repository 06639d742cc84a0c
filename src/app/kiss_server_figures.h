// What the KISS server has done since start-up (or "Clear Counter"), for the
// statistics window; the number of clients is the one connected now.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorlink {

struct KissServerFigures {
  std::size_t clients = 0;
  std::uint64_t framesToTnc = 0;
  // Refused whole because the TNC's queue was full.
  std::uint64_t framesTncStalled = 0;
  // The port would not take them (closed, or lost).
  std::uint64_t framesNotSent = 0;
  // A bad escape, or shorter than an AX.25 header.
  std::uint64_t framesMalformed = 0;
  std::uint64_t clientsRefused = 0;
  std::uint64_t clientsDropped = 0;

  // Back to 0, clients left as they are.
  void ClearCounts() { *this = KissServerFigures{clients}; }
};

}  // namespace vorlink
