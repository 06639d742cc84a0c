#include "app/kiss_server.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "app/client_frame.h"
#include "link/deframer.h"

namespace vorlink {
namespace {
constexpr std::string_view kKissServerPrefix = "KISS server: client ";
}  // namespace

struct KissServer::Client {
  explicit Client(std::string peer, ChunkPool& pool) : name(std::move(peer)), queue(pool) {}
  std::string name;
  ChunkQueue queue;
  Deframer fromClient;
  bool malformedShown = false;  // once per client, however many it sends
};

namespace {

// Hands the client's whole, well-formed data frames to the TNC's queue.
class TncForwarder final : public UnitSink {
 public:
  TncForwarder(TncQueue& tnc, StatusLine& status, KissServerFigures& figures, std::string_view client,
               bool& malformedShown)
      : tnc_(tnc), status_(status), figures_(figures), client_(client), malformedShown_(malformedShown) {}
  void OnUnit(std::span<const std::uint8_t> frame) override {
    switch (JudgeClientFrame(frame)) {
      case ClientFrameVerdict::kData:
        tnc_.Send(frame, client_);
        break;
      case ClientFrameVerdict::kMalformed:
        ++figures_.framesMalformed;
        if (!malformedShown_) status_.SetSimpleText(KissClientText(client_, "frame refused, not well-formed"));
        malformedShown_ = true;
        break;
      case ClientFrameVerdict::kNotData:
        break;
    }
  }
  void OnEscape(std::uint8_t) override {}

 private:
  TncQueue& tnc_;
  StatusLine& status_;
  KissServerFigures& figures_;
  std::string_view client_;
  bool& malformedShown_;
};

}  // namespace

std::string KissClientText(std::string_view client, std::string_view what) {
  std::string text(kKissServerPrefix);
  text.append(client).append(" ").append(what);
  return text;
}

KissServer::KissServer(StatusLine& status, SerialPort& tnc, Clock& clock, KissServerFigures& figures,
                       KissServerLimits limits, std::size_t queueLimit)
    : status_(status),
      figures_(figures),
      limits_(limits),
      queueLimit_(queueLimit),
      tnc_(tnc, clock, status, figures),
      pool_(limits.queueBudget) {
  figures_.clients = 0;
}

KissServer::~KissServer() { figures_.clients = 0; }

std::optional<KissClientId> KissServer::Connect(std::string name) {
  if (clients_.size() >= limits_.maxClients) {
    ++figures_.clientsRefused;
    // Once until a client goes: a crowd knocking would fill the log.
    if (!refusalShown_) status_.SetSimpleText(KissClientText(name, "refused, too many clients"));
    refusalShown_ = true;
    return std::nullopt;
  }
  const KissClientId id = nextId_++;
  auto client = std::make_unique<Client>(std::move(name), pool_);
  status_.SetSimpleText(KissClientText(client->name, "connected"));
  clients_.emplace(id, std::move(client));
  figures_.clients = clients_.size();
  return id;
}

void KissServer::Disconnect(KissClientId client) {
  const auto it = clients_.find(client);
  if (it == clients_.end()) return;
  status_.SetSimpleText(KissClientText(it->second->name, "disconnected"));
  Forget(client);
}

void KissServer::Forget(KissClientId client) {
  clients_.erase(client);
  figures_.clients = clients_.size();
  refusalShown_ = false;
}

void KissServer::DropBehind(KissClientId client) {
  status_.SetSimpleText(KissClientText(clients_.at(client)->name, "dropped, not taking data"));
  ++figures_.clientsDropped;
  Forget(client);
  if (sockets_ != nullptr) sockets_->Close(client);
}

std::optional<KissClientId> KissServer::FurthestBehind() const {
  std::optional<KissClientId> furthest;
  std::size_t most = 0;
  for (const auto& [id, client] : clients_) {
    if (client->queue.Size() > most) {
      most = client->queue.Size();
      furthest = id;
    }
  }
  return furthest;
}

void KissServer::OnReceivedFrame(std::span<const std::uint8_t> frame) {
  std::vector<KissClientId> ids;
  ids.reserve(clients_.size());
  for (const auto& entry : clients_) ids.push_back(entry.first);
  for (const KissClientId id : ids) {
    const auto it = clients_.find(id);
    if (it == clients_.end()) continue;  // dropped to make room for another
    ChunkQueue& queue = it->second->queue;
    if (frame.size() > queueLimit_ - std::min(queue.Size(), queueLimit_)) {
      DropBehind(id);
      continue;
    }
    // The budget spent: whoever is furthest behind makes room.
    bool dropped = false;
    while (!dropped && !queue.Fits(frame.size())) {
      const auto furthest = FurthestBehind();
      if (!furthest) break;
      DropBehind(*furthest);
      dropped = *furthest == id;
    }
    if (dropped) continue;
    if (!queue.Append(frame)) {
      DropBehind(id);
      continue;
    }
    if (sockets_ != nullptr) sockets_->Wake(id);
  }
}

std::span<const std::uint8_t> KissServer::Pending(KissClientId client) const {
  const auto it = clients_.find(client);
  if (it == clients_.end()) return {};
  return it->second->queue.Front();
}

void KissServer::Taken(KissClientId client, std::size_t count) {
  const auto it = clients_.find(client);
  if (it != clients_.end()) it->second->queue.Consume(count);
}

void KissServer::FromClient(KissClientId client, std::span<const std::uint8_t> bytes) {
  const auto it = clients_.find(client);
  // A receive-only client's bytes are read and forgotten.
  if (it == clients_.end() || !clientsTransmit_) return;
  Client& c = *it->second;
  TncForwarder forwarder(tnc_, status_, figures_, c.name, c.malformedShown);
  c.fromClient.Feed(bytes, forwarder);
}

}  // namespace vorlink
