// What a data link hands out: frames to send, news for the user, and the
// state line that lays the link open.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string_view>

#include "decode/ax25_address.h"

namespace vorlink {

// A link is named by the two stations at its ends.
struct LinkId {
  Ax25Address own;
  Ax25Address remote;

  bool Matches(const Ax25Address& ownCall, const Ax25Address& remoteCall) const {
    return own.SameStation(ownCall) && remote.SameStation(remoteCall);
  }
};

enum class LinkState {
  Disconnected,
  AwaitingConnection,    // SABM sent (2.0)
  AwaitingConnection22,  // SABME sent (2.2)
  Connected,
  TimerRecovery,
  AwaitingRelease,
};

enum class DisconnectReason {
  Requested,        // we asked and the peer agreed, or did not answer the DISC
  PeerDisconnected,  // the peer sent DISC, or DM on a running link
  Refused,          // DM to our connect request
  NoAnswer,         // N2 connect requests unanswered
  LinkFailed,       // N2 polls of a running link unanswered
};

std::string_view LinkStateText(LinkState state);
std::string_view DisconnectReasonText(DisconnectReason reason);

struct LinkSnapshot {
  LinkState state = LinkState::Disconnected;
  bool modulo128 = false;
  bool selectiveReject = false;
  int vs = 0;  // V(S), V(R), V(A): the names the protocol gives them
  int vr = 0;
  int va = 0;
  int outstanding = 0;  // I frames sent and not yet acknowledged
  int retries = 0;      // of the current frame or request
  std::chrono::milliseconds t1{};
  std::chrono::milliseconds srtt{};
  bool ownBusy = false;
  bool peerBusy = false;
  int rejSent = 0;
  int rejReceived = 0;
  int srejSent = 0;
  int srejReceived = 0;
  int resets = 0;
  std::size_t queuedBytes = 0;
  int heldOutOfOrder = 0;  // frames kept for selective reject
};

class FrameSink {
 public:
  virtual ~FrameSink() = default;
  // frame: the AX.25 bytes (no KISS framing). linkFrame: the data link's own
  // frame, paced by its window and T1 rather than by a transmit bucket.
  virtual void SendFrame(std::span<const std::uint8_t> frame, bool linkFrame) = 0;
};

class LinkEvents {
 public:
  virtual ~LinkEvents() = default;
  virtual void OnConnected(const LinkId& link) = 0;
  virtual void OnDisconnected(const LinkId& link, DisconnectReason reason) = 0;
  virtual void OnData(const LinkId& link, std::span<const std::uint8_t> data) = 0;
  virtual void OnStateChanged(const LinkId& link, LinkState state) = 0;
};

}  // namespace vorlink
