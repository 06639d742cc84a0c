// vorlink-sim-tnc: a simulated TNC for trying VORLINK without a radio. It
// opens a pseudo-terminal, links a name (station/COM1) to its slave side and
// plays a KISS capture into it at a serial pace, one frame at a time, again
// and again. What the program sends back (scripts, terminal keys) is read
// and dropped, or shown in hex with -v. SIGINT, SIGTERM and SIGHUP end it and
// take the link away.
//
// Frames go out only while a program has the slave open: the master reports
// a hang-up until then, and bytes written meanwhile would pile up unread.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/package.h"

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

constexpr std::uint8_t kFend = 0xC0;
constexpr int kDefaultBaud = 9600;
constexpr int kDefaultGapMs = 100;
constexpr int kMaxGapMs = 60'000;
// Start, eight data bits, stop: ten bit times per byte on the wire.
constexpr int kBitsPerByte = 10;
// How often due bytes are written; finer pacing buys nothing.
constexpr auto kTick = 10ms;
// How often to look whether a program has opened the slave.
constexpr auto kListenerCheck = 100ms;
constexpr std::string_view kPtsPrefix = "/dev/pts/";

#ifndef VORLINK_SAMPLE_CAPTURE
#define VORLINK_SAMPLE_CAPTURE "samples/sample.kss"
#endif
constexpr const char* kLocalSample = "samples/sample.kss";
constexpr const char* kInstalledSample = "sample.kss";
constexpr const char* kBuiltInSample = VORLINK_SAMPLE_CAPTURE;

volatile sig_atomic_t gStop = 0;

void OnStopSignal(int) { gStop = 1; }

constexpr const char* kUsage =
    "Usage: vorlink-sim-tnc [-v] [--baud N] [--gap MS] LINK [CAPTURE]\n"
    "\n"
    "A simulated TNC. Opens a pseudo-terminal, makes LINK (for example\n"
    "station/COM1) a symbolic link to its device and plays the KISS capture\n"
    "CAPTURE into it, frame by frame at a serial pace, over and over, while a\n"
    "program has the device open. Bytes the program sends are read and dropped.\n"
    "Stop it with Ctrl-C or SIGTERM; it then removes LINK.\n"
    "\n"
    "CAPTURE defaults to samples/sample.kss in the current folder, else the\n"
    "sample capture of the installed package, else that of the source tree it\n"
    "was built from.\n"
    "LINK must not exist, unless it is a link left behind by an earlier run\n"
    "whose device is gone.\n"
    "\n"
    "Options:\n"
    "  -v, --verbose  print what the program sends, in hexadecimal\n"
    "  --baud N       line speed to imitate, 10 bits per byte (default 9600)\n"
    "  --gap MS       pause between frames in milliseconds (default 100)\n"
    "  -h, --help     show this text and exit\n"
    "  --version      show the program's name and version and exit\n";

struct Options {
  bool verbose = false;
  bool help = false;
  bool version = false;
  int baud = kDefaultBaud;
  int gapMs = kDefaultGapMs;
  std::string link;
  std::string capture;
};

std::optional<int> ParseCount(std::string_view text, int low, int high) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

bool Exists(const std::string& path) {
  struct stat info{};
  return ::stat(path.c_str(), &info) == 0;
}

std::string DefaultCapture() {
  if (Exists(kLocalSample)) return kLocalSample;
  char self[4096];
  const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (length > 0) {
    const std::filesystem::path program(std::string(self, static_cast<std::size_t>(length)));
    const std::string installed = (vorlink::DataFolder(program.parent_path()) / kInstalledSample).string();
    if (Exists(installed)) return installed;
  }
  return kBuiltInSample;
}

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "-v" || arg == "--verbose") {
      options.verbose = true;
    } else if (arg == "--baud" && hasValue) {
      const auto baud = ParseCount(argv[++i], 1, 4'000'000);
      if (!baud) return std::nullopt;
      options.baud = *baud;
    } else if (arg == "--gap" && hasValue) {
      const auto gap = ParseCount(argv[++i], 0, kMaxGapMs);
      if (!gap) return std::nullopt;
      options.gapMs = *gap;
    } else if (!arg.empty() && arg[0] == '-') {
      return std::nullopt;
    } else {
      positional.emplace_back(arg);
    }
  }
  if (options.help || options.version) return options;
  if (positional.empty() || positional.size() > 2) return std::nullopt;
  options.link = positional[0];
  if (positional.size() == 2) {
    options.capture = positional[1];
  } else {
    options.capture = DefaultCapture();
  }
  return options;
}

