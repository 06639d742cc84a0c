// The conversations tab of the APRS Messages window: the stations we talk
// with on the left (the bulletins we send first), the thread of the one
// chosen on the right with each line's state, and the fields to write a
// line. It shows and asks the message center; it sends nothing itself.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

class QCompleter;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QStringListModel;
class QTableWidget;
class QTimer;

namespace vorlink {

class MessageCenter;

enum class ThreadColumn { Time, From, Text, State, Count };

class ConversationPane final : public QWidget {
  Q_OBJECT

 public:
  // Without a center every Send says why nothing can be sent.
  explicit ConversationPane(MessageCenter* center, QWidget* parent = nullptr);
  ~ConversationPane() override;

  // The callsigns the To field completes.
  void SetStationsHeard(const QStringList& stations);
  void Refresh();
  // "" for the bulletins, else a station.
  void ShowConversation(const QString& station);
  QString ShownConversation() const { return shown_; }

  QListWidget& List() { return *list_; }
  QTableWidget& Thread() { return *thread_; }
  QLineEdit& To() { return *to_; }
  QLineEdit& Text() { return *text_; }
  QPushButton& SendButton() { return *send_; }
  QLabel& Problem() { return *problem_; }

 private:
  void Send();
  void RetrySelected();
  void CancelSelected();
  std::uint64_t SelectedKey() const;
  void FillList();
  void FillThread();
  void FillBulletins();
  void ShowCount();

  MessageCenter* center_;
  QListWidget* list_;
  QTableWidget* thread_;
  QLineEdit* to_;
  QLineEdit* text_;
  QLabel* counter_;
  QSpinBox* bulletinMinutes_;
  QPushButton* send_;
  QPushButton* retry_;
  QPushButton* cancel_;
  QLabel* problem_;
  QStringListModel* completions_;
  QTimer* timer_;
  QString shown_;
  bool filling_ = false;
};

}  // namespace vorlink
