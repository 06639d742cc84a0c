#include "capture/capture_repair.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "capture/pcap_capture.h"
#include "link/kiss.h"

namespace vorlink {
namespace {

constexpr std::size_t kBlock = 64 * 1024;
constexpr std::uint8_t kCr = '\r';
constexpr std::uint8_t kLf = '\n';
// In a pcap record header: microseconds, bytes kept, bytes on the wire.
constexpr std::size_t kMicrosecondsAt = 4;
constexpr std::size_t kKeptAt = 8;
constexpr std::size_t kWireAt = 12;
constexpr std::uint32_t kMicrosecondsPerSecond = 1'000'000;

// Reads the file through one block-sized window.
class BlockReader {
 public:
  BlockReader(int descriptor, off_t size) : descriptor_(descriptor), size_(size), block_(kBlock) {}

  off_t Size() const { return size_; }

  // count bytes from at into out; false when they cannot be read.
  bool Read(off_t at, std::size_t count, std::uint8_t* out) {
    while (count > 0) {
      if (!Load(at, std::min(count, kBlock))) return false;
      const std::size_t from = static_cast<std::size_t>(at - start_);
      const std::size_t n = std::min(count, length_ - from);
      std::memcpy(out, block_.data() + from, n);
      out += n;
      at += static_cast<off_t>(n);
      count -= n;
    }
    return true;
  }

  // Where the last byte equal to value lies before end: -1 when none, none
  // when the file cannot be read.
  std::optional<off_t> LastBefore(off_t end, std::uint8_t value) {
    while (end > 0) {
      const off_t start = std::max<off_t>(0, end - static_cast<off_t>(kBlock));
      if (!Load(start, static_cast<std::size_t>(end - start))) return std::nullopt;
      for (off_t at = end; at > start; --at) {
        if (block_[static_cast<std::size_t>(at - 1 - start_)] == value) return at - 1;
      }
      end = start;
    }
    return off_t{-1};
  }

  std::optional<std::uint8_t> ByteAt(off_t at) {
    std::uint8_t b = 0;
    if (!Read(at, 1, &b)) return std::nullopt;
    return b;
  }

 private:
  // Makes the window hold the count bytes from at (count at most a block).
  bool Load(off_t at, std::size_t count) {
    const off_t end = at + static_cast<off_t>(count);
    if (at >= start_ && end <= start_ + static_cast<off_t>(length_)) return true;
    if (end > size_) return false;
    const std::size_t want =
        static_cast<std::size_t>(std::min<off_t>(static_cast<off_t>(kBlock), size_ - at));
    std::size_t got = 0;
    while (got < want) {
      const ssize_t n =
          ::pread(descriptor_, block_.data() + got, want - got, at + static_cast<off_t>(got));
      if (n < 0 && errno == EINTR) continue;
      if (n == 0) errno = EIO;  // shorter than it was a moment ago
      if (n <= 0) return false;
      got += static_cast<std::size_t>(n);
    }
    start_ = at;
    length_ = got;
    return true;
  }

  int descriptor_;
  off_t size_;
  std::vector<std::uint8_t> block_;
  off_t start_ = 0;
  std::size_t length_ = 0;
};

// Frames never hold a FEND in their data and have at least one byte between
// their FENDs, so FEND FEND is always a closing and an opening one.
std::optional<off_t> WholeKissFrames(BlockReader& file) {
  const off_t size = file.Size();
  const auto last = file.LastBefore(size, kFend);
  if (!last) return std::nullopt;
  if (*last < 0) return off_t{0};
  // Bytes after the last FEND: it opened a frame that never closed.
  if (*last < size - 1) return *last;
  if (*last == 0) return off_t{0};
  const auto before = file.ByteAt(*last - 1);
  if (!before) return std::nullopt;
  return *before == kFend ? *last : size;  // an opening FEND alone, or a whole frame
}

std::optional<off_t> WholeLines(BlockReader& file) {
  off_t end = file.Size();
  for (;;) {
    const auto lf = file.LastBefore(end, kLf);
    if (!lf) return std::nullopt;
    if (*lf <= 0) return off_t{0};
    const auto cr = file.ByteAt(*lf - 1);
    if (!cr) return std::nullopt;
    if (*cr == kCr) return *lf + 1;
    end = *lf;
  }
}

std::uint32_t Little32(const std::uint8_t* at) {
  return std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 |
         std::uint32_t{at[3]} << 24;
}

std::optional<off_t> WholePcapRecords(BlockReader& file) {
  const std::string expected = PcapFileHeader();
  std::array<std::uint8_t, kPcapFileHeaderLength> header{};
  if (file.Size() < static_cast<off_t>(header.size())) return off_t{0};
  if (!file.Read(0, header.size(), header.data())) return std::nullopt;
  if (std::memcmp(header.data(), expected.data(), header.size()) != 0) return off_t{0};
  off_t at = static_cast<off_t>(header.size());
  std::array<std::uint8_t, kPcapRecordHeaderLength> record{};
  while (file.Size() - at >= static_cast<off_t>(record.size())) {
    if (!file.Read(at, record.size(), record.data())) return std::nullopt;
    const std::uint32_t kept = Little32(record.data() + kKeptAt);
    if (Little32(record.data() + kMicrosecondsAt) >= kMicrosecondsPerSecond ||
        kept > kPcapSnapshotLength || kept != Little32(record.data() + kWireAt)) {
      break;
    }
    const off_t next = at + static_cast<off_t>(record.size()) + static_cast<off_t>(kept);
    if (next > file.Size()) break;
    at = next;
  }
  return at;
}

}  // namespace

std::optional<off_t> WholeLength(int descriptor, off_t size, CaptureUnit unit) {
  BlockReader file(descriptor, size);
  switch (unit) {
    case CaptureUnit::kKissFrame: return WholeKissFrames(file);
    case CaptureUnit::kLine: return WholeLines(file);
    case CaptureUnit::kPcapRecord: return WholePcapRecords(file);
  }
  return size;
}

std::string TornUnitText(std::string_view file, std::uintmax_t bytes, CaptureUnit unit) {
  std::string_view word = "frame";
  if (unit == CaptureUnit::kLine) word = "line";
  if (unit == CaptureUnit::kPcapRecord) word = "record";
  std::string text(file);
  text += ": " + std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes") + " of a torn ";
  text += word;
  text += " removed";
  return text;
}

}  // namespace vorlink
