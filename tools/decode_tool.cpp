#include "decode_tool.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/package.h"
#include "decode_session.h"
#include "stream_pane.h"

namespace vorlink {
namespace {

constexpr std::string_view kUsage =
    "Usage: vorlink-decode [OPTION]... [FILE]\n"
    "Print every KISS frame of FILE (a .kss capture), or of standard input when\n"
    "FILE is missing or -, as the VORLINK frame pane shows it.\n"
    "\n"
    "  --raw           dump each frame whole, as received (\"Decode KISS Frame\" off)\n"
    "  --timestamps    put the UTC time stamp before each header (\"TimeStamp (UTC)\")\n"
    "  --color=WHEN    colour the output: auto (on a terminal), always or never\n"
    "  -h, --help      show this text and exit\n"
    "  --version       show the program's name and version and exit\n";

constexpr std::size_t kChunkSize = 4096;

enum class Colour { Auto, Always, Never };

struct Arguments {
  DisplayOptions options;
  Colour colour = Colour::Auto;
  std::string file;
  bool help = false;
  bool version = false;
  std::string error;
};

Arguments Parse(std::span<const std::string_view> args) {
  Arguments a;
  a.options.timeStamp = false;  // a capture is read after the fact
  a.options.timeFrames = false;
  for (std::string_view arg : args) {
    if (arg == "-h" || arg == "--help") {
      a.help = true;
    } else if (arg == "--version") {
      a.version = true;
    } else if (arg == "--raw") {
      a.options.decode = false;
    } else if (arg == "--timestamps") {
      a.options.timeStamp = true;
    } else if (arg == "--color=auto" || arg == "--colour=auto") {
      a.colour = Colour::Auto;
    } else if (arg == "--color=always" || arg == "--colour=always" || arg == "--color") {
      a.colour = Colour::Always;
    } else if (arg == "--color=never" || arg == "--colour=never") {
      a.colour = Colour::Never;
    } else if (arg.size() > 1 && arg.front() == '-') {
      a.error = "unknown option " + std::string(arg);
    } else if (!a.file.empty()) {
      a.error = "only one FILE can be decoded at a time";
    } else {
      a.file = arg;
    }
  }
  return a;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

int RunDecodeTool(std::span<const std::string_view> args, std::FILE* in, std::FILE* out,
                  std::FILE* err, bool outIsTerminal, Clock& clock) {
  const Arguments a = Parse(args);
  if (a.help) {
    std::fputs(kUsage.data(), out);
    return 0;
  }
  if (a.version) {
    std::fprintf(out, "%s\n", VersionText("vorlink-decode").c_str());
    return 0;
  }
  if (!a.error.empty()) {
    std::fprintf(err, "vorlink-decode: %s (try --help)\n", a.error.c_str());
    return 2;
  }
  std::unique_ptr<std::FILE, FileCloser> opened;
  if (!a.file.empty() && a.file != "-") {
    opened.reset(std::fopen(a.file.c_str(), "rb"));
    if (!opened) {
      std::fprintf(err, "vorlink-decode: cannot read %s: %s\n", a.file.c_str(),
                   std::strerror(errno));
      return 1;
    }
    in = opened.get();
  }

  const bool colour = a.colour == Colour::Always || (a.colour == Colour::Auto && outIsTerminal);
  StreamPane pane(out, colour);
  DecodeSession session(pane, clock, a.options);
  std::vector<std::uint8_t> chunk(kChunkSize);
  while (true) {
    const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), in);
    if (n > 0) session.Feed(std::span(chunk.data(), n));
    if (n < chunk.size()) break;
  }
  pane.Flush();
  if (std::ferror(in)) {
    std::fprintf(err, "vorlink-decode: cannot read %s: %s\n",
                 a.file.empty() ? "standard input" : a.file.c_str(), std::strerror(errno));
    return 1;
  }
  return 0;
}

}  // namespace vorlink
