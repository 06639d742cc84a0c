#include "store/capture_loader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "capture/time_frame.h"

namespace vorlink {

void CaptureLoader::OnUnit(std::span<const std::uint8_t> frame) {
  if (frame.size() <= 2) return;
  if (const auto time = ReadTimeFrame(frame)) {
    pendingTime_ = ToEpochMilliseconds(*time);
    ++timeFrames_;
    return;
  }
  DisplayOptions options = options_;
  options.timeStamp = options_.timeStamp && pendingTime_ != kNoArrivalTime;
  const int lines = text_.Make(frame, DateTime{}, options, nullptr);
  store_.Append(frame, pendingTime_, options, text_.LastLeftovers(), lines);
  pendingTime_ = kNoArrivalTime;
  ++frames_;
}

CaptureReader::CaptureReader(const std::filesystem::path& file, FrameStore& store,
                             const DisplayOptions& options, std::size_t sliceBytes)
    : file_(std::fopen(file.c_str(), "rb")), loader_(store, options) {
  if (!file_) {
    problem_ = std::strerror(errno);
    return;
  }
  std::error_code unknown;
  size_ = std::filesystem::file_size(file, unknown);
  slice_.resize(std::max<std::size_t>(1, sliceBytes));
}

bool CaptureReader::ReadSlice() {
  if (!file_) return false;
  const std::size_t n = std::fread(slice_.data(), 1, slice_.size(), file_.get());
  read_ += n;
  if (n > 0) loader_.Feed(std::span(slice_.data(), n));
  if (n == slice_.size()) return true;
  if (std::ferror(file_.get())) problem_ = std::strerror(errno);
  file_.reset();
  slice_ = {};
  return false;
}

int CaptureReader::PercentRead() const {
  if (Finished()) return 100;
  if (size_ == 0) return 0;
  return static_cast<int>(100 * std::min(read_, size_) / size_);
}

bool LoadCapture(const std::filesystem::path& file, FrameStore& store,
                 const DisplayOptions& options, std::string& error) {
  CaptureReader reader(file, store, options);
  while (reader.ReadSlice()) {
  }
  error = reader.Problem();
  return error.empty();
}

}  // namespace vorlink
