// The data link manager fed hostile frames, user requests and timer ticks,
// all read from the input as a program. Checked after every step: the
// state line stays inside its bounds (sequence numbers inside the modulus,
// outstanding frames inside the window, the queues inside their limits),
// every frame the links send reads back as a frame, and no link receives
// more data than came in.
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ax25link/link_manager.h"
#include "support/fake_clock.h"
#include "fuzz_input.h"

namespace vorlink::fuzz {
namespace {

constexpr std::size_t kMaxRawFrame = 400;
constexpr std::size_t kSendQueueBytes = 4096;
constexpr std::size_t kMaxInfo = 256;
constexpr int kRemotes = 3;
constexpr std::size_t kMaxWindow = 127;

class Checks final : public FrameSink, public LinkEvents {
 public:
  void SendFrame(std::span<const std::uint8_t> frame, bool) override {
    const auto addresses = ReadAddresses(frame);
    Require(addresses.has_value());
    Require(frame.size() <= addresses->controlOffset + 3 + kMaxInfo);
  }
  void OnConnected(const LinkId&) override {}
  void OnDisconnected(const LinkId&, DisconnectReason) override {}
  void OnData(const LinkId&, std::span<const std::uint8_t> data) override {
    Require(!data.empty() && data.size() <= kMaxInfo);
    delivered += data.size();
  }
  void OnStateChanged(const LinkId&, LinkState) override {}

  std::size_t delivered = 0;
};

class LinkProgram {
 public:
  explicit LinkProgram(FuzzInput& in) : manager_(Parameters(in), clock_, checks_, checks_) {
    manager_.SetOwnCalls({own_});
    manager_.SetAcceptIncoming(in.Byte() & 1);
  }

  void Step(FuzzInput& in) {
    const std::uint8_t op = in.Byte();
    const Ax25Address& remote = remotes_[op % kRemotes];
    const LinkId id{own_, remote};
    switch ((op >> 2) % 9) {
      case 0: ReceiveRaw(in); break;
      case 1:
      case 2: ReceiveBuilt(in, remote); break;
      case 3: Advance(in); break;
      case 4: manager_.Send(id, in.Bytes(in.Word() % 1200)); break;
      case 5: manager_.Connect({own_, remote, {}}, in.Byte() & 1); break;
      case 6: manager_.Disconnect(id); break;
      case 7: manager_.SetOwnBusy(id, in.Byte() & 1); break;
      default: Advance(in); break;
    }
    Check();
  }

  void Finish() {
    // Long enough for every timer to run out N2 times over.
    for (int i = 0; i < 64; ++i) {
      clock_.monotonic += std::chrono::seconds{70};
      manager_.Tick();
      Check();
    }
  }

 private:
  static LinkParameters Parameters(FuzzInput& in) {
    LinkParameters p;
    const std::uint8_t b = in.Byte();
    p.version22 = b & 1;
    p.windowModulo8 = 1 + (b >> 1) % 7;
    p.windowModulo128 = 1 + in.Byte() % 127;
    p.retriesN2 = 1 + (b >> 4) % 10;
    p.sendQueueBytes = kSendQueueBytes;
    p.maxInfoN1 = kMaxInfo;
    return p;
  }

  void ReceiveRaw(FuzzInput& in) {
    const auto bytes = in.Bytes(in.Word() % kMaxRawFrame);
    received_ += bytes.size();
    manager_.Receive(bytes);
  }

  // Well-formed addresses around a fuzzed control field and information,
  // so the state machine is reached and not only the address reader.
  void ReceiveBuilt(FuzzInput& in, const Ax25Address& remote) {
    LinkFrame f;
    const std::uint8_t kind = in.Byte();
    f.kind = static_cast<FrameKind>(kind % 14);
    f.command = kind & 0x40;
    f.pollFinal = kind & 0x80;
    f.nr = in.Byte();
    f.ns = in.Byte();
    if (f.kind == FrameKind::I || f.kind == FrameKind::UI) f.pid = kPidNoLayer3;
    const auto info = in.Bytes(in.Word() % 300);
    f.info.assign(info.begin(), info.end());
    received_ += f.info.size();
    manager_.Receive(BuildFrame({remote, own_, {}}, f, in.Byte() & 1));
  }

  void Advance(FuzzInput& in) {
    clock_.monotonic += std::chrono::milliseconds{in.Word() * 16};
    manager_.Tick();
  }

  void Check() {
    Require(manager_.LinkCount() <= LinkManager::kMaxLinks);
    Require(checks_.delivered <= received_);
    for (const auto& remote : remotes_) {
      const auto s = manager_.Snapshot({own_, remote});
      if (!s) continue;
      const int modulus = s->modulo128 ? 128 : 8;
      Require(s->vs >= 0 && s->vs < modulus && s->vr >= 0 && s->vr < modulus);
      Require(s->va >= 0 && s->va < modulus);
      Require(s->outstanding >= 0 && s->outstanding < modulus);
      // Frames the peer dropped unread may go back in front of a full queue.
      Require(s->queuedBytes <= kSendQueueBytes + kMaxWindow * kMaxInfo);
      Require(s->heldOutOfOrder <= DataLink::kMaxOutOfOrder);
      Require(s->t1 >= std::chrono::milliseconds{1000} && s->t1 <= std::chrono::milliseconds{60000});
      if (s->state == LinkState::Disconnected) Require(s->outstanding == 0 && s->queuedBytes == 0);
    }
  }

  testing::FakeClock clock_;
  Checks checks_;
  Ax25Address own_{"N0CALL", 0, false};
  std::array<Ax25Address, kRemotes> remotes_{{{"BBS", 0, false}, {"NODE", 7, false}, {"W1AW", 15, false}}};
  LinkManager manager_;
  std::size_t received_ = 0;
};

}  // namespace
}  // namespace vorlink::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return vorlink::fuzz::RunProgram<vorlink::fuzz::LinkProgram>(data, size);
}
