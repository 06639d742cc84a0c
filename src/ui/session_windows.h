// The connected-mode sessions of the process and their windows: the data
// links (LinkSessions over the route to the station's sender), a timer that
// runs their Tick at the next deadline, and one SessionWindow per session,
// opened for each link the operator connects and each station that
// connects to us.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <filesystem>
#include <optional>
#include <string>

#include "app/connect_request.h"
#include "app/link_frame_route.h"
#include "app/link_sessions.h"
#include "base/clock.h"
#include "base/status_line.h"

class QTimer;

namespace vorlink {

class SessionWindow;

class SessionWindows final : public QObject, private SessionListener {
  Q_OBJECT

 public:
  SessionWindows(const LinkParameters& parameters, Clock& clock, StatusLine& status,
                 std::filesystem::path folder, QObject* parent = nullptr);
  ~SessionWindows() override;

  LinkSessions& Sessions() { return sessions_; }
  LinkFrameRoute& Route() { return route_; }
  // Opens the link and its window; none, with the reason, when no link opens.
  SessionWindow* Connect(const ConnectRequest& request, std::string& problem);
  QList<SessionWindow*> Windows() const;
  void CloseAll();

 signals:
  void WindowOpened(SessionWindow* window);
  void FramesWanted(const QString& own, const QString& remote);

 private:
  void OnSessionOpened(SessionNumber session) override;
  void OnSessionsChanged() override;
  SessionWindow* Open(SessionNumber session);
  void Rearm();

  Clock& clock_;
  LinkFrameRoute route_;
  LinkSessions sessions_;
  QTimer* timer_;
  QList<QPointer<SessionWindow>> windows_;
};

}  // namespace vorlink
