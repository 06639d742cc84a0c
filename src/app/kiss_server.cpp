#include "app/kiss_server.h"

#include <algorithm>
#include <utility>

#include "link/kiss.h"

namespace vorlink {
namespace {

constexpr std::string_view kKissServerPrefix = "KISS server: client ";
constexpr std::uint8_t kCommandCodeMask = 0x0F;

// Hands the client's whole data frames to the TNC, one write each.
class TncForwarder final : public UnitSink {
 public:
  TncForwarder(SerialPort& tnc, StatusLine& status, const std::string& client)
      : tnc_(tnc), status_(status), client_(client) {}
  void OnUnit(std::span<const std::uint8_t> frame) override {
    // Parameter commands would retune the TNC under everyone's feet.
    if (frame.size() <= 2 || (frame[1] & kCommandCodeMask) != kCommandData) return;
    if (!tnc_.Output(frame)) status_.SetSimpleText(KissClientText(client_, "frame not sent to the TNC"));
  }
  void OnEscape(std::uint8_t) override {}

 private:
  SerialPort& tnc_;
  StatusLine& status_;
  const std::string& client_;
};

}  // namespace

struct KissServer::Client {
  std::string name;
  // Queued bytes are queue[head..]; the front is cut off once it is the larger part.
  std::vector<std::uint8_t> queue;
  std::size_t head = 0;
  Deframer fromClient;

  std::size_t Queued() const { return queue.size() - head; }
};

std::string KissClientText(std::string_view client, std::string_view what) {
  std::string text(kKissServerPrefix);
  text.append(client).append(" ").append(what);
  return text;
}

KissServer::KissServer(StatusLine& status, SerialPort& tnc, std::size_t& clientCount,
                       std::size_t queueLimit)
    : status_(status), tnc_(tnc), clientCount_(clientCount), queueLimit_(queueLimit) {
  clientCount_ = 0;
}

KissServer::~KissServer() { clientCount_ = 0; }

KissClientId KissServer::Connect(std::string name) {
  const KissClientId id = nextId_++;
  auto client = std::make_unique<Client>();
  client->name = std::move(name);
  status_.SetSimpleText(KissClientText(client->name, "connected"));
  clients_.emplace(id, std::move(client));
  clientCount_ = clients_.size();
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
  clientCount_ = clients_.size();
}

void KissServer::OnReceivedFrame(std::span<const std::uint8_t> frame) {
  std::vector<KissClientId> behind;
  for (auto& [id, client] : clients_) {
    if (frame.size() > queueLimit_ - std::min(client->Queued(), queueLimit_)) {
      behind.push_back(id);
      continue;
    }
    client->queue.insert(client->queue.end(), frame.begin(), frame.end());
    if (sockets_ != nullptr) sockets_->Wake(id);
  }
  for (const KissClientId id : behind) {
    status_.SetSimpleText(KissClientText(clients_.at(id)->name, "dropped, not taking data"));
    Forget(id);
    if (sockets_ != nullptr) sockets_->Close(id);
  }
}

std::span<const std::uint8_t> KissServer::Pending(KissClientId client) const {
  const auto it = clients_.find(client);
  if (it == clients_.end()) return {};
  const Client& c = *it->second;
  return std::span(c.queue).subspan(c.head);
}

void KissServer::Taken(KissClientId client, std::size_t count) {
  const auto it = clients_.find(client);
  if (it == clients_.end()) return;
  Client& c = *it->second;
  c.head += std::min(count, c.Queued());
  if (c.head == c.queue.size()) {
    c.queue.clear();
    c.head = 0;
  } else if (c.head > c.Queued()) {
    c.queue.erase(c.queue.begin(), c.queue.begin() + static_cast<std::ptrdiff_t>(c.head));
    c.head = 0;
  }
}

void KissServer::FromClient(KissClientId client, std::span<const std::uint8_t> bytes) {
  const auto it = clients_.find(client);
  // A receive-only client's bytes are read and forgotten.
  if (it == clients_.end() || !clientsTransmit_) return;
  TncForwarder forwarder(tnc_, status_, it->second->name);
  it->second->fromClient.Feed(bytes, forwarder);
}

}  // namespace vorlink
