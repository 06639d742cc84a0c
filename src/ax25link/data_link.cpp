#include "ax25link/data_link.h"

#include <algorithm>

namespace vorlink {
namespace {

constexpr bool kCommand = true;
constexpr bool kResponse = false;
constexpr int kMaxModulo8Window = 7;
constexpr int kMaxModulo128Window = 127;

std::chrono::milliseconds Since(std::chrono::steady_clock::time_point from,
                                std::chrono::steady_clock::time_point now) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(now - from);
}

}  // namespace

DataLink::DataLink(const LinkRoute& route, const LinkParameters& parameters, Clock& clock,
                   FrameSink& sink, LinkEvents& events)
    : id_{route.own, route.remote},
      route_(route),
      parameters_(parameters),
      clock_(clock),
      sink_(sink),
      events_(events),
      roundTrip_(parameters.initialT1, parameters.minimumT1, parameters.maximumT1),
      retriesN2_(parameters.retriesN2) {}

int DataLink::Window() const {
  const int own = modulo128_ ? std::clamp(parameters_.windowModulo128, 1, kMaxModulo128Window)
                             : std::clamp(parameters_.windowModulo8, 1, kMaxModulo8Window);
  return peerWindow_ ? std::clamp(*peerWindow_, 1, own) : own;
}

// ---- user requests ----

void DataLink::Connect(bool version22) {
  if (state_ != LinkState::Disconnected) return;
  roundTrip_.Reset();
  EstablishDataLink(version22);
}

void DataLink::Disconnect() {
  if (state_ == LinkState::Disconnected || state_ == LinkState::AwaitingRelease) return;
  queue_.clear();
  queuedBytes_ = 0;
  retries_ = 0;
  SendUnnumbered(FrameKind::DISC, kCommand, true);
  StopT3();
  StartT1();
  SetState(LinkState::AwaitingRelease);
}

bool DataLink::Send(std::span<const std::uint8_t> data) {
  if (state_ == LinkState::Disconnected || state_ == LinkState::AwaitingRelease) return false;
  // Frames put back after a lost UA may hold the queue past its bound.
  if (queuedBytes_ >= parameters_.sendQueueBytes ||
      data.size() > parameters_.sendQueueBytes - queuedBytes_) {
    return false;
  }
  const std::size_t n1 = std::max<std::size_t>(
      1, std::min(parameters_.maxInfoN1, peerMaxInfo_.value_or(parameters_.maxInfoN1)));
  while (!data.empty()) {
    if (queue_.empty() || queue_.back().size() >= n1) queue_.emplace_back();
    auto& chunk = queue_.back();
    const std::size_t take = std::min(n1 - chunk.size(), data.size());
    chunk.insert(chunk.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(take));
    data = data.subspan(take);
    queuedBytes_ += take;
  }
  TrySend();
  return true;
}

void DataLink::SetOwnBusy(bool busy) {
  if (busy == ownBusy_) return;
  ownBusy_ = busy;
  if (!Running()) return;
  SendSupervisory(busy ? FrameKind::RNR : FrameKind::RR, kResponse, false, vr_);
  acknowledgePending_ = false;
}

// ---- output ----

void DataLink::Emit(LinkFrame frame) {
  const auto bytes = BuildFrame(route_, frame, modulo128_);
  if (!bytes.empty()) sink_.SendFrame(bytes, true);
}

void DataLink::SendSupervisory(FrameKind kind, bool command, bool pollFinal, int nr) {
  LinkFrame f;
  f.kind = kind;
  f.command = command;
  f.pollFinal = pollFinal;
  f.nr = nr;
  Emit(std::move(f));
}

void DataLink::SendUnnumbered(FrameKind kind, bool command, bool pollFinal,
                              std::vector<std::uint8_t> info) {
  LinkFrame f;
  f.kind = kind;
  f.command = command;
  f.pollFinal = pollFinal;
  f.info = std::move(info);
  Emit(std::move(f));
}

