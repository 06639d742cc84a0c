// The data links of one station at once, one per (own call, remote call).
// Received frames go to the link their addresses name; a connect request
// to one of our calls from a station without a link opens one when
// incoming connects are allowed, and is refused with DM when not (or when
// kMaxLinks are open: a flood of callers cannot grow the table).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "ax25link/data_link.h"

namespace vorlink {

class LinkManager {
 public:
  static constexpr std::size_t kMaxLinks = 32;

  LinkManager(const LinkParameters& parameters, Clock& clock, FrameSink& sink,
              LinkEvents& events);

  // The calls other stations may connect to.
  void SetOwnCalls(std::vector<Ax25Address> calls) { ownCalls_ = std::move(calls); }
  void SetAcceptIncoming(bool accept);

  // Opens a link to route.remote along route.path; false when it would pass
  // kMaxLinks, the path is longer than 8, or a link to it runs already.
  bool Connect(const LinkRoute& route, bool version22);
  // The same, 2.2 or 2.0 as the parameters say.
  bool Connect(const LinkRoute& route) { return Connect(route, parameters_.version22); }
  void Disconnect(const LinkId& id);
  bool Send(const LinkId& id, std::span<const std::uint8_t> data);
  void SetOwnBusy(const LinkId& id, bool busy);

  // A frame from the channel (AX.25 bytes, no KISS framing).
  void Receive(std::span<const std::uint8_t> frame);
  void Tick();
  std::optional<DataLink::TimePoint> NextDeadline() const;

  std::optional<LinkSnapshot> Snapshot(const LinkId& id) const;
  bool AllAcknowledged(const LinkId& id) const;
  std::size_t LinkCount() const { return links_.size(); }

 private:
  DataLink* Find(const Ax25Address& own, const Ax25Address& remote) const;
  bool IsOwnCall(const Ax25Address& call) const;
  DataLink* Open(const LinkRoute& route);
  void Refuse(const ReceivedAddresses& addresses, bool pollFinal);
  void ForgetDisconnected();

  LinkParameters parameters_;
  Clock& clock_;
  FrameSink& sink_;
  LinkEvents& events_;
  std::vector<Ax25Address> ownCalls_;
  std::vector<std::unique_ptr<DataLink>> links_;
};

}  // namespace vorlink
