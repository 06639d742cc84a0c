// vorlink-make-sample: writes the sample capture (samples/sample.kss) from
// the seeded generator, so that the committed file can be made again.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "base/package.h"
#include "sample_stream.h"

namespace {

constexpr const char* kUsage =
    "Usage: vorlink-make-sample FILE\n"
    "Write the generated sample KISS capture to FILE (samples/sample.kss).\n"
    "\n"
    "  -h, --help   show this text and exit\n"
    "  --version    show the program's name and version and exit\n";

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
  if (argc != 2 || (first.size() > 1 && first.front() == '-')) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const auto bytes = vorlink::sample::SampleCapture();
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) {
    std::fprintf(stderr, "vorlink-make-sample: cannot write %s: %s\n", argv[1], std::strerror(errno));
    return 1;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  if (std::fclose(out) != 0 || !written) {
    std::fprintf(stderr, "vorlink-make-sample: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