void DataLink::SendI(std::size_t index) {
  LinkFrame f;
  f.kind = FrameKind::I;
  f.command = kCommand;
  f.ns = (va_ + static_cast<int>(index)) % Modulus();
  f.nr = vr_;
  f.pid = kPidNoLayer3;
  f.info = sent_[index];
  Emit(std::move(f));
  acknowledgePending_ = false;
  if (!T1Running()) {
    StopT3();
    StartT1();
  }
}

void DataLink::EnquiryResponse() {
  SendSupervisory(ownBusy_ ? FrameKind::RNR : FrameKind::RR, kResponse, true, vr_);
  acknowledgePending_ = false;
}

void DataLink::TransmitEnquiry() {
  SendSupervisory(ownBusy_ ? FrameKind::RNR : FrameKind::RR, kCommand, true, vr_);
  acknowledgePending_ = false;
  StopT3();
  StartT1();
}

// ---- timers ----

void DataLink::StartT1() {
  t1Started_ = clock_.MonotonicNow();
  t1Deadline_ = t1Started_ + roundTrip_.T1(retries_);
}

void DataLink::StartT3() { t3Deadline_ = clock_.MonotonicNow() + parameters_.idlePollT3; }

void DataLink::Tick() {
  const auto now = clock_.MonotonicNow();
  if (t1Deadline_ && now >= *t1Deadline_) {
    t1Deadline_.reset();
    OnT1Expiry();
  }
  if (t3Deadline_ && now >= *t3Deadline_) {
    t3Deadline_.reset();
    OnT3Expiry();
  }
}

std::optional<DataLink::TimePoint> DataLink::NextDeadline() const {
  if (t1Deadline_ && t3Deadline_) return std::min(*t1Deadline_, *t3Deadline_);
  return t1Deadline_ ? t1Deadline_ : t3Deadline_;
}

void DataLink::OnT1Expiry() {
  switch (state_) {
    case LinkState::AwaitingConnection:
    case LinkState::AwaitingConnection22:
      if (retries_ >= retriesN2_) return EnterDisconnected(DisconnectReason::NoAnswer);
      ++retries_;
      SendUnnumbered(state_ == LinkState::AwaitingConnection22 ? FrameKind::SABME : FrameKind::SABM,
                     kCommand, true);
      StartT1();
      return;
    case LinkState::AwaitingRelease:
      if (retries_ >= retriesN2_) return EnterDisconnected(DisconnectReason::Requested);
      ++retries_;
      SendUnnumbered(FrameKind::DISC, kCommand, true);
      StartT1();
      return;
    case LinkState::Connected:
      retries_ = 1;
      TransmitEnquiry();
      SetState(LinkState::TimerRecovery);
      return;
    case LinkState::TimerRecovery:
      if (retries_ >= retriesN2_) {
        SendUnnumbered(FrameKind::DM, kResponse, false);
        return EnterDisconnected(DisconnectReason::LinkFailed);
      }
      ++retries_;
      TransmitEnquiry();
      return;
    case LinkState::Disconnected: return;
  }
}

void DataLink::OnT3Expiry() {
  if (state_ != LinkState::Connected) return;
  retries_ = 0;
  TransmitEnquiry();
  SetState(LinkState::TimerRecovery);
}

// ---- state changes ----

void DataLink::SetState(LinkState state) {
  if (state == state_) return;
  state_ = state;
  events_.OnStateChanged(id_, state);
}

void DataLink::ClearExceptions() {
  peerBusy_ = false;
  rejectException_ = false;
  acknowledgePending_ = false;
  outOfOrder_.clear();
  srejAsked_.fill(false);
}

void DataLink::ResetSequence() {
  va_ = 0;
  vr_ = 0;
  nextSend_ = 0;
  // Frames in flight when a link resets may or may not have arrived: the
  // protocol gives no way to tell, so they are dropped, not sent twice.
  sent_.clear();
  resent_ = false;
}

