#include "pcap_export.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "capture/pcap_capture.h"
#include "capture/time_frame.h"

namespace vorlink {
namespace {
constexpr std::int64_t kMicrosecondsPerSecond = 1'000'000;
// The last microsecond of 2106-02-07 06:28:15 UTC: 2^32 seconds are the most
// a record's time field takes.
constexpr std::int64_t kLatestRecordTime = (std::int64_t{1} << 32) * kMicrosecondsPerSecond - 1;
}  // namespace

PcapExport::~PcapExport() {
  std::string ignored;
  Close(ignored);
}

bool PcapExport::Open(const std::filesystem::path& file, std::string& error) {
  dead_ = pcap_open_dead(DLT_AX25_KISS, static_cast<int>(kPcapSnapshotLength));
  if (dead_ == nullptr) {
    error = "libpcap cannot make a capture of link type 202";
    return false;
  }
  dumper_ = pcap_dump_open(dead_, file.c_str());
  if (dumper_ == nullptr) {
    error = pcap_geterr(dead_);
    return false;
  }
  return true;
}

void PcapExport::OnUnit(std::span<const std::uint8_t> frame) {
  if (frame.size() <= 2 || dumper_ == nullptr) return;
  if (const auto time = ReadTimeFrame(frame)) {
    const std::int64_t microseconds = PcapMicroseconds(*time);
    microseconds_ = std::clamp<std::int64_t>(microseconds, 0, kLatestRecordTime);
    if (microseconds_ != microseconds) ++clampedTimes_;
    return;
  }
  const auto data = UnescapeFrame(frame, unescaped_);
  pcap_pkthdr header{};
  header.ts.tv_sec = static_cast<time_t>(microseconds_ / kMicrosecondsPerSecond);
  header.ts.tv_usec = static_cast<suseconds_t>(microseconds_ % kMicrosecondsPerSecond);
  header.caplen = static_cast<bpf_u_int32>(data.size());
  header.len = header.caplen;
  pcap_dump(reinterpret_cast<u_char*>(dumper_), &header, data.data());
}

bool PcapExport::Close(std::string& error) {
  bool written = true;
  if (dumper_ != nullptr) {
    // pcap_dump reports nothing: the stream's error flag tells.
    written = pcap_dump_flush(dumper_) == 0 && std::ferror(pcap_dump_file(dumper_)) == 0;
    if (!written) error = std::strerror(errno);
    pcap_dump_close(dumper_);
    dumper_ = nullptr;
  }
  if (dead_ != nullptr) {
    pcap_close(dead_);
    dead_ = nullptr;
  }
  return written;
}

}  // namespace vorlink
