#include "connect_tool.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "ax25link/link_manager.h"
#include "base/command_line.h"
#include "base/package.h"
#include "decode/ax25_encoder.h"
#include "link/deframer.h"
#include "link/kiss.h"
#include "link/kiss_tcp_address.h"
#include "link/kiss_unescape.h"

namespace vorlink {
namespace {

constexpr std::string_view kProgram = "vorlink-connect";
constexpr char kCarriageReturn = '\r';
constexpr char kNewline = '\n';
constexpr std::size_t kReadChunk = 4096;
// Standard input is read only while this little waits to be sent, so a
// large input never needs more memory than the link's own queue.
constexpr std::size_t kInputHighWater = 4096;

constexpr OptionSpec kOptions[] = {
    {"--kiss-tcp", "HOST[:PORT]", "the TNC's KISS TCP port (default port 8001)"},
    {"--call", "CALL", "our callsign, CALL or CALL-SSID"},
    {"--via", "D1,D2", "digipeaters on the way, up to 8"},
    {"--v20", "", "connect with SABM (AX.25 2.0, the default)"},
    {"--v22", "", "connect with SABME (2.2), falling back to 2.0 on DM or FRMR"},
    {"--t1", "MS", "the first T1 in milliseconds (default 3000)"},
    {"--retries", "N", "N2, the retries before giving up (default 10)"},
};

struct ConnectOptions {
  KissTcpAddress address;
  LinkRoute route;
  bool version22 = false;
  LinkParameters parameters;
};

std::optional<int> ParseNumber(std::string_view text, int low, int high) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

// The options as a link; the reason when they cannot be one.
std::optional<ConnectOptions> ReadOptions(const CommandLine& line, std::string& error) {
  ConnectOptions o;
  const auto address = ParseKissTcpAddress(line.Value("--kiss-tcp").value_or(""));
  if (!address) return error = "--kiss-tcp HOST[:PORT] is needed", std::nullopt;
  o.address = *address;
  const auto own = ParseCallsign(line.Value("--call").value_or(""));
  if (!own) return error = "--call needs a callsign (1 to 6 letters or digits, SSID 0 to 15)", std::nullopt;
  o.route.own = *own;
  if (line.operands.size() != 1) return error = "one TARGET callsign is needed", std::nullopt;
  const auto target = ParseCallsign(line.operands[0]);
  if (!target) return error = "bad callsign: " + line.operands[0], std::nullopt;
  o.route.remote = *target;
  if (const auto via = line.Value("--via")) {
    std::string_view rest = *via;
    while (!rest.empty()) {
      const auto comma = rest.find(',');
      const auto part = rest.substr(0, comma);
      const auto digi = ParseCallsign(part);
      if (!digi) return error = "bad digipeater: " + std::string(part), std::nullopt;
      o.route.path.push_back(*digi);
      rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
    }
    if (o.route.path.size() > kMaxEncodedDigipeaters) {
      return error = "more than 8 digipeaters", std::nullopt;
    }
  }
  if (line.Has("--v20") && line.Has("--v22")) return error = "--v20 or --v22, not both", std::nullopt;
  o.version22 = line.Has("--v22");
  if (const auto t1 = line.Value("--t1")) {
    const auto ms = ParseNumber(*t1, 1, 600000);
    if (!ms) return error = "--t1 needs milliseconds from 1 to 600000", std::nullopt;
    o.parameters.initialT1 = std::chrono::milliseconds{*ms};
    o.parameters.minimumT1 = std::min(o.parameters.minimumT1, o.parameters.initialT1);
  }
  if (const auto retries = line.Value("--retries")) {
    const auto n = ParseNumber(*retries, 0, 255);
    if (!n) return error = "--retries needs a number from 0 to 255", std::nullopt;
    o.parameters.retriesN2 = *n;
  }
  o.parameters.version22 = o.version22;
  o.parameters.acceptIncoming = false;
  return o;
}

int ConnectSocket(const KissTcpAddress& address, std::string& error) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const std::string port = std::to_string(address.port);
  if (const int rc = getaddrinfo(address.host.c_str(), port.c_str(), &hints, &found); rc != 0) {
    error = address.host + ": " + gai_strerror(rc);
    return -1;
  }
  int fd = -1;
  for (const addrinfo* a = found; a && fd < 0; a = a->ai_next) {
    fd = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (fd >= 0 && connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
      error = KissTcpName(address) + ": " + std::strerror(errno);
      close(fd);
      fd = -1;
    }
  }
  freeaddrinfo(found);
  return fd;
}

// Everything between the program and the link: KISS both ways, text both ways.
class Session final : public FrameSink, public LinkEvents, public UnitSink {
 public:
  Session(const ConnectOptions& options, int socket, std::FILE* out, std::FILE* err, Clock& clock)
      : options_(options),
        socket_(socket),
        out_(out),
        err_(err),
        clock_(clock),
        manager_(options.parameters, clock, *this, *this) {}

