#include "message_tool.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "aprs/message_center.h"
#include "aprs/message_line.h"
#include "base/command_line.h"
#include "base/package.h"
#include "base/text.h"
#include "decode/ax25_decoder.h"
#include "decode/ax25_encoder.h"
#include "kiss_tcp_client.h"

namespace vorlink {
namespace {

constexpr std::string_view kToolName = "vorlink-message";
constexpr std::string_view kOwnDestination = "APZVOR";
constexpr std::string_view kDefaultPath = "WIDE1-1,WIDE2-1";
constexpr std::uint8_t kUiFrame = 0x03;
constexpr std::uint8_t kNoLayer3 = 0xF0;
constexpr auto kConnectTimeout = std::chrono::seconds(10);
// The longest wait on the socket: short enough to notice a deadline.
constexpr auto kLongestWait = std::chrono::milliseconds(500);
constexpr int kMaxSeconds = 7 * 24 * 3600;

constexpr std::string_view kUsage =
    "Usage: vorlink-message --kiss-tcp HOST[:PORT] --call CALL [OPTION]... TO TEXT\n"
    "  or:  vorlink-message --kiss-tcp HOST[:PORT] --call CALL --listen [--seconds N]\n"
    "Send the APRS message TEXT to the station TO through a KISS TCP peer (a\n"
    "software TNC, or VORLINK's KISS server with transmit allowed), again after\n"
    "15 s, 30 s, 1, 2, 4, 8 and 16 min until it is acked or rejected. Prints\n"
    "\"acked\" and exits 0, \"rejected\" and exits 1, \"no ack\" and exits 2.\n"
    "Messages to CALL heard meanwhile are printed as FROM: TEXT and acked.\n"
    "Bad input or an unreachable peer exit 64.\n"
    "\n";

constexpr std::array<OptionSpec, 6> kOptions{{
    {"--kiss-tcp", "HOST[:PORT]", "the KISS TCP peer (port 8001 when not given)"},
    {"--call", "CALL", "the own callsign, CALL or CALL-SSID"},
    {"--path", "P1,P2", "the digipeater path (default WIDE1-1,WIDE2-1; \"\" for none)"},
    {"--give-up", "SECONDS", "say \"no ack\" after this long (default: the schedule's end)"},
    {"--listen", "", "print and ack the messages to CALL instead of sending one"},
    {"--seconds", "N", "with --listen: stop after N seconds (default: run until stopped)"},
}};

struct MessageArgs {
  KissTcpAddress peer;
  Ax25Address call;
  std::vector<Ax25Address> path;
  std::optional<std::chrono::seconds> giveUp;
  bool listen = false;
  std::optional<std::chrono::seconds> seconds;
  std::string to;
  std::string text;
};

std::optional<std::chrono::seconds> Seconds(std::string_view text) {
  int value = 0;
  if (text.empty() || text.size() > 7) return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > kMaxSeconds) return std::nullopt;
  return std::chrono::seconds(value);
}

// Why the arguments cannot be used; empty when they can.
std::string ReadArgs(const CommandLine& line, MessageArgs& a) {
  if (!line.error.empty()) return line.error;
  const auto peer = line.Value("--kiss-tcp");
  if (!peer) return "--kiss-tcp HOST[:PORT] is needed";
  const auto address = ParseKissTcpAddress(*peer);
  if (!address) return "\"" + *peer + "\" is not HOST or HOST:PORT";
  a.peer = *address;
  const auto call = line.Value("--call");
  if (!call) return "--call CALL is needed";
  if (auto problem = AddresseeProblem(*call)) return "--call: " + *problem;
  a.call = *ParseCallsign(*call);
  // Kept in a string of its own: the command line's value is a temporary.
  const auto pathValue = line.Value("--path");
  const std::string pathText = pathValue ? std::string(*pathValue) : std::string(kDefaultPath);
  for (std::string_view rest = pathText; !rest.empty();) {
    const std::size_t comma = rest.find(',');
    const std::string_view hop = rest.substr(0, comma);
    const auto digi = ParseCallsign(hop);
    if (!digi) return "--path: \"" + std::string(hop) + "\" is not a callsign or alias";
    a.path.push_back(*digi);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  }
  if (a.path.size() > kMaxEncodedDigipeaters) return "--path: at most 8 digipeaters";
  if (const auto g = line.Value("--give-up")) {
    a.giveUp = Seconds(*g);
    if (!a.giveUp) return "--give-up wants whole seconds, 1 or more";
  }
  a.listen = line.Has("--listen");
  if (const auto s = line.Value("--seconds")) {
    if (!a.listen) return "--seconds goes with --listen";
    a.seconds = Seconds(*s);
    if (!a.seconds) return "--seconds wants whole seconds, 1 or more";
  }
  if (a.listen) {
    if (!line.operands.empty()) return "--listen takes no TO or TEXT";
    return {};
  }
  if (line.operands.size() != 2) return "give TO and TEXT (quote a text with blanks)";
  a.to = line.operands[0];
  a.text = line.operands[1];
  if (auto problem = AddresseeProblem(a.to)) return "TO: " + *problem;
  if (SameCallsign(a.to, CallsignText(a.call))) return "TO is CALL itself";
  if (auto problem = MessageTextProblem(a.text)) return "TEXT: " + *problem;
  return {};
}

class MessageSession {
 public:
  MessageSession(const MessageArgs& args, std::FILE* out, std::FILE* err, Clock& clock)
      : args_(args),
        out_(out),
        err_(err),
        clock_(clock),
        center_(clock, [this](std::string_view info) { return Transmit(info); }) {
    center_.SetOwnCallsign(CallsignText(args.call));
    center_.SetIncomingListener([this](const std::string& from, const ThreadLine& line) {
      std::fprintf(out_, "%s: %s\n", from.c_str(), line.text.c_str());
      std::fflush(out_);
    });
  }

