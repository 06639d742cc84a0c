#include "decode/capture_loader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "capture/time_frame.h"

namespace vorlink {
namespace {

constexpr std::size_t kReadSize = std::size_t{1} << 20;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

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

bool LoadCapture(const std::filesystem::path& file, FrameStore& store,
                 const DisplayOptions& options, std::string& error) {
  std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.c_str(), "rb"));
  if (!in) {
    error = std::strerror(errno);
    return false;
  }
  CaptureLoader loader(store, options);
  std::vector<std::uint8_t> buffer(kReadSize);
  while (true) {
    const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), in.get());
    if (n > 0) loader.Feed(std::span(buffer.data(), n));
    if (n < buffer.size()) break;
  }
  if (std::ferror(in.get())) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace vorlink
