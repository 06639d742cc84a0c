#include "decode/capture_files.h"

#include "time/utc.h"

namespace vorlink {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kFileBufferSize = 64 * 1024;

void PutTwo(std::string& out, int value) {
  out += static_cast<char>('0' + value / 10 % 10);
  out += static_cast<char>('0' + value % 10);
}

void Close(std::FILE*& file) {
  if (file != nullptr) std::fclose(file);
  file = nullptr;
}

}  // namespace

std::string CaptureStamp(const DateTime& utc) {
  std::string stamp;
  PutTwo(stamp, utc.day);
  PutTwo(stamp, utc.month);
  PutTwo(stamp, utc.year / 100);
  PutTwo(stamp, utc.year % 100);
  stamp += '_';
  PutTwo(stamp, utc.hour);
  PutTwo(stamp, utc.minute);
  return stamp;
}

std::FILE* CaptureFiles::Create(const std::filesystem::path& name, bool append) {
  std::FILE* file = std::fopen(name.c_str(), "wb");
  if (file != nullptr && append) {
    // Created empty first, then held open for appending lines.
    std::fclose(file);
    file = std::fopen(name.c_str(), "ab");
  }
  if (file != nullptr) std::setvbuf(file, nullptr, _IOFBF, kFileBufferSize);
  return file;
}

void CaptureFiles::CreateCaptureFiles(const std::filesystem::path& folder, Clock& clock) {
  CloseCaptureFiles();
  kssFileName_ = folder / (CaptureStamp(UtcNow(clock)) + ".kss");
  kss_ = Create(kssFileName_, false);
  dumpFileName_ = folder / (CaptureStamp(UtcNow(clock)) + ".dump");
  dump_ = Create(dumpFileName_, true);
  hexFileName_ = folder / (CaptureStamp(UtcNow(clock)) + ".hex");
  hex_ = Create(hexFileName_, true);
}

void CaptureFiles::CloseCaptureFiles() {
  Close(kss_);
  Close(dump_);
  Close(hex_);
}

void CaptureFiles::WriteRaw(std::span<const std::uint8_t> bytes) {
  if (kss_ == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), kss_);
}

void CaptureFiles::WriteLine(std::FILE* file, std::string_view line) {
  if (file == nullptr) return;
  std::fwrite(line.data(), 1, line.size(), file);
  std::fwrite(kLineEnd.data(), 1, kLineEnd.size(), file);
}

void CaptureFiles::WritePayloadTextLine(std::string_view line) { WriteLine(dump_, line); }

void CaptureFiles::WritePayloadHexLine(std::string_view line) { WriteLine(hex_, line); }

void CaptureFiles::Flush() {
  for (std::FILE* file : {kss_, dump_, hex_}) {
    if (file != nullptr) std::fflush(file);
  }
}

}  // namespace vorlink