void DataLink::EstablishDataLink(bool version22) {
  ClearExceptions();
  retries_ = 0;
  SendUnnumbered(version22 ? FrameKind::SABME : FrameKind::SABM, kCommand, true);
  StopT3();
  StartT1();
  SetState(version22 ? LinkState::AwaitingConnection22 : LinkState::AwaitingConnection);
}

void DataLink::ResetLink() {
  ++resets_;
  EstablishDataLink(modulo128_);
}

void DataLink::FallBackTo20() {
  modulo128_ = false;
  EstablishDataLink(false);
}

void DataLink::EnterConnected() {
  heardSinceConnect_ = false;
  ClearExceptions();
  ResetSequence();
  retries_ = 0;
  StopT1();
  StartT3();
  SetState(LinkState::Connected);
  events_.OnConnected(id_);
  TrySend();
}

void DataLink::EnterDisconnected(DisconnectReason reason) {
  StopT1();
  StopT3();
  queue_.clear();
  queuedBytes_ = 0;
  ClearExceptions();
  ResetSequence();
  retries_ = 0;
  SetState(LinkState::Disconnected);
  events_.OnDisconnected(id_, reason);
}

// ---- received frames ----

void DataLink::Receive(std::span<const std::uint8_t> frame, const ReceivedAddresses& addresses) {
  const auto f = ReadControl(frame, addresses, modulo128_);
  if (!f) return;  // not a frame: discarded, as a bad FCS would be
  if (f->kind == FrameKind::XID) return OnXid(*f);
  if (f->kind == FrameKind::TEST) {
    if (f->command && f->info.size() <= parameters_.maxInfoN1) {
      SendUnnumbered(FrameKind::TEST, kResponse, f->pollFinal, f->info);
    }
    return;
  }
  if (f->kind == FrameKind::UI) return;  // connectionless: not the link's business
  switch (state_) {
    case LinkState::Disconnected: return OnDisconnected(*f);
    case LinkState::AwaitingConnection:
    case LinkState::AwaitingConnection22: return OnAwaitingConnection(*f);
    case LinkState::AwaitingRelease: return OnAwaitingRelease(*f);
    case LinkState::Connected:
    case LinkState::TimerRecovery: return OnRunning(*f);
  }
}

void DataLink::OnDisconnected(const LinkFrame& f) {
  switch (f.kind) {
    case FrameKind::SABM:
    case FrameKind::SABME:
      if (!parameters_.acceptIncoming) {
        return SendUnnumbered(FrameKind::DM, kResponse, f.pollFinal);
      }
      modulo128_ = f.kind == FrameKind::SABME;
      selectiveReject_ = modulo128_ && xidSelectiveReject_;
      roundTrip_.Reset();
      SendUnnumbered(FrameKind::UA, kResponse, f.pollFinal);
      return EnterConnected();
    case FrameKind::DISC: return SendUnnumbered(FrameKind::DM, kResponse, f.pollFinal);
    case FrameKind::UA:
    case FrameKind::DM:
    case FrameKind::FRMR: return;
    default:
      if (f.command && f.pollFinal) SendUnnumbered(FrameKind::DM, kResponse, true);
      return;
  }
}

void DataLink::OnAwaitingConnection(const LinkFrame& f) {
  const bool asked22 = state_ == LinkState::AwaitingConnection22;
  switch (f.kind) {
    case FrameKind::SABM:
    case FrameKind::SABME:  // both ends called at once: answer, and wait for our UA
      return SendUnnumbered(FrameKind::UA, kResponse, f.pollFinal);
    case FrameKind::DISC: return SendUnnumbered(FrameKind::DM, kResponse, f.pollFinal);
    case FrameKind::UA:
      if (!f.pollFinal) return;
      if (retries_ == 0) roundTrip_.Measured(Since(t1Started_, clock_.MonotonicNow()));
      modulo128_ = asked22;
      selectiveReject_ = asked22 && xidSelectiveReject_;
      return EnterConnected();
    case FrameKind::DM:
      if (!f.pollFinal) return;
      if (asked22) return FallBackTo20();
      return EnterDisconnected(DisconnectReason::Refused);
    case FrameKind::FRMR:
      if (asked22) FallBackTo20();
      return;
    default: return;  // the SDL discards everything else here
  }
}

