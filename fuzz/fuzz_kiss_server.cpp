// libFuzzer target: the KISS server's core with several clients, as the
// socket adapter drives it, in front of a TNC port that may stall or close.
//
// Input layout:
//   byte 0     the most clients, 1 to 8
//   byte 1     the queue budget, 1 to 16 chunks
//   byte 2     one client's queue limit, 64 to 16384 bytes in steps of 64
//   the rest   operations, one byte each (its value modulo 11) and its
//              arguments:
//     0  a client connects
//     1  client c disconnects                           c
//     2  client c sends n bytes of the input            c n bytes...
//     3  client c sends a well-formed data frame        c command length
//     4  the TNC hears a frame of 3 to 1100 bytes       length(2) seed
//     5  the adapter sends up to n * 17 bytes to c      c n
//     6  the adapter sends all that waits for c         c
//     7  the TNC's port: bit 0 takes data, bit 1 open,  bits
//        bit 2 its queue emptied
//     8  time passes, n quarter seconds                 n
//     9  clients may transmit when bit 0 is set         bits
//    10  the TNC's queue limit, n * 64 bytes (+1)       n
// A client c is picked from every client ever connected and one never known.
//
// Beyond the sanitizers' findings the target traps when the TNC is written
// anything but one whole, well-formed KISS data frame that the writing
// client sent, or written past its queue limit; when a whole well-formed
// frame a client sent while the TNC had room does not reach it; when a
// client reads other bytes than the frames heard since it connected, in
// order; when a queue passes its limit or the queues together their budget;
// when a client is dropped that was neither over its limit nor furthest
// behind; and when the counts disagree with what happened.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/client_frame.h"
#include "app/kiss_server.h"
#include "fuzz_input.h"
#include "link/kiss.h"
#include "support/fake_clock.h"

namespace {

using vorlink::fuzz::FuzzInput;
using vorlink::fuzz::Require;

constexpr std::size_t kMostClients = 8;
constexpr std::size_t kMostBudgetChunks = 16;
constexpr std::size_t kQueueLimitStep = 64;
constexpr std::size_t kReadStep = 17;
constexpr std::size_t kTncLimitStep = 64;
constexpr std::uint8_t kCommandCodeMask = 0x0F;
// FEND, command byte, closing FEND.
constexpr std::size_t kFrameOverhead = 3;

// Whether bytes are one KISS data frame a TNC sends as it is: FENDs at both
// ends and nowhere else, every FESC followed by TFEND or TFESC, and at least
// an AX.25 header once unescaped. Written apart from the server's own check.
bool IsWellFormedDataFrame(std::span<const std::uint8_t> frame) {
  if (frame.size() < kFrameOverhead || frame.size() > vorlink::kFrameBufferCapacity) return false;
  if (frame.front() != vorlink::kFend || frame.back() != vorlink::kFend) return false;
  // A FEND as the command byte would be an empty frame.
  if (frame[1] == vorlink::kFend) return false;
  if ((frame[1] & kCommandCodeMask) != vorlink::kCommandData) return false;
  const auto data = frame.subspan(2, frame.size() - kFrameOverhead);
  std::size_t unescaped = 0;
  for (std::size_t i = 0; i < data.size(); ++i, ++unescaped) {
    if (data[i] == vorlink::kFend) return false;
    if (data[i] != vorlink::kFesc) continue;
    if (i + 1 == data.size() || (data[i + 1] != vorlink::kTfend && data[i + 1] != vorlink::kTfesc)) {
      return false;
    }
    ++i;
  }
  return unescaped >= vorlink::kShortestAx25Header;
}

bool Contains(const std::vector<std::uint8_t>& stream, std::span<const std::uint8_t> part) {
  return std::search(stream.begin(), stream.end(), part.begin(), part.end()) != stream.end();
}

class Status final : public vorlink::StatusLine {
 public:
  void SetSimpleText(std::string_view text) override {
    Require(text.starts_with("KISS server: client ") || text.starts_with("COM 1: "));
  }
};

// The TNC's port: checks each write as the TNC would take it.
class TncPort final : public vorlink::SerialPort {
 public:
  bool open = true;
  bool takesData = true;
  std::size_t queued = 0;
  std::size_t limit = vorlink::kTncQueueMost;
  std::uint64_t accepted = 0;
  std::vector<std::uint8_t> last;  // the last frame accepted
  // What the client now sending has sent while it could transmit; null
  // while no client sends.
  const std::vector<std::uint8_t>* sender = nullptr;

