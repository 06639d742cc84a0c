#include "capture/pcap_capture.h"

#include "base/utc.h"

namespace vorlink {
namespace {

constexpr std::int64_t kPcapMicrosecondsPerSecond = 1'000'000;

void Put16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

void Put32(std::string& out, std::uint32_t v) {
  Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
  Put16(out, static_cast<std::uint16_t>(v >> 16));
}

constexpr std::int64_t kMicrosecondsPerMillisecond = 1'000;

}  // namespace

std::int64_t PcapMicroseconds(const DateTime& utc) {
  return ToEpochSeconds(utc) * kPcapMicrosecondsPerSecond +
         utc.millisecond * kMicrosecondsPerMillisecond;
}

std::string PcapFileHeader() {
  std::string header;
  Put32(header, kPcapMagic);
  Put16(header, kPcapVersionMajor);
  Put16(header, kPcapVersionMinor);
  Put32(header, 0);  // time zone: the stamps are UTC
  Put32(header, 0);  // accuracy of the stamps, unused by convention
  Put32(header, kPcapSnapshotLength);
  Put32(header, kLinkTypeAx25Kiss);
  return header;
}

void PcapCapture::WriteFrame(std::span<const std::uint8_t> frame,
                             std::int64_t epochMicroseconds) {
  if (!file_.Capturing()) return;
  const auto data = UnescapeFrame(frame, unescaped_);
  const std::int64_t micros = epochMicroseconds < 0 ? 0 : epochMicroseconds;
  record_.clear();
  Put32(record_, static_cast<std::uint32_t>(micros / kPcapMicrosecondsPerSecond));
  Put32(record_, static_cast<std::uint32_t>(micros % kPcapMicrosecondsPerSecond));
  Put32(record_, static_cast<std::uint32_t>(data.size()));
  Put32(record_, static_cast<std::uint32_t>(data.size()));
  record_.append(reinterpret_cast<const char*>(data.data()), data.size());
  file_.Append(record_);
}

}  // namespace vorlink
