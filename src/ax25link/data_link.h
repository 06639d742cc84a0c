// One AX.25 connected-mode link between our station and a peer, as the
// data link state machine of version 2.2 describes it (its SDL holds where
// the text differs), with 2.0 for peers that answer SABME with DM or FRMR.
//
// A pure class: fed the peer's frames, the user's requests and Tick() from
// a clock it is given; hands frames to send to a FrameSink and news to
// LinkEvents. Every received frame is untrusted: an N(R) outside the
// window or an I frame longer than N1 resets the link (the SDL's answer;
// 2.2 sends no FRMR), a frame the state does not expect gets DM or nothing.
//
// States: disconnected; awaiting connection after SABM (2.0) or SABME
// (2.2); connected; timer recovery (T1 ran out, the peer is polled); and
// awaiting release after DISC. Members named as the protocol names them
// (V(S) as vs, N(R) as nr) keep those names.
//
// Bounds: the send queue holds at most LinkParameters::sendQueueBytes; the
// frames received out of order (selective reject, modulo 128) at most
// kMaxOutOfOrder, each at most N1 bytes.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "ax25link/link_frame.h"
#include "ax25link/link_output.h"
#include "ax25link/link_parameters.h"
#include "ax25link/round_trip_timer.h"
#include "ax25link/xid_parameters.h"
#include "base/clock.h"

namespace vorlink {

class DataLink {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  // Frames ahead of V(R) kept for selective reject: half the sequence
  // space, beyond which a frame is taken for an old one sent again.
  static constexpr int kMaxOutOfOrder = 63;

  DataLink(const LinkRoute& route, const LinkParameters& parameters, Clock& clock, FrameSink& sink,
           LinkEvents& events);

  // Requests of the user.
  void Connect(bool version22);
  void Disconnect();
  // Queues data to go as I frames of at most N1 bytes; false (nothing
  // queued) when the link is not being set up or running, or the queue
  // would pass its bound.
  bool Send(std::span<const std::uint8_t> data);
  void SetOwnBusy(bool busy);
  void SetAcceptIncoming(bool accept) { parameters_.acceptIncoming = accept; }
  // The way back, for a peer that connects to us along digipeaters.
  void SetPath(std::vector<Ax25Address> path) { route_.path = std::move(path); }

  // A frame whose address field names this link (read by ReadAddresses).
  void Receive(std::span<const std::uint8_t> frame, const ReceivedAddresses& addresses);
  // Runs the timers that are due by the clock.
  void Tick();
  std::optional<TimePoint> NextDeadline() const;

  LinkState State() const { return state_; }
  const LinkId& Id() const { return id_; }
  LinkSnapshot Snapshot() const;
  // Nothing queued and every I frame sent acknowledged.
  bool AllAcknowledged() const { return queue_.empty() && sent_.empty(); }

 private:
  int Modulus() const { return modulo128_ ? 128 : 8; }
  int Distance(int from, int to) const { return (to - from + Modulus()) % Modulus(); }
  int Next(int n) const { return (n + 1) % Modulus(); }
  int Vs() const { return (va_ + static_cast<int>(nextSend_)) % Modulus(); }
  int Window() const;
  bool ValidNr(int nr) const { return Distance(va_, nr) <= static_cast<int>(sent_.size()); }
  // An N(R) a little behind V(A): an old frame seen again (a duplicate, a
  // digipeater's echo, one overtaken on the way). Further off is an error.
  bool StaleNr(int nr) const {
    const int behind = Distance(nr, va_);
    return behind > 0 && behind <= Window() &&
           behind < Modulus() - static_cast<int>(sent_.size());
  }
  bool Running() const {
    return state_ == LinkState::Connected || state_ == LinkState::TimerRecovery;
  }

  void Emit(LinkFrame frame);
  void SendSupervisory(FrameKind kind, bool command, bool pollFinal, int nr);
  void SendUnnumbered(FrameKind kind, bool command, bool pollFinal,
                      std::vector<std::uint8_t> info = {});
  void SendI(std::size_t index);
  void EnquiryResponse();
  void TransmitEnquiry();

  void StartT1();
  void StopT1() { t1Deadline_.reset(); }
  bool T1Running() const { return t1Deadline_.has_value(); }
  void StartT3();
  void StopT3() { t3Deadline_.reset(); }

  void SetState(LinkState state);
  void EstablishDataLink(bool version22);
  void ResetLink();
  void ClearExceptions();
  void ResetSequence();
  void EnterConnected();
  void EnterDisconnected(DisconnectReason reason);
  void FallBackTo20();

  void OnDisconnected(const LinkFrame& f);
  void OnAwaitingConnection(const LinkFrame& f);
  void OnAwaitingRelease(const LinkFrame& f);
  void OnRunning(const LinkFrame& f);
  void OnSupervisory(const LinkFrame& f);
  void OnSupervisoryInRecovery(const LinkFrame& f);
  void OnInformation(const LinkFrame& f);
  void AcceptInformation(const LinkFrame& f);
  void AcceptOutOfSequence(const LinkFrame& f);
  void OnXid(const LinkFrame& f);
  void OnT1Expiry();
  void OnT3Expiry();

  void Acknowledge(int nr);
  void CheckIFrameAcked(int nr);
  void Retransmit(int nr);
  void Requeue();
  void TrySend();
  void Deliver(const std::vector<std::uint8_t>& info);

  LinkId id_;
  LinkRoute route_;
  LinkParameters parameters_;
  Clock& clock_;
  FrameSink& sink_;
  LinkEvents& events_;
  RoundTripTimer roundTrip_;

  LinkState state_ = LinkState::Disconnected;
  bool modulo128_ = false;
  bool selectiveReject_ = false;
  // What the peer's XID said it takes; nothing until it offered one.
  std::optional<int> peerWindow_;
  std::optional<std::size_t> peerMaxInfo_;
  bool xidSelectiveReject_ = true;
  int retriesN2_ = 10;

  int va_ = 0;
  int vr_ = 0;
  // I frames from V(A) on, sent and not acknowledged; the first nextSend_
  // of them went out in this round (a retransmission starts it again).
  std::deque<std::vector<std::uint8_t>> sent_;
  std::size_t nextSend_ = 0;
  std::deque<std::vector<std::uint8_t>> queue_;
  std::size_t queuedBytes_ = 0;
  std::map<int, std::vector<std::uint8_t>> outOfOrder_;
  std::array<bool, 128> srejAsked_{};

  bool ownBusy_ = false;
  bool peerBusy_ = false;
  bool rejectException_ = false;
  bool acknowledgePending_ = false;
  // An I or S frame came from the peer since the link was set up.
  bool heardSinceConnect_ = false;
  // A frame of the current window went twice: its answer times nothing.
  bool resent_ = false;
  int retries_ = 0;
  std::optional<TimePoint> t1Deadline_;
  std::optional<TimePoint> t3Deadline_;
  TimePoint t1Started_{};

  int rejSent_ = 0;
  int rejReceived_ = 0;
  int srejSent_ = 0;
  int srejReceived_ = 0;
  int resets_ = 0;
};

}  // namespace vorlink
