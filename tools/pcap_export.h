// A .kss capture converted to a pcap file through libpcap (vorlink-decode
// --pcap): one record per frame, link type 202, the KISS command byte and the
// unescaped data, as the live pcap capture writes it. Time frames are not
// written; each gives the frames after it their time, up to the next one
// (frames before the first time frame get 1970-01-01 00:00:00).
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include <pcap/pcap.h>

#include "link/deframer.h"
#include "link/kiss_unescape.h"

namespace vorlink {

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

 private:
  void OnUnit(std::span<const std::uint8_t> frame) override;
  void OnEscape(std::uint8_t) override {}

  pcap_t* dead_ = nullptr;
  pcap_dumper_t* dumper_ = nullptr;
  Deframer deframer_;
  UnescapedFrame unescaped_{};
  std::int64_t microseconds_ = 0;
};

}  // namespace vorlink
