#include "app/link_sessions.h"

#include <algorithm>

#include "base/utc.h"

namespace vorlink {
namespace {

constexpr std::uint8_t kSentLineEnd = 0x0D;

std::string ConnectNote(const ConnectRequest& request) {
  std::string note = "connecting to " + CallsignText(request.remote);
  for (std::size_t k = 0; k < request.path.size(); ++k) {
    note += k == 0 ? " via " : ",";
    note += CallsignText(request.path[k]);
  }
  note += request.version22 ? " (2.2)" : " (2.0)";
  return note;
}

}  // namespace

LinkSessions::LinkSessions(const LinkParameters& parameters, Clock& clock, FrameSink& sink,
                           StatusLine& status, std::filesystem::path folder)
    : clock_(clock),
      status_(status),
      folder_(std::move(folder)),
      manager_(parameters, clock, sink, *this) {}

void LinkSessions::SetOwnCall(std::optional<Ax25Address> call) {
  ownCall_ = std::move(call);
  manager_.SetOwnCalls(ownCall_ ? std::vector<Ax25Address>{*ownCall_} : std::vector<Ax25Address>{});
}

LinkSession* LinkSessions::FindLive(const LinkId& link) {
  for (auto& s : sessions_) {
    if (s->live && s->id.Matches(link.own, link.remote)) return s.get();
  }
  return nullptr;
}

LinkSession* LinkSessions::FindNumber(SessionNumber session) {
  for (auto& s : sessions_) {
    if (s->number == session) return s.get();
  }
  return nullptr;
}

const LinkSession* LinkSessions::Find(SessionNumber session) const {
  for (const auto& s : sessions_) {
    if (s->number == session) return s.get();
  }
  return nullptr;
}

LinkSession& LinkSessions::Open(const LinkId& link, bool incoming) {
  if (sessions_.size() >= kMaxSessions) {
    const auto ended = std::find_if(sessions_.begin(), sessions_.end(),
                                    [](const auto& s) { return !s->live; });
    if (ended != sessions_.end()) sessions_.erase(ended);
  }
  const std::string name = SessionLogName(link.remote, UtcNow(clock_));
  sessions_.push_back(std::make_unique<LinkSession>(
      LinkSession{nextNumber_++, link, incoming, true, {}, {}, SessionLog(folder_ / name), false}));
  return *sessions_.back();
}

void LinkSessions::Log(LinkSession& session, const std::vector<SessionLine>& lines) {
  for (const SessionLine& line : lines) {
    if (session.log.Full() && session.logFailing) return;
    const std::error_code error = session.log.Append(line);
    if (!error) {
      session.logFailing = false;
      continue;
    }
    if (!session.logFailing) {
      status_.SetSimpleText("cannot write " + session.log.File().filename().string() + ": " +
                            error.message());
    }
    session.logFailing = true;
  }
}

void LinkSessions::Note(LinkSession& session, std::string text) {
  completed_.clear();
  session.text.AddLine(SessionRole::Note, std::move(text), completed_);
  Log(session, completed_);
}

std::optional<SessionNumber> LinkSessions::Connect(const ConnectRequest& request,
                                                   std::string& problem) {
  if (!ownCall_) {
    problem = "no own callsign (Options > Station...)";
    return std::nullopt;
  }
  const LinkId id{*ownCall_, request.remote};
  if (FindLive(id) != nullptr) {
    problem = "a link to " + CallsignText(request.remote) + " is open already";
    return std::nullopt;
  }
  const SessionNumber number = Open(id, false).number;
  if (!manager_.Connect({*ownCall_, request.remote, request.path}, request.version22)) {
    problem = "no link opened to " + CallsignText(request.remote) + ": one runs still, or " +
              std::to_string(LinkManager::kMaxLinks) + " are open";
    sessions_.pop_back();
    return std::nullopt;
  }
  Note(*FindNumber(number), ConnectNote(request));
  Finish();
  return number;
}

void LinkSessions::Disconnect(SessionNumber session) {
  if (LinkSession* s = FindNumber(session); s && s->live) manager_.Disconnect(s->id);
  Finish();
}

LineOutcome LinkSessions::SendLine(SessionNumber session, std::string_view line) {
  LinkSession* s = FindNumber(session);
  if (s == nullptr || !s->live) return LineOutcome::NotConnected;
  const auto snapshot = manager_.Snapshot(s->id);
  const bool running = snapshot && (snapshot->state == LinkState::Connected ||
                                    snapshot->state == LinkState::TimerRecovery);
  if (!running) return LineOutcome::NotConnected;
  std::vector<std::uint8_t> bytes(line.begin(), line.end());
  bytes.push_back(kSentLineEnd);
  if (!manager_.Send(s->id, bytes)) return LineOutcome::QueueFull;
  completed_.clear();
  s->text.AddLine(SessionRole::Sent, std::string(line), completed_);
  Log(*s, completed_);
  Finish();
  return LineOutcome::Sent;
}

void LinkSessions::Forget(SessionNumber session) {
  if (LinkSession* s = FindNumber(session); s && s->live) manager_.Disconnect(s->id);
  std::erase_if(sessions_, [session](const auto& s) { return s->number == session; });
  Finish();
}

void LinkSessions::OnAx25Frame(std::span<const std::uint8_t> frame) {
  manager_.Receive(frame);
  Finish();
}

void LinkSessions::Tick() {
  manager_.Tick();
  Finish();
}

void LinkSessions::OnConnected(const LinkId& link) {
  LinkSession* s = FindLive(link);
  if (s == nullptr) {
    s = &Open(link, true);
    opened_.push_back(s->number);
    Note(*s, CallsignText(link.remote) + " connected");
    return;
  }
  Note(*s, "connected to " + CallsignText(link.remote));
}

void LinkSessions::OnDisconnected(const LinkId& link, DisconnectReason reason) {
  LinkSession* s = FindLive(link);
  if (s == nullptr) return;
  completed_.clear();
  s->text.EndReceivedLine(completed_);
  Log(*s, completed_);
  Note(*s, std::string(DisconnectReasonText(reason)));
  s->live = false;
  s->snapshot.state = LinkState::Disconnected;
}

void LinkSessions::OnData(const LinkId& link, std::span<const std::uint8_t> data) {
  LinkSession* s = FindLive(link);
  if (s == nullptr) return;
  completed_.clear();
  s->text.AddReceived(data, completed_);
  Log(*s, completed_);
}

void LinkSessions::OnStateChanged(const LinkId&, LinkState) {}

void LinkSessions::Finish() {
  for (auto& s : sessions_) {
    if (!s->live) continue;
    if (const auto snapshot = manager_.Snapshot(s->id)) s->snapshot = *snapshot;
  }
  std::vector<SessionNumber> opened;
  opened.swap(opened_);
  if (listener_ == nullptr) return;
  for (SessionNumber number : opened) listener_->OnSessionOpened(number);
  listener_->OnSessionsChanged();
}

}  // namespace vorlink
