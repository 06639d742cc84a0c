// vorlink-connect in-process against a KISS TCP stand-in on 127.0.0.1 whose
// peer is a second data link: the station echoes, refuses, stays silent or
// goes silent once connected; and the command lines it refuses.
#include "connect_tool.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "ax25link/link_manager.h"
#include "base/system_clock.h"
#include "decode/ax25_encoder.h"
#include "link/deframer.h"
#include "link/kiss_unescape.h"

namespace vorlink {
namespace {

enum class Station { Echo, Refuse, Silent, SilentOnceConnected };

// A TNC on a loopback port with one station behind it.
class KissTcpStandIn final : public FrameSink, public LinkEvents, public UnitSink {
 public:
  explicit KissTcpStandIn(Station station) : station_(station) {
    LinkParameters p;
    p.initialT1 = std::chrono::milliseconds{200};
    p.minimumT1 = std::chrono::milliseconds{100};
    p.acceptIncoming = station != Station::Refuse;
    manager_.emplace(p, clock_, *this, *this);
    manager_->SetOwnCalls({bbs_});
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    listen(listener_, 1);
    socklen_t length = sizeof a;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &length);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~KissTcpStandIn() override {
    stop_ = true;
    thread_.join();
    close(listener_);
  }
  std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

  void SendFrame(std::span<const std::uint8_t> frame, bool) override {
    const auto kiss = WrapInKiss(frame);
    if (client_ >= 0) send(client_, kiss.data(), kiss.size(), MSG_NOSIGNAL);
  }
  void OnConnected(const LinkId&) override { connected_ = true; }
  void OnDisconnected(const LinkId&, DisconnectReason) override {}
  void OnData(const LinkId& id, std::span<const std::uint8_t> data) override {
    manager_->Send(id, data);
  }
  void OnStateChanged(const LinkId&, LinkState) override {}
  void OnUnit(std::span<const std::uint8_t> frame) override {
    if (frame.size() <= 2) return;
    if (station_ == Station::Silent) return;
    if (station_ == Station::SilentOnceConnected && connected_) return;
    UnescapedFrame buffer;
    const auto unescaped = UnescapeFrame(frame, buffer);
    if (!unescaped.empty() && unescaped[0] == 0) manager_->Receive(unescaped.subspan(1));
  }
  void OnEscape(std::uint8_t) override {}

 private:
  void Serve() {
    pollfd wait{listener_, POLLIN, 0};
    while (!stop_ && client_ < 0) {
      if (poll(&wait, 1, 20) > 0) client_ = accept(listener_, nullptr, nullptr);
    }
    while (!stop_ && client_ >= 0) {
      pollfd p{client_, POLLIN, 0};
      if (poll(&p, 1, 10) > 0) {
        std::uint8_t chunk[2048];
        const ssize_t n = recv(client_, chunk, sizeof chunk, 0);
        if (n <= 0) break;
        deframer_.Feed(std::span(chunk, static_cast<std::size_t>(n)), *this);
      }
      manager_->Tick();
    }
    if (client_ >= 0) close(client_);
  }

  Station station_;
  SystemClock clock_;
  Ax25Address bbs_{"BBS", 0, false};
  std::optional<LinkManager> manager_;
  Deframer deframer_;
  int listener_ = -1;
  int client_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  bool connected_ = false;
  std::thread thread_;
};

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

std::string Contents(std::FILE* f) {
  std::rewind(f);
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
  std::fclose(f);
  return text;
}

ToolRun RunTool(std::vector<std::string> args, const std::string& input) {
  int pipeFds[2];
  EXPECT_EQ(pipe(pipeFds), 0);
  EXPECT_EQ(write(pipeFds[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
  close(pipeFds[1]);
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  std::vector<std::string_view> views(args.begin(), args.end());
  SystemClock clock;
  const int status = RunConnectTool(views, pipeFds[0], out, err, clock);
  close(pipeFds[0]);
  return {status, Contents(out), Contents(err)};
}

struct ConnectCase {
  const char* name;
  Station station;
  std::vector<std::string> extra;
  int status;
  std::string out;
  std::string errHas;
};

TEST(ConnectToolTest, AgainstAStationBehindKissTcp) {
  const ConnectCase cases[] = {
      {"EchoV20", Station::Echo, {}, 0, "hello\nworld\n", "*** disconnected"},
      {"EchoV22", Station::Echo, {"--v22"}, 0, "hello\nworld\n", "*** connected to BBS"},
      {"Refused", Station::Refuse, {}, 1, "", "refused (DM)"},
      {"NobodyThere", Station::Silent, {"--t1", "50", "--retries", "2"}, 1, "",
       "no answer (retries used up)"},
      {"LinkFails", Station::SilentOnceConnected, {"--t1", "50", "--retries", "2"}, 2, "",
       "link failed"},
  };
  for (const auto& c : cases) {
    KissTcpStandIn tnc(c.station);
    std::vector<std::string> args{"--kiss-tcp", tnc.Address(), "--call", "N0CALL-1"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    args.push_back("BBS");
    const ToolRun run = RunTool(args, "hello\nworld\n");
    EXPECT_EQ(run.status, c.status) << c.name << ": " << run.err;
    EXPECT_EQ(run.out, c.out) << c.name;
    EXPECT_NE(run.err.find(c.errHas), std::string::npos) << c.name << ": " << run.err;
  }
}

TEST(ConnectToolTest, BadInputIs64) {
  // A port nobody listens on: bound, then closed again.
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t length = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &length);
  const std::string closed = "127.0.0.1:" + std::to_string(ntohs(a.sin_port));
  close(s);
  const std::string nine = "D1,D2,D3,D4,D5,D6,D7,D8,D9";
  const std::vector<std::vector<std::string>> cases = {
      {"--kiss-tcp", closed, "--call", "N0CALL", "BBS"},
      {"--kiss-tcp", closed, "--call", "N0CALL-16", "BBS"},
      {"--kiss-tcp", closed, "--call", "N0CALL", "B/BS"},
      {"--kiss-tcp", closed, "--call", "N0CALL", "--via", nine, "BBS"},
      {"--kiss-tcp", closed, "--call", "N0CALL", "--v20", "--v22", "BBS"},
      {"--call", "N0CALL", "BBS"},
      {"--kiss-tcp", closed, "--call", "N0CALL"},
  };
  for (const auto& args : cases) {
    const ToolRun run = RunTool(args, "");
    EXPECT_EQ(run.status, kConnectBadInput) << args.back() << ": " << run.err;
    EXPECT_NE(run.err.find("vorlink-connect: "), std::string::npos) << run.err;
  }
}

TEST(ConnectToolTest, HelpNamesEveryOption) {
  const ToolRun run = RunTool({"--help"}, "");
  EXPECT_EQ(run.status, 0);
  for (const char* option : {"--kiss-tcp", "--call", "--via", "--v20", "--v22", "--t1", "--retries"}) {
    EXPECT_NE(run.out.find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace vorlink
