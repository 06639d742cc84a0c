// A .kss capture converted to a pcap file through libpcap (vorlink-decode
// --pcap): one record per frame, link type 202, the KISS command byte and the
// unescaped data, as the live pcap capture writes it. Time frames are not
// written; each gives the frames after it their time, up to the next one
// (frames before the first time frame get 1970-01-01 00:00:00). A record
// holds its time as unsigned 32-bit seconds: a time frame before 1970 or
// after 2106-02-07 06:28:15.999999 UTC gives the nearest time it can hold,
// and is counted so that the caller can say so.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include <pcap/pcap.h>

#include "link/deframer.h"
#include "link/kiss_unescape.h"

namespace vorlink {

// The times a record holds, as a message names them.
inline constexpr std::string_view kRecordTimeRange =
    "1970-01-01 00:00:00 to 2106-02-07 06:28:15 UTC";

class PcapExport final : private UnitSink {
 public:
  PcapExport() = default;
  PcapExport(const PcapExport&) = delete;
  PcapExport& operator=(const PcapExport&) = delete;
  ~PcapExport();

  // Creates (or empties) file; false with libpcap's reason when it cannot.
  bool Open(const std::filesystem::path& file, std::string& error);
  void Feed(std::span<const std::uint8_t> bytes) { deframer_.Feed(bytes, *this); }
  // Writes what is left and closes; false with the reason when a write failed.
  bool Close(std::string& error);
  // Time frames whose time a record cannot hold, brought to its nearest end.
  std::size_t ClampedTimes() const { return clampedTimes_; }

 private:
  void OnUnit(std::span<const std::uint8_t> frame) override;
  void OnEscape(std::uint8_t) override {}

  pcap_t* dead_ = nullptr;
  pcap_dumper_t* dumper_ = nullptr;
  Deframer deframer_;
  UnescapedFrame unescaped_{};
  std::int64_t microseconds_ = 0;
  std::size_t clampedTimes_ = 0;
};

}  // namespace vorlink