void DataLink::OnAwaitingRelease(const LinkFrame& f) {
  switch (f.kind) {
    case FrameKind::SABM:
    case FrameKind::SABME: return SendUnnumbered(FrameKind::DM, kResponse, f.pollFinal);
    case FrameKind::DISC: return SendUnnumbered(FrameKind::UA, kResponse, f.pollFinal);
    case FrameKind::UA:
    case FrameKind::DM:
      if (f.pollFinal) EnterDisconnected(DisconnectReason::Requested);
      return;
    case FrameKind::I:
    case FrameKind::RR:
    case FrameKind::RNR:
    case FrameKind::REJ:
    case FrameKind::SREJ:
      if (f.command && f.pollFinal) SendUnnumbered(FrameKind::DM, kResponse, true);
      return;
    default: return;
  }
}

void DataLink::OnRunning(const LinkFrame& f) {
  switch (f.kind) {
    case FrameKind::SABM:
    case FrameKind::SABME:
      // Not a word from the peer since we answered its SABM: our UA was lost
      // and the peer, still waiting for it, dropped our I frames unread, so
      // they go again. Otherwise the peer reset the link and what was in
      // flight is lost.
      if (!heardSinceConnect_) {
        Requeue();
      } else if (!sent_.empty()) {
        ++resets_;
      }
      modulo128_ = f.kind == FrameKind::SABME;
      selectiveReject_ = modulo128_ && xidSelectiveReject_;
      SendUnnumbered(FrameKind::UA, kResponse, f.pollFinal);
      ClearExceptions();
      ResetSequence();
      retries_ = 0;
      StopT1();
      StartT3();
      SetState(LinkState::Connected);
      return TrySend();
    case FrameKind::DISC:
      SendUnnumbered(FrameKind::UA, kResponse, f.pollFinal);
      return EnterDisconnected(DisconnectReason::PeerDisconnected);
    case FrameKind::DM: return EnterDisconnected(DisconnectReason::PeerDisconnected);
    // A UA here answers nothing we sent on this link: a late copy of the
    // one that opened it. The SDL resets; that would throw away the data
    // in flight for a frame that changes nothing, so it is dropped.
    case FrameKind::UA: return;
    case FrameKind::FRMR: return ResetLink();  // a peer before 2.2 found fault
    case FrameKind::I:
      heardSinceConnect_ = true;
      return OnInformation(f);
    default:
      heardSinceConnect_ = true;
      if (state_ == LinkState::TimerRecovery) return OnSupervisoryInRecovery(f);
      return OnSupervisory(f);
  }
}

void DataLink::Requeue() {
  for (auto it = sent_.rbegin(); it != sent_.rend(); ++it) {
    queuedBytes_ += it->size();
    queue_.push_front(std::move(*it));
  }
  sent_.clear();
}

void DataLink::OnSupervisory(const LinkFrame& f) {
  if (f.command && f.pollFinal) EnquiryResponse();
  if (StaleNr(f.nr)) return;
  if (!ValidNr(f.nr)) return ResetLink();
  peerBusy_ = f.kind == FrameKind::RNR;
  switch (f.kind) {
    case FrameKind::REJ:
      ++rejReceived_;
      Acknowledge(f.nr);
      StopT1();
      StartT3();
      nextSend_ = 0;
      break;
    case FrameKind::SREJ:
      ++srejReceived_;
      if (f.pollFinal) Acknowledge(f.nr);
      Retransmit(f.nr);
      break;
    default: CheckIFrameAcked(f.nr); break;
  }
  TrySend();
}

