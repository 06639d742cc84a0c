// What vorlink-decode prints, gathered in one block of fixed size and written
// to its stream a whole block at a time. The first write that fails is kept
// with the system's reason, and nothing is written after it: a full disk or
// a closed pipe ends the run instead of going unseen.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorlink {

class TextOutput {
 public:
  static constexpr std::size_t kBlockSize = 64 * 1024;

  explicit TextOutput(std::FILE* out) : out_(out), block_(kBlockSize) {}
  TextOutput(const TextOutput&) = delete;
  TextOutput& operator=(const TextOutput&) = delete;

  void Append(std::string_view text);
  // Room for up to wanted bytes at the end of the block (at least one byte,
  // at most wanted); the caller fills some and hands the count to Commit.
  std::span<char> Room(std::size_t wanted) {
    if (used_ == block_.size()) WriteBlock();
    const std::size_t free = block_.size() - used_;
    return {block_.data() + used_, std::min(std::max<std::size_t>(wanted, 1), free)};
  }
  void Commit(std::size_t written) { used_ += written; }

  // Writes the block and the stream's own buffer; false once a write failed.
  bool Flush();
  bool Failed() const { return errorNumber_ != 0; }
  // The system's reason for the failed write.
  std::string Error() const;

 private:
  bool WriteBlock();

  std::FILE* out_;
  std::vector<char> block_;
  std::size_t used_ = 0;
  int errorNumber_ = 0;
};

}  // namespace vorlink
