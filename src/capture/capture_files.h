// The three capture files of a run, named after the UTC minute they were
// created in (ddmmyyyy_hhmm):
//   .kss   raw KISS frames as received, each optionally after its time frame
//   .dump  one line of payload characters per decoded frame (CR LF)
//   .hex   one line of payload hexadecimal per decoded frame with a payload
//   .pcap  one record per frame for packet analysers (see pcap_capture.h)
// A start in the same minute as an earlier one appends to that run's files,
// after cutting off what a kill or a power cut left of a unit at their end.
// A file that could not be created is paused like a failed write and tried
// again at each write.
// Whatever was written reaches the operating system at every Flush, which
// the receive pipeline calls at the end of each receive event: before the
// window can paint the frames, so a crash or a kill loses nothing that was
// shown, at one write per file and event rather than per frame. A write that
// fails (disk full) leaves the file as it was before the event and pauses it
// until a later event's write goes through; the status line tells both.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "capture/capture_file.h"
#include "capture/pcap_capture.h"
#include "base/status_line.h"
#include "base/clock.h"

namespace vorlink {

class CaptureFiles {
 public:
  // Without a writer the files are written with write(2).
  explicit CaptureFiles(FileWriter* writer = nullptr) : writer_(writer) {}
  CaptureFiles(const CaptureFiles&) = delete;
  CaptureFiles& operator=(const CaptureFiles&) = delete;
  ~CaptureFiles() { CloseCaptureFiles(); }

  // Opens .kss, .dump, .hex and .pcap in folder for appending, all named
  // after one reading of the clock. Repairs, pauses and resumptions are told
  // to status.
  void CreateCaptureFiles(const std::filesystem::path& folder, Clock& clock, StatusLine& status);
  // Closes .kss, .dump, .hex and .pcap, in this order. Closing closed files does nothing.
  void CloseCaptureFiles();

  // Bytes for the .kss file: a time frame or a received frame.
  void WriteRaw(std::span<const std::uint8_t> bytes);
  // One line (CR LF added) of the payload text and payload hex files.
  void WritePayloadTextLine(std::string_view line);
  void WritePayloadHexLine(std::string_view line);
  // One received frame (both FENDs) for the .pcap file, with its UTC arrival time.
  void WritePcapFrame(std::span<const std::uint8_t> frame, const DateTime& arrival);
  // Hands everything written so far to the operating system.
  void Flush();

  const std::filesystem::path& KssFileName() const { return kss_.Name(); }
  const std::filesystem::path& DumpFileName() const { return dump_.Name(); }
  const std::filesystem::path& HexFileName() const { return hex_.Name(); }
  const std::filesystem::path& PcapFileName() const { return pcap_.File().Name(); }
  // From CreateCaptureFiles to CloseCaptureFiles, paused or not (the four
  // open and close together): outside it their lines need not be made.
  bool Capturing() const { return kss_.Capturing(); }
  // True while a write to any of them has failed and none has gone through since.
  bool AnyPaused() const {
    return kss_.Paused() || dump_.Paused() || hex_.Paused() || pcap_.File().Paused();
  }

 private:
  void WriteLine(CaptureFile& file, std::string_view line);
  void Commit(CaptureFile& file);
  void Tell(CaptureFile& file, CaptureFile::Change change);

  FileWriter* writer_;
  StatusLine* status_ = nullptr;
  CaptureFile kss_{CaptureUnit::kKissFrame};  // #1
  CaptureFile dump_{CaptureUnit::kLine};      // #2
  CaptureFile hex_{CaptureUnit::kLine};       // #4
  PcapCapture pcap_;
};

}  // namespace vorlink