  std::int16_t CommPort() const override { return 1; }
  bool PortOpen() const override { return open; }
  std::span<const std::uint8_t> Input() override { return {}; }
  void DiscardInput() override {}
  std::size_t BytesToWrite() const override { return queued; }
  bool Output(std::span<const std::uint8_t> bytes) override {
    Require(sender != nullptr && IsWellFormedDataFrame(bytes) && Contains(*sender, bytes));
    Require(queued + bytes.size() <= limit);
    if (!open) return false;
    if (!takesData) queued += bytes.size();
    ++accepted;
    last.assign(bytes.begin(), bytes.end());
    return true;
  }
  using vorlink::SerialPort::Output;
};

// What each client should read, kept beside the server by what it reports.
class Model final : public vorlink::KissServerSockets {
 public:
  struct Client {
    std::deque<std::uint8_t> unread;
    std::vector<std::uint8_t> sent;  // while it could transmit
  };

  explicit Model(std::size_t queueLimit) : queueLimit_(queueLimit) {}

  std::map<vorlink::KissClientId, Client> live;
  std::vector<vorlink::KissClientId> known;
  std::uint64_t closes = 0;
  std::uint64_t refused = 0;

  // The frame being handed out, and which clients have had it or gone.
  void Hearing(std::span<const std::uint8_t> frame) {
    hearing_ = frame;
    served_.clear();
  }
  void Heard() {
    for (const auto& [id, client] : live) Require(served_.contains(id));
    hearing_ = {};
  }

  void Wake(vorlink::KissClientId id) override {
    Require(!hearing_.empty() && live.contains(id));
    live[id].unread.insert(live[id].unread.end(), hearing_.begin(), hearing_.end());
    served_.insert(id);
  }
  void Close(vorlink::KissClientId id) override {
    Require(!hearing_.empty() && live.contains(id));
    const std::size_t behind = live[id].unread.size();
    const bool overLimit = behind + hearing_.size() > queueLimit_;
    bool furthest = true;
    for (const auto& [other, client] : live) furthest = furthest && client.unread.size() <= behind;
    Require(overLimit || furthest);
    live.erase(id);
    served_.insert(id);
    ++closes;
  }

 private:
  std::size_t queueLimit_;
  std::span<const std::uint8_t> hearing_;
  std::set<vorlink::KissClientId> served_;
};

class Run {
 public:
  explicit Run(FuzzInput& in)
      : maxClients_(in.Byte() % kMostClients + 1),
        budgetChunks_(in.Byte() % kMostBudgetChunks + 1),
        queueLimit_((in.Byte() + std::size_t{1}) * kQueueLimitStep),
        model_(queueLimit_),
        server_(status_, tnc_, clock_, figures_, {maxClients_, budgetChunks_ * vorlink::kChunkSize},
                queueLimit_) {
    server_.SetSockets(&model_);
  }

  void Step(FuzzInput& in) {
    switch (in.Byte() % 11) {
      case 0: Connect(); break;
      case 1: Disconnect(Pick(in)); break;
      case 2: {
        const vorlink::KissClientId id = Pick(in);
        FromClient(id, in.Bytes(in.Byte()));
        break;
      }
      case 3: {
        const vorlink::KissClientId id = Pick(in);
        const std::uint8_t command = in.Byte();
        SendDataFrame(id, DataFrame(command, in.Byte()));
        break;
      }
      case 4: {
        const std::size_t length = kFrameOverhead + in.Word() % (vorlink::kFrameBufferCapacity - 2);
        Hear(length, in.Byte());
        break;
      }
      case 5: {
        const vorlink::KissClientId id = Pick(in);
        Read(id, in.Byte() * kReadStep);
        break;
      }
      case 6: Read(Pick(in), SIZE_MAX); break;
      case 7: {
        const std::uint8_t bits = in.Byte();
        tnc_.takesData = (bits & 1) != 0;
        tnc_.open = (bits & 2) != 0;
        if ((bits & 4) != 0) tnc_.queued = 0;
        break;
      }
      case 8: clock_.monotonic += std::chrono::milliseconds(250) * in.Byte(); break;
      case 9: transmit_ = (in.Byte() & 1) != 0; server_.SetClientsTransmit(transmit_); break;
      case 10:
        tnc_.limit = in.Byte() * kTncLimitStep + 1;
        server_.SetTncQueueLimit(tnc_.limit);
        break;
    }
    Check();
  }

  // Every client reads what waits for it, in full.
  void Finish() {
    for (const vorlink::KissClientId id : model_.known) Read(id, SIZE_MAX);
    Check();
    for (const vorlink::KissClientId id : model_.known) Disconnect(id);
    Require(server_.QueueBytesHeld() <= vorlink::kChunkReserve * vorlink::kChunkSize);
  }

 private:
  vorlink::KissClientId Pick(FuzzInput& in) {
    const std::size_t k = in.Byte() % (model_.known.size() + 1);
    return k < model_.known.size() ? model_.known[k] : ~vorlink::KissClientId{0};
  }

