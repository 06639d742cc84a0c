// The pcap capture of a run (ddmmyyyy_hhmm.pcap), for packet analysers: the
// classic pcap layout, link type 202 (AX.25 with its KISS command byte), all
// numbers little-endian:
//
//   file header, 24 bytes, only at the start of a new file
//     0  magic 0xA1B2C3D4   4  version 2.4   8  time zone 0   12  accuracy 0
//     16 snapshot length 65535                20  link type 202
//   one record per frame
//     0  seconds since 1970 (UTC)   4  microseconds
//     8  bytes kept                 12  bytes on the wire (the same)
//     16 the KISS command byte and the unescaped frame data, without FENDs
//
// The bytes go through a CaptureFile, so a record is written whole or not at
// all, a torn record is cut off at open, and a start in the same minute
// appends records, not a second header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "base/clock.h"
#include "capture/capture_file.h"
#include "link/kiss_unescape.h"

namespace vorlink {

inline constexpr std::size_t kPcapFileHeaderLength = 24;
inline constexpr std::size_t kPcapRecordHeaderLength = 16;
inline constexpr std::uint32_t kPcapMagic = 0xA1B2C3D4;
inline constexpr std::uint16_t kPcapVersionMajor = 2;
inline constexpr std::uint16_t kPcapVersionMinor = 4;
inline constexpr std::uint32_t kPcapSnapshotLength = 65535;
inline constexpr std::uint32_t kLinkTypeAx25Kiss = 202;

// A UTC date-time as the record's time: microseconds since 1970.
std::int64_t PcapMicroseconds(const DateTime& utc);

// The 24 bytes of a new file.
std::string PcapFileHeader();

class PcapCapture {
 public:
  CaptureFile::Change Open(const std::filesystem::path& name) { return file_.Open(name); }

  // One received frame (both FENDs included) and its arrival time.
  void WriteFrame(std::span<const std::uint8_t> frame, std::int64_t epochMicroseconds);

  CaptureFile& File() { return file_; }
  const CaptureFile& File() const { return file_; }

 private:
  CaptureFile file_{CaptureUnit::kPcapRecord, PcapFileHeader()};
  UnescapedFrame unescaped_{};
  std::string record_;
};

}  // namespace vorlink