void DataLink::OnSupervisoryInRecovery(const LinkFrame& f) {
  if (f.command && f.pollFinal) EnquiryResponse();
  if (StaleNr(f.nr)) return;
  if (!ValidNr(f.nr)) return ResetLink();
  peerBusy_ = f.kind == FrameKind::RNR;
  if (f.kind == FrameKind::REJ) ++rejReceived_;
  if (f.kind == FrameKind::SREJ) ++srejReceived_;
  if (!f.command && f.pollFinal) {  // the answer to our poll
    Acknowledge(f.nr);
    StopT1();
    retries_ = 0;
    nextSend_ = 0;  // whatever is still outstanding goes again
    SetState(LinkState::Connected);
    // A busy peer is asked again when T3 runs out.
    if (sent_.empty() || peerBusy_) StartT3();
    return TrySend();
  }
  // An SREJ names the frame missing, not the ones received.
  if (f.kind == FrameKind::SREJ) return Retransmit(f.nr);
  Acknowledge(f.nr);
  if (f.kind == FrameKind::REJ) nextSend_ = 0;
}

void DataLink::OnInformation(const LinkFrame& f) {
  if (!f.command) return;  // an I frame is always a command
  if (f.info.size() > parameters_.maxInfoN1) return ResetLink();
  if (!StaleNr(f.nr)) {
    if (!ValidNr(f.nr)) return ResetLink();
    if (state_ == LinkState::TimerRecovery) {
      Acknowledge(f.nr);
    } else {
      CheckIFrameAcked(f.nr);
    }
  }
  if (ownBusy_) {
    // Dropped unread: the peer sends it again once we are ready.
    if (f.pollFinal) EnquiryResponse();
  } else if (f.ns == vr_) {
    AcceptInformation(f);
  } else {
    AcceptOutOfSequence(f);
  }
  TrySend();
  if (acknowledgePending_) {
    SendSupervisory(FrameKind::RR, kResponse, false, vr_);
    acknowledgePending_ = false;
  }
}

void DataLink::AcceptInformation(const LinkFrame& f) {
  rejectException_ = false;
  srejAsked_[static_cast<std::size_t>(vr_)] = false;
  vr_ = Next(vr_);
  Deliver(f.info);
  for (auto it = outOfOrder_.find(vr_); it != outOfOrder_.end(); it = outOfOrder_.find(vr_)) {
    const auto info = std::move(it->second);
    outOfOrder_.erase(it);
    srejAsked_[static_cast<std::size_t>(vr_)] = false;
    vr_ = Next(vr_);
    Deliver(info);
  }
  if (f.pollFinal) {
    EnquiryResponse();
  } else {
    acknowledgePending_ = true;
  }
}

void DataLink::AcceptOutOfSequence(const LinkFrame& f) {
  const int ahead = Distance(vr_, f.ns);
  if (selectiveReject_ && ahead <= kMaxOutOfOrder) {
    outOfOrder_.try_emplace(f.ns, f.info);
    for (int s = vr_; s != f.ns; s = Next(s)) {
      auto& asked = srejAsked_[static_cast<std::size_t>(s)];
      if (asked || outOfOrder_.contains(s)) continue;
      SendSupervisory(FrameKind::SREJ, kResponse, false, s);
      asked = true;
      ++srejSent_;
    }
    if (f.pollFinal) EnquiryResponse();
    return;
  }
  if (selectiveReject_) {  // an old frame again: tell the peer where we are
    if (f.pollFinal) {
      EnquiryResponse();
    } else {
      acknowledgePending_ = true;
    }
    return;
  }
  if (!rejectException_) {
    rejectException_ = true;
    ++rejSent_;
    SendSupervisory(FrameKind::REJ, kResponse, f.pollFinal, vr_);
    acknowledgePending_ = false;
  } else if (f.pollFinal) {
    EnquiryResponse();
  }
}

