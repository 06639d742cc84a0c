#include "ui/session_windows.h"

#include <QTimer>
#include <algorithm>
#include <chrono>

#include "ui/session_window.h"

namespace vorlink {

SessionWindows::SessionWindows(const LinkParameters& parameters, Clock& clock, StatusLine& status,
                               std::filesystem::path folder, QObject* parent)
    : QObject(parent),
      clock_(clock),
      sessions_(parameters, clock, route_, status, std::move(folder)),
      timer_(new QTimer(this)) {
  timer_->setObjectName("LinkTimer");
  timer_->setSingleShot(true);
  timer_->setTimerType(Qt::PreciseTimer);
  connect(timer_, &QTimer::timeout, this, [this] { sessions_.Tick(); });
  sessions_.SetListener(this);
}

SessionWindows::~SessionWindows() {
  sessions_.SetListener(nullptr);
  for (const QPointer<SessionWindow>& w : windows_) delete w;
}

QList<SessionWindow*> SessionWindows::Windows() const {
  QList<SessionWindow*> open;
  for (const QPointer<SessionWindow>& w : windows_) {
    if (w) open.append(w);
  }
  return open;
}

void SessionWindows::CloseAll() {
  for (SessionWindow* w : Windows()) w->close();
}

SessionWindow* SessionWindows::Open(SessionNumber session) {
  auto* window = new SessionWindow(sessions_, session);
  window->setAttribute(Qt::WA_DeleteOnClose);
  windows_.removeAll(nullptr);
  windows_.append(window);
  connect(window, &SessionWindow::Closing, this,
          [this](SessionNumber closing) { sessions_.Forget(closing); });
  connect(window, &SessionWindow::FramesWanted, this, &SessionWindows::FramesWanted);
  emit WindowOpened(window);
  window->show();
  return window;
}

SessionWindow* SessionWindows::Connect(const ConnectRequest& request, std::string& problem) {
  const auto session = sessions_.Connect(request, problem);
  if (!session) return nullptr;
  SessionWindow* window = Open(*session);
  window->Refresh();
  return window;
}

void SessionWindows::OnSessionOpened(SessionNumber session) { Open(session); }

void SessionWindows::OnSessionsChanged() {
  for (SessionWindow* w : Windows()) w->Refresh();
  Rearm();
}

void SessionWindows::Rearm() {
  const auto deadline = sessions_.NextDeadline();
  if (!deadline) {
    timer_->stop();
    return;
  }
  const auto wait =
      std::chrono::ceil<std::chrono::milliseconds>(*deadline - clock_.MonotonicNow()).count();
  timer_->start(static_cast<int>(std::clamp<long long>(wait, 0, 24LL * 3600 * 1000)));
}

}  // namespace vorlink