std::optional<Bytes> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Cuts the capture after every FEND that closes a frame, so each piece is
// one frame with whatever came before it (stray bytes, the opening FEND).
std::vector<Bytes> SplitFrames(const Bytes& capture) {
  std::vector<Bytes> pieces;
  Bytes piece;
  bool inFrame = false;
  for (std::uint8_t byte : capture) {
    piece.push_back(byte);
    if (byte != kFend) {
      inFrame = true;
      continue;
    }
    if (inFrame) {
      pieces.push_back(std::move(piece));
      piece.clear();
      inFrame = false;
    }
  }
  if (!piece.empty()) pieces.push_back(std::move(piece));
  return pieces;
}

void PrintHex(const std::uint8_t* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string line;
  for (std::size_t i = 0; i < count; ++i) {
    if (!line.empty()) line += ' ';
    line += kDigits[bytes[i] >> 4];
    line += kDigits[bytes[i] & 0xF];
  }
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

// The pseudo-terminal. The slave side is set raw from the start, so bytes
// pass unchanged even before a program sets its own line, and is closed
// here: the program opens it through the link.
class Pty {
 public:
  Pty() {
    termios raw{};
    ::cfmakeraw(&raw);
    int slave = -1;
    if (::openpty(&master_, &slave, nullptr, &raw, nullptr) != 0) {
      master_ = -1;
      return;
    }
    const char* name = ::ttyname(slave);
    if (name != nullptr) device_ = name;
    ::close(slave);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  ~Pty() {
    if (master_ >= 0) ::close(master_);
  }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  bool ok() const { return master_ >= 0 && !device_.empty(); }
  int master() const { return master_; }
  const std::string& device() const { return device_; }

 private:
  int master_ = -1;
  std::string device_;
};

std::optional<std::string> LinkTarget(const std::string& path) {
  char target[4096];
  const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
  if (length < 0) return std::nullopt;
  return std::string(target, static_cast<std::size_t>(length));
}

// A link of an earlier run that was killed: it points at a pseudo-terminal
// that no longer exists. Anything else at that name belongs to someone.
bool IsStaleSimLink(const std::string& path) {
  const auto target = LinkTarget(path);
  if (!target || target->rfind(kPtsPrefix, 0) != 0) return false;
  struct stat info{};
  return ::stat(target->c_str(), &info) != 0 && errno == ENOENT;
}

// The link to the device, removed again when it is still ours.
class OwnedLink {
 public:
  OwnedLink(std::string path, std::string target) : path_(std::move(path)), target_(std::move(target)) {
    if (::symlink(target_.c_str(), path_.c_str()) == 0) {
      made_ = true;
      return;
    }
    error_ = errno;
    if (error_ == EEXIST && IsStaleSimLink(path_) && ::unlink(path_.c_str()) == 0 &&
        ::symlink(target_.c_str(), path_.c_str()) == 0) {
      made_ = true;
      replaced_ = true;
    }
  }
  ~OwnedLink() {
    if (made_ && LinkTarget(path_) == target_) ::unlink(path_.c_str());
  }
  OwnedLink(const OwnedLink&) = delete;
  OwnedLink& operator=(const OwnedLink&) = delete;

  bool made() const { return made_; }
  bool replaced() const { return replaced_; }
  int error() const { return error_; }

 private:
  std::string path_;
  std::string target_;
  bool made_ = false;
  bool replaced_ = false;
  int error_ = 0;
};

class Player {
 public:
  Player(const Pty& pty, const Options& options)
      : master_(pty.master()),
        verbose_(options.verbose),
        byteTime_(std::chrono::nanoseconds(std::chrono::seconds(kBitsPerByte)) / options.baud),
        gap_(options.gapMs) {}

  void Run(const std::vector<Bytes>& frames) {
    while (!gStop) {
      for (const Bytes& frame : frames) {
        if (gStop) return;
        WaitForListener();
        if (gStop) return;
        // A program that lets go mid-frame gets the next frame whole when it comes back.
        if (!Send(frame)) continue;
        Serve(Clock::now() + gap_);
      }
    }
  }

 private:
  // Reads what the program sent until the deadline; false when no program
  // has the slave open.
  bool Serve(Clock::time_point until) {
    while (!gStop) {
      const auto now = Clock::now();
      if (now >= until) return true;
      const auto wait = std::chrono::ceil<std::chrono::milliseconds>(until - now);
      pollfd watch{master_, POLLIN, 0};
      const int ready = ::poll(&watch, 1, static_cast<int>(wait.count()));
      if (ready < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      if (ready == 0) return true;
      if (watch.revents & POLLIN) Drain();
      // Without a program on the slave the master hangs up at once, every time.
      if (watch.revents & (POLLHUP | POLLERR)) return false;
    }
    return false;
  }

  void Drain() {
    std::uint8_t chunk[512];
    ssize_t count;
    while ((count = ::read(master_, chunk, sizeof chunk)) > 0) {
      if (verbose_) PrintHex(chunk, static_cast<std::size_t>(count));
    }
  }

  bool HasListener() {
    pollfd watch{master_, POLLIN, 0};
    if (::poll(&watch, 1, 0) < 0) return false;
    if (watch.revents & POLLIN) Drain();
    return (watch.revents & (POLLHUP | POLLERR)) == 0;
  }

  void WaitForListener() {
    while (!gStop && !HasListener()) {
      const timespec pause{0, std::chrono::nanoseconds(kListenerCheck).count()};
      ::nanosleep(&pause, nullptr);
    }
  }

  // Writes the frame byte by byte on the imitated line's clock; false when
  // the program let go of the slave meanwhile.
  bool Send(const Bytes& frame) {
    auto start = Clock::now();
    std::size_t sent = 0;
    while (sent < frame.size() && !gStop) {
      const auto elapsed = Clock::now() - start;
      const std::size_t due = std::min(frame.size(), static_cast<std::size_t>(elapsed / byteTime_) + 1);
      if (due > sent) {
        const ssize_t count = ::write(master_, frame.data() + sent, due - sent);
        if (count > 0) {
          sent += static_cast<std::size_t>(count);
        } else if (count < 0 && errno != EAGAIN && errno != EINTR) {
          return false;
        } else {
          // The program is not reading: go on at line pace when it does, not in a burst.
          start = Clock::now() - sent * byteTime_;
        }
      }
      if (sent < frame.size() && !Serve(Clock::now() + std::min<Clock::duration>(kTick, byteTime_ * (frame.size() - sent)))) {
        return false;
      }
    }
    return sent == frame.size();
  }

  int master_;
  bool verbose_;
  std::chrono::nanoseconds byteTime_;
  std::chrono::milliseconds gap_;
};

void CatchStopSignals() {
  struct sigaction action{};
  action.sa_handler = OnStopSignal;
  ::sigemptyset(&action.sa_mask);
  // No SA_RESTART: a signal must wake the poll at once.
  action.sa_flags = 0;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
  ::signal(SIGPIPE, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = ParseOptions(argc, argv);
  if (!options) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (options->help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (options->version) {
    std::printf("%s\n", vorlink::VersionText("vorlink-sim-tnc").c_str());
    return 0;
  }
  const std::optional<Bytes> capture = ReadFile(options->capture);
  if (!capture) {
    std::fprintf(stderr, "vorlink-sim-tnc: cannot read %s: %s\n", options->capture.c_str(), std::strerror(errno));
    return 1;
  }
  const std::vector<Bytes> frames = SplitFrames(*capture);
  if (frames.empty()) {
    std::fprintf(stderr, "vorlink-sim-tnc: %s holds no bytes to play\n", options->capture.c_str());
    return 1;
  }
  CatchStopSignals();
  Pty pty;
  if (!pty.ok()) {
    std::fprintf(stderr, "vorlink-sim-tnc: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
    return 1;
  }
  OwnedLink link(options->link, pty.device());
  if (!link.made()) {
    std::fprintf(stderr, "vorlink-sim-tnc: cannot link %s to %s: %s\n", options->link.c_str(),
                 pty.device().c_str(),
                 link.error() == EEXIST ? "it exists and is not a stale link of this tool"
                                        : std::strerror(link.error()));
    return 1;
  }
  std::printf("vorlink-sim-tnc: %s -> %s%s, playing %s (%zu frames) at %d baud\n", options->link.c_str(),
              pty.device().c_str(), link.replaced() ? " (stale link replaced)" : "",
              options->capture.c_str(), frames.size(), options->baud);
  std::fflush(stdout);
  Player(pty, *options).Run(frames);
  return 0;
}