  void Connect() {
    const auto id = server_.Connect("127.0.0.1:" + std::to_string(model_.known.size()));
    Require(id.has_value() == (model_.live.size() < maxClients_));
    if (!id) {
      ++model_.refused;
      return;
    }
    Require(!model_.live.contains(*id));
    model_.live[*id];
    model_.known.push_back(*id);
  }

  void Disconnect(vorlink::KissClientId id) {
    server_.Disconnect(id);
    model_.live.erase(id);
  }

  void FromClient(vorlink::KissClientId id, std::span<const std::uint8_t> bytes) {
    const auto it = model_.live.find(id);
    if (it != model_.live.end() && transmit_) {
      it->second.sent.insert(it->second.sent.end(), bytes.begin(), bytes.end());
      tnc_.sender = &it->second.sent;
    }
    server_.FromClient(id, bytes);
    tnc_.sender = nullptr;
  }

  // A whole frame after whatever the client sent before: its opening FEND
  // ends anything unfinished, so a well-formed one reaches a TNC with room.
  void SendDataFrame(vorlink::KissClientId id, const std::vector<std::uint8_t>& frame) {
    const bool room = tnc_.open && tnc_.takesData && tnc_.queued + frame.size() <= tnc_.limit;
    const bool reaches = room && transmit_ && model_.live.contains(id) && IsWellFormedDataFrame(frame);
    const std::uint64_t before = tnc_.accepted;
    FromClient(id, frame);
    if (reaches) Require(tnc_.accepted > before && tnc_.last == frame);
  }

  // FEND, the command, length bytes of an AX.25 frame, FEND; escaped FENDs
  // and FESCs among them when the length calls for them.
  std::vector<std::uint8_t> DataFrame(std::uint8_t command, std::uint8_t length) {
    std::vector<std::uint8_t> frame{vorlink::kFend, static_cast<std::uint8_t>(command & 0xF0)};
    for (std::size_t i = 0; i < length; ++i) {
      if (i % 97 == 96) {
        frame.insert(frame.end(), {vorlink::kFesc, i % 2 == 0 ? vorlink::kTfend : vorlink::kTfesc});
      } else {
        frame.push_back(static_cast<std::uint8_t>(0x40 + i % 32));
      }
    }
    frame.push_back(vorlink::kFend);
    return frame;
  }

  void Hear(std::size_t length, std::uint8_t seed) {
    std::vector<std::uint8_t> frame(length);
    for (std::size_t i = 0; i < length; ++i) frame[i] = static_cast<std::uint8_t>(seed + heardCount_ + i);
    frame.front() = frame.back() = vorlink::kFend;
    ++heardCount_;
    model_.Hearing(frame);
    server_.OnReceivedFrame(frame);
    model_.Heard();
  }

  // The adapter's reads: a front at a time, compared with what was heard.
  void Read(vorlink::KissClientId id, std::size_t most) {
    const auto it = model_.live.find(id);
    if (it == model_.live.end()) {
      Require(server_.Pending(id).empty());
      return;
    }
    std::deque<std::uint8_t>& unread = it->second.unread;
    while (most > 0) {
      const auto front = server_.Pending(id);
      Require(front.size() <= unread.size() && front.empty() == unread.empty());
      if (front.empty()) return;
      const std::size_t n = std::min(front.size(), most);
      Require(std::equal(front.begin(), front.begin() + static_cast<std::ptrdiff_t>(n), unread.begin()));
      server_.Taken(id, n);
      unread.erase(unread.begin(), unread.begin() + static_cast<std::ptrdiff_t>(n));
      most -= n;
    }
  }

  void Check() const {
    Require(server_.ClientCount() == model_.live.size() && figures_.clients == model_.live.size());
    Require(model_.live.size() <= maxClients_);
    std::size_t waiting = 0;
    for (const auto& [id, client] : model_.live) {
      Require(client.unread.size() <= queueLimit_);
      waiting += client.unread.size();
    }
    Require(waiting <= budgetChunks_ * vorlink::kChunkSize);
    Require(server_.QueueBytesHeld() <= (budgetChunks_ + vorlink::kChunkReserve) * vorlink::kChunkSize);
    Require(figures_.clientsDropped == model_.closes && figures_.clientsRefused == model_.refused);
    Require(figures_.framesToTnc == tnc_.accepted);
  }

  std::size_t maxClients_;
  std::size_t budgetChunks_;
  std::size_t queueLimit_;
  Status status_;
  TncPort tnc_;
  vorlink::testing::FakeClock clock_;
  vorlink::KissServerFigures figures_;
  Model model_;
  vorlink::KissServer server_;
  bool transmit_ = false;
  std::uint64_t heardCount_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return vorlink::fuzz::RunProgram<Run>(data, size);
}
