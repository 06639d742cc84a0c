// libFuzzer target: a .kss capture converted to pcap (vorlink-decode --pcap),
// the result read back by libpcap.
//
// Input layout:
//   byte 0     slice size - 1: the capture is fed in slices of it
//   the rest   the capture
//
// Beyond the sanitizers' findings the target traps when libpcap cannot read
// the file back, when it holds another number of records than the capture
// has frames that are not time frames, or when a record is longer than the
// frame it came from.
#include <pcap/pcap.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "capture/time_frame.h"
#include "link/deframer.h"
#include "pcap_export.h"

namespace {

// The frames a converter writes: units longer than two bytes, time frames
// left out; and the longest of them.
class FrameCount final : public vorlink::UnitSink {
 public:
  std::uint64_t frames = 0;
  std::size_t longest = 0;
  void OnUnit(std::span<const std::uint8_t> frame) override {
    if (frame.size() <= 2 || vorlink::ReadTimeFrame(frame)) return;
    ++frames;
    longest = std::max(longest, frame.size());
  }
  void OnEscape(std::uint8_t) override {}
};

const std::string& OutputFile() {
  static const std::string file = "/tmp/vorlink-fuzz-pcap-" + std::to_string(::getpid());
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::span<const std::uint8_t> input(data, size);
  const std::size_t slice = std::size_t{input[0]} + 1;
  auto capture = input.subspan(1);

  FrameCount expected;
  vorlink::Deframer deframer;
  deframer.Feed(capture, expected);

  std::string error;
  {
    vorlink::PcapExport out;
    if (!out.Open(OutputFile(), error)) __builtin_trap();
    while (!capture.empty()) {
      const std::size_t n = std::min(slice, capture.size());
      out.Feed(capture.first(n));
      capture = capture.subspan(n);
    }
    if (!out.Close(error)) __builtin_trap();
  }

  char reason[PCAP_ERRBUF_SIZE] = {};
  pcap_t* in = pcap_open_offline(OutputFile().c_str(), reason);
  if (in == nullptr) __builtin_trap();
  std::uint64_t records = 0;
  pcap_pkthdr* header = nullptr;
  const u_char* bytes = nullptr;
  int got = 0;
  while ((got = pcap_next_ex(in, &header, &bytes)) == 1) {
    ++records;
    if (header->caplen != header->len || header->caplen + 2 > expected.longest) __builtin_trap();
  }
  pcap_close(in);
  if (got != PCAP_ERROR_BREAK || records != expected.frames) __builtin_trap();
  return 0;
}
