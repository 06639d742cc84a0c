// The KISS server's core: the clients connected, the frames queued for each
// and, when clients may transmit, their frames on the way to the TNC. The
// sockets live in an adapter, which takes the queued bytes as its sockets
// can send them.
//
// What the server takes on is bounded: at most maxClients clients (others
// are refused as they come), each client's queue at most queueLimit bytes,
// and all queues together at most the budget, drawn from one pool of chunks
// that a client gives back as it reads or goes. A client past its own limit,
// or the one furthest behind when the budget is spent, is disconnected, so a
// client that stops reading never holds up reception. A client's own stream
// is cut into frames by a deframer (bounded like the receive side); only
// whole, well-formed KISS data frames reach the TNC, each in one write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/chunk_queue.h"
#include "app/kiss_server_choice.h"
#include "app/kiss_server_figures.h"
#include "app/received_unit_sink.h"
#include "app/tnc_queue.h"
#include "base/clock.h"
#include "base/status_line.h"
#include "link/serial_port.h"

namespace vorlink {

inline constexpr std::size_t kKissServerQueueLimit = std::size_t{1} << 20;

using KissClientId = std::uint64_t;

// The adapter's side: what the core asks of the sockets.
class KissServerSockets {
 public:
  virtual ~KissServerSockets() = default;
  // Bytes wait in the client's queue.
  virtual void Wake(KissClientId client) = 0;
  // Closes the client's connection; the core has forgotten it already.
  virtual void Close(KissClientId client) = 0;
};

// "KISS server: client 127.0.0.1:5555 connected"
std::string KissClientText(std::string_view client, std::string_view what);

class KissServer final : public ReceivedUnitSink {
 public:
  // figures: where the clients and counts are shown from (the station's).
  KissServer(StatusLine& status, SerialPort& tnc, Clock& clock, KissServerFigures& figures,
             KissServerLimits limits = {}, std::size_t queueLimit = kKissServerQueueLimit);
  ~KissServer() override;

  void SetSockets(KissServerSockets* sockets) { sockets_ = sockets; }
  void SetClientsTransmit(bool allowed) { clientsTransmit_ = allowed; }
  // Bytes the TNC's port may hold unsent before client frames are refused.
  void SetTncQueueLimit(std::size_t limit) { tnc_.SetLimit(limit); }
  // The one bounded way to the TNC, which VORLINK's own frames share.
  TncQueue& TncWay() { return tnc_; }

  // name: "HOST:PORT" of the peer, for the texts. Nothing when the server
  // has all the clients it takes: the adapter closes the connection.
  std::optional<KissClientId> Connect(std::string name);
  // The peer went away; nothing for a client dropped already.
  void Disconnect(KissClientId client);

  // Queues the frame for every client.
  void OnReceivedFrame(std::span<const std::uint8_t> frame) override;
  // The oldest bytes queued for the client, perhaps not all of them; empty
  // when nothing waits or for an unknown client.
  std::span<const std::uint8_t> Pending(KissClientId client) const;
  // The adapter sent the first count bytes of Pending.
  void Taken(KissClientId client, std::size_t count);
  // Bytes the client sent.
  void FromClient(KissClientId client, std::span<const std::uint8_t> bytes);

  std::size_t ClientCount() const { return clients_.size(); }
  // Memory the client queues hold now, free reserve included.
  std::size_t QueueBytesHeld() const { return pool_.BytesHeld(); }

 private:
  struct Client;

  // Disconnects the client for falling behind.
  void DropBehind(KissClientId client);
  // The client with the most bytes queued; nothing when none has any.
  std::optional<KissClientId> FurthestBehind() const;
  void Forget(KissClientId client);

  StatusLine& status_;
  KissServerFigures& figures_;
  KissServerLimits limits_;
  std::size_t queueLimit_;
  TncQueue tnc_;
  ChunkPool pool_;
  bool clientsTransmit_ = false;
  bool refusalShown_ = false;  // until a client goes
  KissServerSockets* sockets_ = nullptr;
  KissClientId nextId_ = 1;
  std::map<KissClientId, std::unique_ptr<Client>> clients_;
};

}  // namespace vorlink
