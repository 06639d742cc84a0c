// "Messages": every status text shown so far with its UTC time, newest at
// the bottom, selectable and copyable. It follows the log while open, and
// stays at the end only while the operator has not scrolled up.
#pragma once

#include <QWidget>

#include "app/message_log.h"

class QPlainTextEdit;

namespace vorlink {

class MessagesWindow final : public QWidget {
  Q_OBJECT

 public:
  explicit MessagesWindow(MessageLog& log, QWidget* parent = nullptr);
  ~MessagesWindow() override;

  QPlainTextEdit* Lines() const { return lines_; }
  // Wide enough for its lines (within reason), twenty of them high.
  QSize sizeHint() const override;

 private:
  void Append(const MessageLog::Line& line);

  MessageLog& log_;
  QPlainTextEdit* lines_ = nullptr;
};

}  // namespace vorlink
