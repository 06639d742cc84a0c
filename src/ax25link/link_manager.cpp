#include "ax25link/link_manager.h"

#include <algorithm>

namespace vorlink {

LinkManager::LinkManager(const LinkParameters& parameters, Clock& clock, FrameSink& sink,
                         LinkEvents& events)
    : parameters_(parameters), clock_(clock), sink_(sink), events_(events) {}

void LinkManager::SetAcceptIncoming(bool accept) {
  parameters_.acceptIncoming = accept;
  for (auto& link : links_) link->SetAcceptIncoming(accept);
}

DataLink* LinkManager::Find(const Ax25Address& own, const Ax25Address& remote) const {
  for (const auto& link : links_) {
    if (link->Id().Matches(own, remote)) return link.get();
  }
  return nullptr;
}

bool LinkManager::IsOwnCall(const Ax25Address& call) const {
  return std::any_of(ownCalls_.begin(), ownCalls_.end(),
                     [&](const Ax25Address& own) { return own.SameStation(call); });
}

void LinkManager::ForgetDisconnected() {
  std::erase_if(links_, [](const std::unique_ptr<DataLink>& link) {
    return link->State() == LinkState::Disconnected;
  });
}

DataLink* LinkManager::Open(const LinkRoute& route) {
  if (route.path.size() > kMaxEncodedDigipeaters || !IsValidAddress(route.own) ||
      !IsValidAddress(route.remote)) {
    return nullptr;
  }
  if (links_.size() >= kMaxLinks) ForgetDisconnected();
  if (links_.size() >= kMaxLinks) return nullptr;
  links_.push_back(std::make_unique<DataLink>(route, parameters_, clock_, sink_, events_));
  return links_.back().get();
}

bool LinkManager::Connect(const LinkRoute& route, bool version22) {
  DataLink* link = Find(route.own, route.remote);
  if (link && link->State() != LinkState::Disconnected) return false;
  if (link) {
    if (route.path.size() > kMaxEncodedDigipeaters) return false;
    link->SetPath(route.path);
  } else {
    link = Open(route);
  }
  if (!link) return false;
  link->Connect(version22);
  return true;
}

void LinkManager::Disconnect(const LinkId& id) {
  if (DataLink* link = Find(id.own, id.remote)) link->Disconnect();
}

bool LinkManager::Send(const LinkId& id, std::span<const std::uint8_t> data) {
  DataLink* link = Find(id.own, id.remote);
  return link && link->Send(data);
}

void LinkManager::SetOwnBusy(const LinkId& id, bool busy) {
  if (DataLink* link = Find(id.own, id.remote)) link->SetOwnBusy(busy);
}

void LinkManager::Refuse(const ReceivedAddresses& addresses, bool pollFinal) {
  LinkFrame dm;
  dm.kind = FrameKind::DM;
  dm.command = false;
  dm.pollFinal = pollFinal;
  const LinkRoute back{addresses.destination, addresses.source,
                       ReversePath(addresses.digipeaters)};
  const auto bytes = BuildFrame(back, dm, false);
  if (!bytes.empty()) sink_.SendFrame(bytes, true);
}

void LinkManager::Receive(std::span<const std::uint8_t> frame) {
  const auto addresses = ReadAddresses(frame);
  if (!addresses) return;
  // Still on its way through a digipeater: not ours to answer yet.
  for (const auto& d : addresses->digipeaters) {
    if (!d.repeated) return;
  }
  DataLink* link = Find(addresses->destination, addresses->source);
  if (!link) {
    if (!IsOwnCall(addresses->destination)) return;
    // U frames read the same under either modulus.
    const auto f = ReadControl(frame, *addresses, false);
    if (!f) return;
    const bool opens = f->kind == FrameKind::SABM || f->kind == FrameKind::SABME ||
                       f->kind == FrameKind::XID;
    if (opens && f->command && parameters_.acceptIncoming) {
      link = Open({addresses->destination, addresses->source, ReversePath(addresses->digipeaters)});
    }
    if (!link) {
      const bool answered = f->kind == FrameKind::SABM || f->kind == FrameKind::SABME ||
                            f->kind == FrameKind::DISC || (f->command && f->pollFinal);
      if (answered && f->kind != FrameKind::UI && f->kind != FrameKind::XID) {
        Refuse(*addresses, f->pollFinal);
      }
      return;
    }
  } else if (link->State() == LinkState::Disconnected) {
    link->SetPath(ReversePath(addresses->digipeaters));
  }
  link->Receive(frame, *addresses);
}

void LinkManager::Tick() {
  for (std::size_t i = 0; i < links_.size(); ++i) links_[i]->Tick();
}

std::optional<DataLink::TimePoint> LinkManager::NextDeadline() const {
  std::optional<DataLink::TimePoint> next;
  for (const auto& link : links_) {
    const auto d = link->NextDeadline();
    if (d && (!next || *d < *next)) next = d;
  }
  return next;
}

std::optional<LinkSnapshot> LinkManager::Snapshot(const LinkId& id) const {
  if (const DataLink* link = Find(id.own, id.remote)) return link->Snapshot();
  return std::nullopt;
}

bool LinkManager::AllAcknowledged(const LinkId& id) const {
  const DataLink* link = Find(id.own, id.remote);
  return !link || link->AllAcknowledged();
}

}  // namespace vorlink