  int Run(int inputFd);

  void SendFrame(std::span<const std::uint8_t> frame, bool) override {
    const auto kiss = WrapInKiss(frame);
    std::size_t at = 0;
    while (at < kiss.size()) {
      const ssize_t n = send(socket_, kiss.data() + at, kiss.size() - at, MSG_NOSIGNAL);
      if (n <= 0) {
        tncGone_ = true;
        return;
      }
      at += static_cast<std::size_t>(n);
    }
  }
  void OnConnected(const LinkId&) override {
    connected_ = true;
    std::fprintf(err_, "*** connected to %s\n", CallsignText(options_.route.remote).c_str());
    std::fflush(err_);
  }
  void OnDisconnected(const LinkId&, DisconnectReason reason) override { ended_ = reason; }
  void OnData(const LinkId&, std::span<const std::uint8_t> data) override {
    lastData_ = clock_.MonotonicNow();
    for (const std::uint8_t b : data) std::fputc(b == kCarriageReturn ? kNewline : b, out_);
    std::fflush(out_);
  }
  void OnStateChanged(const LinkId&, LinkState) override {}
  void OnUnit(std::span<const std::uint8_t> frame) override {
    if (frame.size() <= 2) return;
    UnescapedFrame buffer;
    const auto unescaped = UnescapeFrame(frame, buffer);
    if (unescaped.empty() || unescaped[0] != kCommandData) return;  // port 0 data only
    manager_.Receive(unescaped.subspan(1));
  }
  void OnEscape(std::uint8_t) override {}

 private:
  LinkId Id() const { return {options_.route.own, options_.route.remote}; }
  void ReadInput(int fd);
  void SendLines();
  void ReadTnc();
  int WaitMilliseconds();
  std::optional<std::chrono::steady_clock::time_point> QuietFrom() const;
  std::optional<int> Outcome();

  const ConnectOptions& options_;
  int socket_;
  std::FILE* out_;
  std::FILE* err_;
  Clock& clock_;
  LinkManager manager_;
  Deframer deframer_;
  std::string input_;  // read, not yet handed to the link
  bool inputDone_ = false;
  bool disconnecting_ = false;
  bool connected_ = false;
  bool tncGone_ = false;
  std::optional<DisconnectReason> ended_;
  std::chrono::steady_clock::time_point lastData_{};
};

void Session::ReadInput(int fd) {
  std::array<char, kReadChunk> chunk;
  const ssize_t n = read(fd, chunk.data(), chunk.size());
  if (n <= 0) {
    inputDone_ = true;
    // A last line without its newline still goes.
    if (!input_.empty() && input_.back() != kNewline) input_ += kNewline;
    return;
  }
  input_.append(chunk.data(), static_cast<std::size_t>(n));
}

void Session::SendLines() {
  for (auto end = input_.find(kNewline); end != std::string::npos; end = input_.find(kNewline)) {
    std::string line = input_.substr(0, end);
    line += kCarriageReturn;
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
    if (!manager_.Send(Id(), bytes)) return;  // the queue is full: later
    input_.erase(0, end + 1);
  }
}

void Session::ReadTnc() {
  std::array<std::uint8_t, kReadChunk> chunk;
  const ssize_t n = recv(socket_, chunk.data(), chunk.size(), 0);
  if (n <= 0) {
    tncGone_ = true;
    return;
  }
  deframer_.Feed(std::span(chunk).first(static_cast<std::size_t>(n)), *this);
}

// An answer to the last line usually comes just after its acknowledgement:
// the link ends only once the peer has been quiet for a T1 as well.
std::optional<std::chrono::steady_clock::time_point> Session::QuietFrom() const {
  const auto s = manager_.Snapshot(Id());
  if (!s) return std::nullopt;
  return lastData_ + s->t1;
}

int Session::WaitMilliseconds() {
  auto next = manager_.NextDeadline();
  if (connected_ && inputDone_ && !disconnecting_) {
    const auto quiet = QuietFrom();
    if (quiet && (!next || *quiet < *next)) next = quiet;
  }
  if (!next) return -1;
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - clock_.MonotonicNow());
  return static_cast<int>(std::clamp<std::int64_t>(wait.count(), 0, 60000));
}