void DataLink::OnXid(const LinkFrame& f) {
  if (!f.command) return;  // we never ask, so an answer is stale
  const auto offer = ParseXid(f.info);
  const bool negotiating = state_ == LinkState::Disconnected;
  XidParameters answer;
  answer.selectiveReject = offer && offer->selectiveReject ? *offer->selectiveReject : true;
  answer.modulo128 = offer && offer->modulo128 ? *offer->modulo128 : true;
  answer.maxInfoBytes = static_cast<std::uint32_t>(parameters_.maxInfoN1);
  answer.window = *answer.modulo128 ? parameters_.windowModulo128 : parameters_.windowModulo8;
  const auto ownT1 = static_cast<std::uint32_t>(parameters_.initialT1.count());
  answer.t1Milliseconds = std::max(ownT1, offer && offer->t1Milliseconds ? *offer->t1Milliseconds : 0);
  answer.retries = std::max(parameters_.retriesN2, offer && offer->retries ? *offer->retries : 0);
  if (negotiating && offer) {
    xidSelectiveReject_ = *answer.selectiveReject;
    retriesN2_ = *answer.retries;
    if (offer->window) peerWindow_ = *offer->window;
    if (offer->maxInfoBytes) peerMaxInfo_ = *offer->maxInfoBytes;
  }
  SendUnnumbered(FrameKind::XID, kResponse, f.pollFinal, EncodeXid(answer));
}

// ---- acknowledgement and sending ----

void DataLink::Acknowledge(int nr) {
  const auto count = static_cast<std::size_t>(Distance(va_, nr));
  for (std::size_t i = 0; i < count && !sent_.empty(); ++i) sent_.pop_front();
  nextSend_ = nextSend_ > count ? nextSend_ - count : 0;
  va_ = nr;
  if (sent_.empty()) resent_ = false;
}

void DataLink::CheckIFrameAcked(int nr) {
  if (peerBusy_) {
    Acknowledge(nr);
    StartT3();
    if (!T1Running()) StartT1();
    return;
  }
  if (Distance(va_, nr) == static_cast<int>(sent_.size())) {
    if (!sent_.empty() && !resent_ && retries_ == 0 && T1Running()) {
      roundTrip_.Measured(Since(t1Started_, clock_.MonotonicNow()));
    }
    Acknowledge(nr);
    StopT1();
    StartT3();
  } else if (nr != va_) {
    Acknowledge(nr);
    StartT1();
  }
}

void DataLink::Retransmit(int nr) {
  const auto index = static_cast<std::size_t>(Distance(va_, nr));
  if (index >= sent_.size()) return;
  resent_ = true;
  SendI(index);
}

void DataLink::TrySend() {
  if (state_ != LinkState::Connected || peerBusy_) return;
  for (;;) {
    if (nextSend_ < sent_.size()) {
      resent_ = true;
    } else if (static_cast<int>(sent_.size()) < Window() && !queue_.empty()) {
      queuedBytes_ -= queue_.front().size();
      sent_.push_back(std::move(queue_.front()));
      queue_.pop_front();
    } else {
      return;
    }
    SendI(nextSend_++);
  }
}

void DataLink::Deliver(const std::vector<std::uint8_t>& info) {
  if (!info.empty()) events_.OnData(id_, info);
}

LinkSnapshot DataLink::Snapshot() const {
  LinkSnapshot s;
  s.state = state_;
  s.modulo128 = modulo128_;
  s.selectiveReject = selectiveReject_;
  s.vs = Vs();
  s.vr = vr_;
  s.va = va_;
  s.outstanding = static_cast<int>(sent_.size());
  s.retries = retries_;
  s.t1 = roundTrip_.T1(retries_);
  s.srtt = roundTrip_.Smoothed();
  s.ownBusy = ownBusy_;
  s.peerBusy = peerBusy_;
  s.rejSent = rejSent_;
  s.rejReceived = rejReceived_;
  s.srejSent = srejSent_;
  s.srejReceived = srejReceived_;
  s.resets = resets_;
  s.queuedBytes = queuedBytes_;
  s.heldOutOfOrder = static_cast<int>(outOfOrder_.size());
  return s;
}

}  // namespace vorlink