  int Run() {
    if (const std::string why = client_.Connect(args_.peer, kConnectTimeout); !why.empty()) {
      std::fprintf(err_, "%s: cannot reach %s: %s\n", kToolName.data(), KissName().c_str(),
                   why.c_str());
      return kMessageBadInput;
    }
    const SteadyTime start = clock_.MonotonicNow();
    std::optional<SteadyTime> deadline;
    if (args_.listen && args_.seconds) deadline = start + *args_.seconds;
    if (!args_.listen && args_.giveUp) deadline = start + *args_.giveUp;
    if (!args_.listen) {
      const LineSendOutcome sent = center_.Send(args_.to, args_.text);
      if (!sent.Taken()) {
        std::fprintf(err_, "%s: %s\n", kToolName.data(), sent.problem.c_str());
        return kMessageBadInput;
      }
      line_ = sent.key;
    }
    for (;;) {
      if (const auto status = Finished(deadline)) return *status;
      if (!client_.Receive(WaitFor(deadline), [this](auto frame) { Heard(frame); })) {
        std::fprintf(err_, "%s: %s closed the connection\n", kToolName.data(), KissName().c_str());
        return kMessageBadInput;
      }
      center_.Poll();
    }
  }

 private:
  std::string KissName() const { return KissTcpName(args_.peer); }

  AprsSendResult Transmit(std::string_view info) {
    Ax25FrameFields fields;
    fields.destination = {std::string(kOwnDestination), 0, false};
    fields.source = args_.call;
    fields.digipeaters = args_.path;
    fields.control = kUiFrame;
    fields.pid = kNoLayer3;
    fields.info = {reinterpret_cast<const std::uint8_t*>(info.data()), info.size()};
    const auto frame = EncodeAx25Frame(fields);
    if (!frame || !client_.SendFrame(*frame)) return AprsSendResult::TncFull;
    if (!args_.listen && info.find('{') != std::string_view::npos) {
      std::fprintf(err_, "%s: sent %d/%d: %.*s\n", kToolName.data(), ++sends_, kMaxSends,
                   static_cast<int>(info.size()), info.data());
    }
    return AprsSendResult::Queued;
  }

  void Heard(std::span<const std::uint8_t> frame) {
    decoder_.DecodeAx25Header(frame);
    if (const auto line = HeardLineOf(decoder_)) center_.Heard(*line);
  }

  std::chrono::milliseconds WaitFor(const std::optional<SteadyTime>& deadline) const {
    const SteadyTime now = clock_.MonotonicNow();
    SteadyTime until = now + kLongestWait;
    if (const auto due = center_.NextDue()) until = std::min(until, *due);
    if (deadline) until = std::min(until, *deadline);
    return std::chrono::ceil<std::chrono::milliseconds>(
        std::max(until - now, SteadyTime::duration{}));
  }

  std::optional<int> Finished(const std::optional<SteadyTime>& deadline) {
    const bool late = deadline && clock_.MonotonicNow() >= *deadline;
    if (args_.listen) {
      if (late) return kMessageAcked;
      return std::nullopt;
    }
    const ThreadLine* line = center_.Line(line_);
    const LineState state = line ? line->state : LineState::NoAck;
    const std::string to = UpperCase(args_.to);
    switch (state) {
      case LineState::Acked: return Say(to + ": " + center_.StateText(*line), kMessageAcked);
      case LineState::Rejected: return Say(to + ": rejected", kMessageRejected);
      case LineState::NoAck:
        if (args_.giveUp && !late) return std::nullopt;  // an ack may still come
        return Say(to + ": no ack", kMessageNoAck);
      default:
        if (late) return Say(to + ": no ack", kMessageNoAck);
        return std::nullopt;
    }
  }

  int Say(const std::string& text, int status) {
    std::fprintf(out_, "%s\n", text.c_str());
    std::fflush(out_);
    return status;
  }

  const MessageArgs& args_;
  std::FILE* out_;
  std::FILE* err_;
  Clock& clock_;
  KissTcpClient client_;
  Ax25Decoder decoder_;
  MessageCenter center_;
  std::uint64_t line_ = 0;
  int sends_ = 0;
};

}  // namespace

int RunMessageTool(std::span<const std::string_view> args, std::FILE* out, std::FILE* err,
                   Clock& clock) {
  const CommandLine line = ParseCommandLine(args, kOptions);
  if (line.help) {
    std::fprintf(out, "%s%s", std::string(kUsage).c_str(), OptionsHelp(kOptions).c_str());
    return 0;
  }
  if (line.version) {
    std::fprintf(out, "%s\n", VersionText(kToolName).c_str());
    return 0;
  }
  MessageArgs a;
  if (const std::string why = ReadArgs(line, a); !why.empty()) {
    std::fprintf(err, "%s: %s\nTry '%s --help'.\n", kToolName.data(), why.c_str(),
                 kToolName.data());
    return kMessageBadInput;
  }
  return MessageSession(a, out, err, clock).Run();
}

}  // namespace vorlink
