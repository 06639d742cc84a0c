// The KISS server's core: the clients connected, the frames queued for each
// and, when clients may transmit, their frames on the way to the TNC. The
// sockets live in an adapter, which takes the queued bytes as its sockets
// can send them.
//
// A client's queue holds at most queueLimit bytes: a frame that would go past
// it disconnects the client, so a client that stops reading costs a bounded
// amount of memory and never holds up reception. A client's own stream is cut
// into frames by a deframer (bounded like the receive side); only whole KISS
// data frames reach the TNC, each in one write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/received_unit_sink.h"
#include "base/status_line.h"
#include "link/deframer.h"
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
  // clientCount: where the number of clients is shown from (the station's).
  KissServer(StatusLine& status, SerialPort& tnc, std::size_t& clientCount,
             std::size_t queueLimit = kKissServerQueueLimit);
  ~KissServer() override;

  void SetSockets(KissServerSockets* sockets) { sockets_ = sockets; }
  void SetClientsTransmit(bool allowed) { clientsTransmit_ = allowed; }

  // name: "HOST:PORT" of the peer, for the texts.
  KissClientId Connect(std::string name);
  // The peer went away; nothing for a client dropped already.
  void Disconnect(KissClientId client);

  // Queues the frame for every client.
  void OnReceivedFrame(std::span<const std::uint8_t> frame) override;
  // The bytes queued for the client, oldest first; empty for an unknown one.
  std::span<const std::uint8_t> Pending(KissClientId client) const;
  // The adapter sent the first count bytes of Pending.
  void Taken(KissClientId client, std::size_t count);
  // Bytes the client sent.
  void FromClient(KissClientId client, std::span<const std::uint8_t> bytes);

  std::size_t ClientCount() const { return clients_.size(); }

 private:
  struct Client;

  void Forget(KissClientId client);

  StatusLine& status_;
  SerialPort& tnc_;
  std::size_t& clientCount_;
  std::size_t queueLimit_;
  bool clientsTransmit_ = false;
  KissServerSockets* sockets_ = nullptr;
  KissClientId nextId_ = 1;
  std::map<KissClientId, std::unique_ptr<Client>> clients_;
};

}  // namespace vorlink
