// The window of one connected-mode session: the text received (the peer's
// lines, the operator's in blue, the link's notes in grey), a line input
// that sends on Enter (the line and CR), Disconnect, and the state line
// that lays the link open. A click on the state line asks for this link's
// frames in the frame browser. It shows what LinkSessions keeps and asks
// for a refresh when the links moved; closing it lets the link go.
#pragma once

#include <QWidget>
#include <cstdint>

#include "app/link_sessions.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vorlink {

class SessionWindow final : public QWidget {
  Q_OBJECT

 public:
  SessionWindow(LinkSessions& sessions, SessionNumber session, QWidget* parent = nullptr);

  SessionNumber Session() const { return session_; }
  // The text, the state line and the controls brought up to date.
  void Refresh();
  QSize sizeHint() const override;

 signals:
  // Both calls of the link: the frame browser shows the frames between them.
  void FramesWanted(const QString& own, const QString& remote);
  void Closing(SessionNumber session);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void SendLine();
  void ShowText(const LinkSession& session);

  LinkSessions& sessions_;
  SessionNumber session_;
  QPlainTextEdit* text_;
  QLineEdit* input_;
  QPushButton* disconnect_;
  QPushButton* stateLine_;
  QLabel* notice_;
  // Lines of the session shown so far; the document's last block is the
  // received line not yet ended.
  std::uint64_t shownEnd_ = 0;
};

}  // namespace vorlink
