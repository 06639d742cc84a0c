// The three capture files of a run, named after the UTC minute they were
// created in (ddmmyyyy_hhmm):
//   .kss   raw KISS frames as received, each optionally after its time frame
//   .dump  one line of payload characters per decoded frame (CR LF)
//   .hex   one line of payload hexadecimal per decoded frame with a payload
// A file that could not be created stays closed and its writes are skipped;
// a failing write (disk full) is skipped too. Whatever was written reaches
// the operating system at every Flush, which the receive pipeline calls at
// the end of each receive event: before the window can paint the frames, so
// a crash or a kill loses nothing that was shown, at one write per file and
// event rather than per frame.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "time/clock.h"

namespace vorlink {

// "ddmmyyyy_hhmm" for a UTC date-time.
std::string CaptureStamp(const DateTime& utc);

class CaptureFiles {
 public:
  CaptureFiles() = default;
  CaptureFiles(const CaptureFiles&) = delete;
  CaptureFiles& operator=(const CaptureFiles&) = delete;
  ~CaptureFiles() { CloseCaptureFiles(); }

  // Creates .kss, .dump and .hex in folder, reading the clock anew for each
  // name; an existing file of the same name is emptied.
  void CreateCaptureFiles(const std::filesystem::path& folder, Clock& clock);
  // Closes .kss, .dump and .hex, in this order. Closing closed files does nothing.
  void CloseCaptureFiles();

  // Bytes for the .kss file: a time frame or a received frame.
  void WriteRaw(std::span<const std::uint8_t> bytes);
  // One line (CR LF added) of the payload text and payload hex files.
  void WritePayloadTextLine(std::string_view line);
  void WritePayloadHexLine(std::string_view line);
  // Hands everything written so far to the operating system.
  void Flush();

  const std::filesystem::path& KssFileName() const { return kssFileName_; }
  const std::filesystem::path& DumpFileName() const { return dumpFileName_; }
  const std::filesystem::path& HexFileName() const { return hexFileName_; }

 private:
  static std::FILE* Create(const std::filesystem::path& name, bool append);
  static void WriteLine(std::FILE* file, std::string_view line);

  std::filesystem::path kssFileName_;
  std::filesystem::path dumpFileName_;
  std::filesystem::path hexFileName_;
  std::FILE* kss_ = nullptr;   // #1
  std::FILE* dump_ = nullptr;  // #2
  std::FILE* hex_ = nullptr;   // #4
};

}  // namespace vorlink
