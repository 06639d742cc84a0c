// vorlink-make-sample: writes the sample capture (samples/sample.kss) from
// the seeded generator, so that the committed file can be made again.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "sample_stream.h"

int main(int argc, char** argv) {
  if (argc != 2 || std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h") {
    std::fputs("Usage: vorlink-make-sample FILE\n"
               "Write the generated sample KISS capture to FILE (samples/sample.kss).\n",
               argc == 2 ? stdout : stderr);
    return argc == 2 ? 0 : 2;
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
