// vorlink-make-sample: writes the sample capture (samples/sample.kss) from
// the seeded generator, so that the committed file can be made again; or the
// benchmark's stream, so that other decoders can be timed on the same bytes.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/package.h"
#include "sample_stream.h"

namespace {

constexpr const char* kUsage =
    "Usage: vorlink-make-sample [--frames N] FILE\n"
    "Write the generated sample KISS capture to FILE (samples/sample.kss).\n"
    "\n"
    "  --frames N   write the benchmark's stream of N frames instead\n"
    "  -h, --help   show this text and exit\n"
    "  --version    show the program's name and version and exit\n";

// A positive decimal count, or 0 when text is none.
std::size_t ParseCount(std::string_view text) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != text.npos) return 0;
  return static_cast<std::size_t>(std::strtoul(std::string(text).c_str(), nullptr, 10));
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view first = argc > 1 ? argv[1] : "";
  if (argc == 2 && (first == "--help" || first == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 2 && first == "--version") {
    std::printf("%s\n", vorlink::VersionText("vorlink-make-sample").c_str());
    return 0;
  }
  const bool stream = argc == 4 && first == "--frames";
  const std::size_t frames = stream ? ParseCount(argv[2]) : 0;
  const char* file = argv[argc - 1];
  if ((argc != 2 && !stream) || (stream && frames == 0) ||
      (std::strlen(file) > 1 && file[0] == '-')) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::vector<std::uint8_t> bytes =
      stream ? vorlink::sample::GenerateStream(frames, vorlink::sample::kBenchSeed)
             : vorlink::sample::SampleCapture();
  std::FILE* out = std::fopen(file, "wb");
  if (out == nullptr) {
    std::fprintf(stderr, "vorlink-make-sample: cannot write %s: %s\n", file, std::strerror(errno));
    return 1;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  if (std::fclose(out) != 0 || !written) {
    std::fprintf(stderr, "vorlink-make-sample: cannot write %s\n", file);
    return 1;
  }
  return 0;
}