std::optional<int> Session::Outcome() {
  if (tncGone_) {
    std::fprintf(err_, "*** the TNC closed the connection\n");
    return connected_ ? kConnectLinkFailed : kConnectNoLink;
  }
  if (!ended_) return std::nullopt;
  switch (*ended_) {
    case DisconnectReason::Requested:
    case DisconnectReason::PeerDisconnected:
      std::fprintf(err_, "*** disconnected\n");
      return kConnectDone;
    case DisconnectReason::LinkFailed:
      std::fprintf(err_, "*** %s\n", std::string(DisconnectReasonText(*ended_)).c_str());
      return kConnectLinkFailed;
    default:
      std::fprintf(err_, "*** no link to %s: %s\n", CallsignText(options_.route.remote).c_str(),
                   std::string(DisconnectReasonText(*ended_)).c_str());
      return kConnectNoLink;
  }
}

int Session::Run(int inputFd) {
  manager_.Connect(options_.route, options_.version22);
  for (;;) {
    if (const auto outcome = Outcome()) return *outcome;
    if (connected_) SendLines();
    if (connected_ && inputDone_ && input_.empty() && !disconnecting_ &&
        manager_.AllAcknowledged(Id()) && clock_.MonotonicNow() >= QuietFrom().value_or(lastData_)) {
      disconnecting_ = true;
      manager_.Disconnect(Id());
      continue;
    }
    const bool wantInput = !inputDone_ && input_.size() < kInputHighWater;
    std::array<pollfd, 2> fds{{{socket_, POLLIN, 0}, {wantInput ? inputFd : -1, POLLIN, 0}}};
    if (poll(fds.data(), fds.size(), WaitMilliseconds()) < 0 && errno != EINTR) {
      tncGone_ = true;
      continue;
    }
    if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) ReadTnc();
    if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) ReadInput(inputFd);
    manager_.Tick();
  }
}

std::string HelpText() {
  return "Usage: vorlink-connect --kiss-tcp HOST[:PORT] --call CALL [--via D1,D2] [--v20|--v22]\n"
         "                       [--t1 MS] [--retries N] TARGET\n"
         "Connects to TARGET over a KISS TCP TNC, sends each line of standard input,\n"
         "writes what TARGET sends to standard output, disconnects at the end of input.\n\n" +
         OptionsHelp(kOptions) +
         "\nExit status: 0 done, 1 no link could be made, 2 the link failed, 64 bad input.\n";
}

}  // namespace

int RunConnectTool(std::span<const std::string_view> args, int inputFd, std::FILE* out,
                   std::FILE* err, Clock& clock) {
  const CommandLine line = ParseCommandLine(args, kOptions);
  if (line.help) {
    std::fputs(HelpText().c_str(), out);
    return kConnectDone;
  }
  if (line.version) {
    std::fprintf(out, "%s\n", VersionText(kProgram).c_str());
    return kConnectDone;
  }
  std::string error = line.error;
  const auto options = error.empty() ? ReadOptions(line, error) : std::nullopt;
  if (!options) {
    std::fprintf(err, "%s: %s\n", std::string(kProgram).c_str(), error.c_str());
    return kConnectBadInput;
  }
  const int socket = ConnectSocket(options->address, error);
  if (socket < 0) {
    std::fprintf(err, "%s: %s\n", std::string(kProgram).c_str(), error.c_str());
    return kConnectBadInput;
  }
  Session session(*options, socket, out, err, clock);
  const int status = session.Run(inputFd);
  close(socket);
  return status;
}

}  // namespace vorlink
