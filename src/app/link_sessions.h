// The station's connected-mode sessions: the data links (a LinkManager
// over the frame sink given in), and for each link the text a session
// window shows and the log it keeps in the station folder. Fed every
// received AX.25 frame; driven by Tick() at NextDeadline(). Incoming
// connects to the own callsign open a session of their own (the manager
// refuses them with DM when the settings say so).
//
// A session outlives its link, so its window keeps the text after the
// disconnect; at most kMaxSessions are kept, the oldest ended one going
// first. Log failures are shown on the status line, once until a line is
// written again.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/ax25_frame_listener.h"
#include "app/connect_request.h"
#include "app/session_log.h"
#include "app/session_text.h"
#include "ax25link/link_manager.h"
#include "base/clock.h"
#include "base/status_line.h"

namespace vorlink {

using SessionNumber = std::uint64_t;

struct LinkSession {
  SessionNumber number = 0;
  LinkId id;
  bool incoming = false;
  bool live = true;  // its link is not disconnected yet
  LinkSnapshot snapshot;
  SessionText text;
  SessionLog log;
  bool logFailing = false;
};

class SessionListener {
 public:
  virtual ~SessionListener() = default;
  // Another station connected to us: a session to show.
  virtual void OnSessionOpened(SessionNumber session) = 0;
  // Text, state, counters or timers of the links moved.
  virtual void OnSessionsChanged() = 0;
};

enum class LineOutcome { Sent, NotConnected, QueueFull };

class LinkSessions final : public LinkEvents, public Ax25FrameListener {
 public:
  using TimePoint = DataLink::TimePoint;
  static constexpr std::size_t kMaxSessions = 64;

  LinkSessions(const LinkParameters& parameters, Clock& clock, FrameSink& sink, StatusLine& status,
               std::filesystem::path folder);

  void SetListener(SessionListener* listener) { listener_ = listener; }
  // The call links start from and other stations connect to; none: no link.
  void SetOwnCall(std::optional<Ax25Address> call);
  const std::optional<Ax25Address>& OwnCall() const { return ownCall_; }
  void SetFolder(std::filesystem::path folder) { folder_ = std::move(folder); }

  // A new session whose link connects; none, with the reason, when there
  // is no own callsign or the manager will not open the link.
  std::optional<SessionNumber> Connect(const ConnectRequest& request, std::string& problem);
  void Disconnect(SessionNumber session);
  // The line and CR, as UTF-8.
  LineOutcome SendLine(SessionNumber session, std::string_view line);
  // The window went: its link is let go, the session forgotten.
  void Forget(SessionNumber session);

  void OnAx25Frame(std::span<const std::uint8_t> frame) override;
  void Tick();
  std::optional<TimePoint> NextDeadline() const { return manager_.NextDeadline(); }

  const LinkSession* Find(SessionNumber session) const;
  std::size_t SessionCount() const { return sessions_.size(); }

 private:
  void OnConnected(const LinkId& link) override;
  void OnDisconnected(const LinkId& link, DisconnectReason reason) override;
  void OnData(const LinkId& link, std::span<const std::uint8_t> data) override;
  void OnStateChanged(const LinkId& link, LinkState state) override;

  LinkSession* FindLive(const LinkId& link);
  LinkSession* FindNumber(SessionNumber session);
  LinkSession& Open(const LinkId& link, bool incoming);
  void Note(LinkSession& session, std::string text);
  void Log(LinkSession& session, const std::vector<SessionLine>& lines);
  // After each entry: snapshots taken, the listener told.
  void Finish();

  Clock& clock_;
  StatusLine& status_;
  std::filesystem::path folder_;
  LinkManager manager_;
  std::optional<Ax25Address> ownCall_;
  std::vector<std::unique_ptr<LinkSession>> sessions_;
  SessionNumber nextNumber_ = 1;
  std::vector<SessionNumber> opened_;
  SessionListener* listener_ = nullptr;
  std::vector<SessionLine> completed_;
};

}  // namespace vorlink
