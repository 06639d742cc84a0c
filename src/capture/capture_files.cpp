#include "capture/capture_files.h"

#include "base/utc.h"
#include "capture/capture_name.h"

namespace vorlink {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

void CaptureFiles::CreateCaptureFiles(const std::filesystem::path& folder, Clock& clock,
                                      StatusLine& status) {
  CloseCaptureFiles();
  status_ = &status;
  // One reading: a minute turning between the names must not split the set.
  const std::string stamp = CaptureStamp(UtcNow(clock));
  Tell(kss_, kss_.Open(folder / (stamp + std::string(kKssExtension))));
  Tell(dump_, dump_.Open(folder / (stamp + std::string(kDumpExtension))));
  Tell(hex_, hex_.Open(folder / (stamp + std::string(kHexExtension))));
  Tell(pcap_.File(), pcap_.Open(folder / (stamp + std::string(kPcapExtension))));
}

void CaptureFiles::CloseCaptureFiles() {
  // What the last event left is written first, whole or not at all.
  for (CaptureFile* file : {&kss_, &dump_, &hex_, &pcap_.File()}) {
    Commit(*file);
    file->Close(writer_);
  }
  status_ = nullptr;
}

void CaptureFiles::WriteRaw(std::span<const std::uint8_t> bytes) {
  kss_.Append(bytes);
  if (kss_.WantsCommit()) Commit(kss_);
}

void CaptureFiles::WriteLine(CaptureFile& file, std::string_view line) {
  file.Append(line);
  file.Append(kLineEnd);
  if (file.WantsCommit()) Commit(file);
}

void CaptureFiles::WritePayloadTextLine(std::string_view line) { WriteLine(dump_, line); }

void CaptureFiles::WritePayloadHexLine(std::string_view line) { WriteLine(hex_, line); }

void CaptureFiles::WritePcapFrame(std::span<const std::uint8_t> frame, const DateTime& arrival) {
  pcap_.WriteFrame(frame, PcapMicroseconds(arrival));
  if (pcap_.File().WantsCommit()) Commit(pcap_.File());
}

void CaptureFiles::Flush() {
  Commit(kss_);
  Commit(dump_);
  Commit(hex_);
  Commit(pcap_.File());
}

void CaptureFiles::Commit(CaptureFile& file) { Tell(file, file.Commit(writer_)); }

void CaptureFiles::Tell(CaptureFile& file, CaptureFile::Change change) {
  const std::uintmax_t torn = file.TakeTornBytes();
  if (status_ == nullptr) return;
  const std::string name = file.Name().filename().string();
  if (torn > 0) {
    status_->SetSimpleText(TornUnitText(name, torn, file.Unit()));
  }
  if (change == CaptureFile::Change::kPaused) {
    status_->SetSimpleText("capture paused: " + name + ": " + file.Error().message());
  } else if (change == CaptureFile::Change::kResumed) {
    status_->SetSimpleText("capture resumed: " + name);
  }
}

}  // namespace vorlink
