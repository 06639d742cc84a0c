// vorlink-message run as the operator runs it, against a KISS TCP stand-in
// on 127.0.0.1 that answers its line with an ack or a rej, stays silent, or
// sends it a message; and the bad input it refuses with status 64.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "decode/ax25_decoder.h"
#include "decode/ax25_encoder.h"
#include "link/deframer.h"
#include "temp_folder.h"

extern char** environ;

namespace vorlink {
namespace {

constexpr int kStandInWaitMs = 10'000;

// A KISS TCP peer with one client: frames in as decoded AX.25, frames out.
class KissStandIn : private UnitSink {
 public:
  KissStandIn() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(listener_, 1);
    socklen_t length = sizeof a;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &length);
    port_ = ntohs(a.sin_port);
  }
  ~KissStandIn() override {
    if (client_ >= 0) ::close(client_);
    ::close(listener_);
  }
  std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

  bool Accept() {
    pollfd p{listener_, POLLIN, 0};
    if (::poll(&p, 1, kStandInWaitMs) != 1) return false;
    client_ = ::accept(listener_, nullptr, nullptr);
    return client_ >= 0;
  }
  // The next frame the program sent, or nothing within the wait.
  std::optional<Ax25Decoder> NextFrame() {
    while (frames_.empty()) {
      pollfd p{client_, POLLIN, 0};
      if (::poll(&p, 1, kStandInWaitMs) != 1) return std::nullopt;
      std::uint8_t chunk[1024];
      const ssize_t n = ::recv(client_, chunk, sizeof chunk, 0);
      if (n <= 0) return std::nullopt;
      deframer_.Feed({chunk, static_cast<std::size_t>(n)}, *this);
    }
    Ax25Decoder frame;
    frame.DecodeAx25Header(frames_.front());
    frames_.erase(frames_.begin());
    return frame;
  }
  void Send(std::string_view from, std::string_view info) {
    Ax25FrameFields f;
    f.destination = {"APRS", 0, false};
    f.source = *ParseCallsign(from);
    f.digipeaters = {{"N0DIG", 0, true}};
    f.pid = 0xF0;
    f.info = {reinterpret_cast<const std::uint8_t*>(info.data()), info.size()};
    const auto bytes = WrapInKiss(*EncodeAx25Frame(f));
    ASSERT_EQ(::send(client_, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
  }

 private:
  void OnUnit(std::span<const std::uint8_t> frame) override {
    if (frame.size() > 2) frames_.emplace_back(frame.begin(), frame.end());
  }
  void OnEscape(std::uint8_t) override {}

  int listener_ = -1;
  int client_ = -1;
  std::uint16_t port_ = 0;
  Deframer deframer_;
  std::vector<std::vector<std::uint8_t>> frames_;
};

std::string Info(const Ax25Decoder& frame) {
  const auto p = frame.Payload();
  return {reinterpret_cast<const char*>(p.data()), p.size()};
}

// The program in the background, its output in files.
class MessageRun {
 public:
  explicit MessageRun(std::vector<std::string> args) {
    args.insert(args.begin(), VORLINK_MESSAGE_EXE);
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, Out().c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, Err().c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    reaper_.emplace(pid_);
  }
  int Wait() { return testing::WaitForExit(pid_, std::chrono::seconds(20)); }
  std::string Stdout() const { return testing::ReadText(Out()); }
  std::string Stderr() const { return testing::ReadText(Err()); }

 private:
  std::filesystem::path Out() const { return folder_.path() / "out"; }
  std::filesystem::path Err() const { return folder_.path() / "err"; }

  testing::TempFolder folder_;
  pid_t pid_ = -1;
  std::optional<testing::Reaper> reaper_;
};

std::vector<std::string> SendArgs(const KissStandIn& peer, std::vector<std::string> more = {}) {
  std::vector<std::string> args{"--kiss-tcp", peer.Address(), "--call", "N0CALL-5"};
  args.insert(args.end(), more.begin(), more.end());
  args.insert(args.end(), {"W1AW", "hello there"});
  return args;
}

struct AnswerRow {
  const char* name;
  std::string answer;  // ID stands for the line's number
  int status;
  std::string out;
};

class MessageToolAnswerTest : public ::testing::TestWithParam<AnswerRow> {};

TEST_P(MessageToolAnswerTest, EndsWithTheAnswer) {
  KissStandIn peer;
  MessageRun run(SendArgs(peer));
  ASSERT_TRUE(peer.Accept());
  const auto frame = peer.NextFrame();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->DestinationText, "APZVOR");
  EXPECT_EQ(frame->SourceText, "N0CALL-5");
  EXPECT_EQ(frame->DigipeaterCount, 2);
  EXPECT_EQ(frame->DigipeaterText[0], "WIDE1-1");
  EXPECT_EQ(frame->DigipeaterText[1], "WIDE2-1");
  const std::string info = Info(*frame);
  ASSERT_EQ(info.rfind(":W1AW     :hello there{", 0), 0U) << info;
  const std::string id = info.substr(23, info.find('}') - 23);
  std::string answer = GetParam().answer;
  answer.replace(answer.find("ID"), 2, id);
  peer.Send("W1AW", answer);
  EXPECT_EQ(run.Wait(), GetParam().status) << run.Stderr();
  EXPECT_EQ(run.Stdout().substr(0, GetParam().out.size()), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Answers, MessageToolAnswerTest,
                         ::testing::ValuesIn(std::vector<AnswerRow>{
                             {"ack", ":N0CALL-5 :ackID\r", 0, "W1AW: acked "},
                             {"rej", ":N0CALL-5 :rejID", 1, "W1AW: rejected\n"},
                         }),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MessageToolTest, ReplyAckLineIsPrintedThenAcked) {
  KissStandIn peer;
  MessageRun run(SendArgs(peer));
  ASSERT_TRUE(peer.Accept());
  const auto frame = peer.NextFrame();
  ASSERT_TRUE(frame);
  const std::string info = Info(*frame);
  const std::string id = info.substr(23, info.find('}') - 23);
  peer.Send("W1AW", ":N0CALL-5 :thanks{Q1}" + id);
  const auto ack = peer.NextFrame();
  ASSERT_TRUE(ack);
  EXPECT_EQ(Info(*ack), ":W1AW     :ackQ1}" + id);
  EXPECT_EQ(run.Wait(), 0);
  EXPECT_EQ(run.Stdout().substr(0, 24), "W1AW: thanks\nW1AW: acked");
}

TEST(MessageToolTest, GivesUpWithNoAck) {
  KissStandIn peer;
  MessageRun run(SendArgs(peer, {"--give-up", "1"}));
  ASSERT_TRUE(peer.Accept());
  EXPECT_EQ(run.Wait(), 2);
  EXPECT_EQ(run.Stdout(), "W1AW: no ack\n");
}

TEST(MessageToolTest, ListensPrintsAndAcks) {
  KissStandIn peer;
  MessageRun run({"--kiss-tcp", peer.Address(), "--call", "N0CALL-5", "--path", "", "--listen",
                  "--seconds", "2"});
  ASSERT_TRUE(peer.Accept());
  peer.Send("W1AW", ":N0CALL-5 :are you there?{7\r\n");
  peer.Send("K1ABC", ":N0CALL   :not for us{8");
  const auto ack = peer.NextFrame();
  ASSERT_TRUE(ack);
  EXPECT_EQ(Info(*ack), ":W1AW     :ack7");
  EXPECT_EQ(ack->DigipeaterCount, 0);
  EXPECT_EQ(run.Wait(), 0);
  EXPECT_EQ(run.Stdout(), "W1AW: are you there?\n");
}

struct BadRow {
  const char* name;
  std::vector<std::string> args;
  std::string said;
};

class MessageToolBadInputTest : public ::testing::TestWithParam<BadRow> {};

TEST_P(MessageToolBadInputTest, Status64WithAReason) {
  MessageRun run(GetParam().args);
  EXPECT_EQ(run.Wait(), 64);
  EXPECT_EQ(run.Stdout(), "");
  EXPECT_NE(run.Stderr().find(GetParam().said), std::string::npos) << run.Stderr();
}

// Port 1 on 127.0.0.1: nothing listens there.
INSTANTIATE_TEST_SUITE_P(
    Bad, MessageToolBadInputTest,
    ::testing::ValuesIn(std::vector<BadRow>{
        {"no_digit", {"--kiss-tcp", "127.0.0.1:1", "--call", "NOCALL", "W1AW", "hi"}, "no digit"},
        {"ssid_16",
         {"--kiss-tcp", "127.0.0.1:1", "--call", "N0CALL-16", "W1AW", "hi"},
         "not a callsign"},
        {"seven_letters",
         {"--kiss-tcp", "127.0.0.1:1", "--call", "N0CALLX", "W1AW", "hi"},
         "not a callsign"},
        {"bad_to", {"--kiss-tcp", "127.0.0.1:1", "--call", "N0CALL", "W1*AW", "hi"}, "TO:"},
        {"too_long",
         {"--kiss-tcp", "127.0.0.1:1", "--call", "N0CALL", "W1AW", std::string(68, 'x')},
         "at most 67"},
        {"forbidden", {"--kiss-tcp", "127.0.0.1:1", "--call", "N0CALL", "W1AW", "a~b"}, "\"~\""},
        {"unreachable",
         {"--kiss-tcp", "127.0.0.1:1", "--call", "N0CALL", "W1AW", "hi"},
         "cannot reach"},
    }),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlink
