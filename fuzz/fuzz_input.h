// The fuzzer's input read as a little program: one byte at a time, or a run
// of bytes, with zeros once it is spent, so every input is a whole program.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vorlink::fuzz {

class FuzzInput {
 public:
  explicit FuzzInput(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool Empty() const { return bytes_.empty(); }
  std::uint8_t Byte() {
    if (bytes_.empty()) return 0;
    const std::uint8_t b = bytes_.front();
    bytes_ = bytes_.subspan(1);
    return b;
  }
  // Two bytes, high first.
  std::size_t Word() { return std::size_t{Byte()} << 8 | Byte(); }
  // At most count bytes, fewer when the input runs out.
  std::span<const std::uint8_t> Bytes(std::size_t count) {
    const auto run = bytes_.first(std::min(count, bytes_.size()));
    bytes_ = bytes_.subspan(run.size());
    return run;
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

// Runs the input as a program: Program(in) reads its set-up, Step(in) one
// operation at a time while input is left, Finish() its last checks.
template <typename Program>
int RunProgram(const std::uint8_t* data, std::size_t size) {
  FuzzInput in({data, size});
  Program program(in);
  while (!in.Empty()) program.Step(in);
  program.Finish();
  return 0;
}

// A broken invariant stops the run like a crash, with the input kept.
inline void Require(bool holds) {
  if (!holds) __builtin_trap();
}

}  // namespace vorlink::fuzz
